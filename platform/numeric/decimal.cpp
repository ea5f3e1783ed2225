#include "platform/numeric/decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace velsona::platform {
namespace {

// Decimal exponents beyond which a value certainly leaves, or certainly
// underflows, the type; between them <charconv> decides.
template <typename T>
struct Bounds;
template <>
struct Bounds<double> {
  static constexpr std::int64_t kHigh = 308;  // 1e309 > DBL_MAX
  static constexpr std::int64_t kLow = -325;  // 1e-325 < half the least subnormal
};
template <>
struct Bounds<float> {
  static constexpr std::int64_t kHigh = 38;
  static constexpr std::int64_t kLow = -46;
};

template <typename T>
bool NearestOfPlain(std::string_view ascii, T& out) {
  const char* end = ascii.data() + ascii.size();
  T value{};
  const auto [ptr, ec] = std::from_chars(ascii.data(), end, value);
  if (ec != std::errc() || ptr != end) return false;
  out = value;
  return true;
}

template <typename T>
ReadStatus Nearest(const DecimalParts& number, T& out) {
  const T sign = number.negative ? T(-1) : T(1);
  if (number.digits.empty()) {
    out = sign * T(0);
    return ReadStatus::Ok;
  }
  const std::int64_t lead = number.LeadingExponent();
  if (lead > Bounds<T>::kHigh) return ReadStatus::TooLarge;
  if (lead < Bounds<T>::kLow) {
    out = sign * T(0);
    return ReadStatus::Ok;
  }
  // Written as "<digits>e<exponent>": the form <charconv> reads, and with the
  // exponent already bounded by the checks above.
  std::string text = number.digits;
  text += 'e';
  text += std::to_string(number.exponent);
  T value{};
  if (!NearestOfPlain(text, value)) {
    // The text is well formed, so only the range failed; <charconv> says the
    // same for both ends, and the leading exponent tells which.
    if (lead >= 0) return ReadStatus::TooLarge;
    value = T(0);
  }
  out = sign * value;
  return ReadStatus::Ok;
}

}  // namespace

ReadStatus NearestDouble(const DecimalParts& number, double& out) { return Nearest(number, out); }

ReadStatus NearestSingle(const DecimalParts& number, float& out) { return Nearest(number, out); }

bool NearestDoubleOfPlain(std::string_view ascii, double& out) { return NearestOfPlain(ascii, out); }

bool NearestSingleOfPlain(std::string_view ascii, float& out) { return NearestOfPlain(ascii, out); }

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
