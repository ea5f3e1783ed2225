#include "platform/numeric/decimal.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace velsona::platform {

template <typename T>
bool ReadNearest(std::string_view plain, T& out) {
  return std::from_chars(plain.data(), plain.data() + plain.size(), out).ec == std::errc();
}
template bool ReadNearest(std::string_view plain, double& out);
template bool ReadNearest(std::string_view plain, float& out);

DecimalParts RoundToSignificant(double value, int significant) {
  DecimalParts parts;
  if (value == 0.0) return parts;
  // Scientific form with significant-1 fraction digits: "-d.ddde-05".
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1);
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
  for (; p != result.ptr; ++p) exponent = exponent * 10 + (*p - '0');
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
