#include "platform/numeric/decimal.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

// A standard library without the floating-point conversions of <charconv>
// (the WebAssembly build's) reads with fast_float, the same algorithm
// behind libstdc++'s from_chars, and writes with its C library's printf,
// which is exact and rounds ties to even. Both give the same digits.
#if !defined(__cpp_lib_to_chars)
#include <fast_float.h>
#endif

namespace velsona::platform {

template <typename T>
bool ReadNearest(std::string_view plain, T& out) {
#if defined(__cpp_lib_to_chars)
  return std::from_chars(plain.data(), plain.data() + plain.size(), out).ec == std::errc();
#else
  T value{};
  if (fast_float::from_chars(plain.data(), plain.data() + plain.size(), value).ec != std::errc()) return false;
  // fast_float reports no range error: infinity means too large, and zero
  // from a text with a nonzero digit means too small.
  if (std::isinf(value)) return false;
  if (value == 0 && plain.find_first_of("123456789") < plain.find_first_of("eE")) return false;
  out = value;
  return true;
#endif
}
template bool ReadNearest(std::string_view plain, double& out);
template bool ReadNearest(std::string_view plain, float& out);

DecimalParts RoundToSignificant(double value, int significant) {
  DecimalParts parts;
  if (value == 0.0) return parts;
  // Scientific form with significant-1 fraction digits: "-d.ddde-05".
  char buffer[64];
#if defined(__cpp_lib_to_chars)
  const char* const end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1).ptr;
#else
  const char* const end = buffer + std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, value);
#endif
  const char* p = buffer;
  if (*p == '-') {
    parts.negative = true;
    ++p;
  }
  for (; *p != 'e'; ++p) {
    if (*p != '.') parts.digits += *p;
  }
  ++p;  // 'e'
  const bool negativeExponent = *p == '-';
  ++p;  // sign
  std::int64_t exponent = 0;
  for (; p != end; ++p) exponent = exponent * 10 + (*p - '0');
  if (negativeExponent) exponent = -exponent;

  const std::size_t last = parts.digits.find_last_not_of('0');
  const std::size_t kept = last + 1;
  parts.exponent = exponent - static_cast<std::int64_t>(kept) + 1;
  parts.digits.resize(kept);
  return parts;
}

std::optional<float> NearestSingleTo(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  // Halfway between FLT_MAX and 2^128: from here on the store rounds to infinity.
  constexpr double kOverflow = 340282356779733661637539395458142568448.0;  // 2^128 - 2^103
  if (std::fabs(value) >= kOverflow) return std::nullopt;
  if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
    constexpr float kMax = std::numeric_limits<float>::max();
    return value > 0 ? kMax : -kMax;
  }
  return static_cast<float>(value);
}

}  // namespace velsona::platform
