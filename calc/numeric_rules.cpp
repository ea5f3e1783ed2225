#include "calc/numeric_rules.h"

#include <cmath>
#include <cstdlib>

namespace velsona::calc {
namespace {

using platform::DecimalParts;
using platform::ReadStatus;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the decimal separator starting at `text[at]`, or 0 when none does.
std::size_t SeparatorAt(std::string_view text, std::size_t at, const NumberFormat& format) {
  const std::string_view regional = format.decimalSeparator;
  if (!regional.empty() && text.substr(at, regional.size()) == regional) return regional.size();
  if (text[at] == '.') return 1;  // typed from the numeric keypad, or out of habit
  return 0;
}

// The decimal form TextToDouble reads, split into its parts; nullopt when
// `text` is not a number.
std::optional<DecimalParts> ScanDecimal(std::string_view text, const NumberFormat& format) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  const std::string_view s = text.substr(begin, end - begin);

  DecimalParts parts;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    parts.negative = s[i] == '-';
    ++i;
  }
  std::string mantissa;
  std::optional<std::size_t> point;  // digits before the separator
  while (i < s.size()) {
    if (IsDigit(s[i])) {
      mantissa += s[i++];
    } else if (std::size_t length = point ? 0 : SeparatorAt(s, i, format); length != 0) {
      point = mantissa.size();
      i += length;
    } else {
      break;
    }
  }
  if (mantissa.empty()) return std::nullopt;

  std::int64_t exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t first = i;
    // Saturates far beyond any representable value, so it cannot overflow.
    constexpr std::int64_t kSaturated = 1'000'000'000'000'000;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
      if (exponent < kSaturated) exponent = exponent * 10 + (s[i] - '0');
    }
    if (i == first) return std::nullopt;
    if (negative) exponent = -exponent;
  }
  if (i != s.size()) return std::nullopt;

  const std::size_t first = mantissa.find_first_not_of('0');
  if (first == std::string::npos) return parts;  // zero
  const std::size_t last = mantissa.find_last_not_of('0');
  parts.digits = mantissa.substr(first, last - first + 1);
  parts.exponent = exponent + static_cast<std::int64_t>(point.value_or(mantissa.size())) - 1 -
                   static_cast<std::int64_t>(last);
  return parts;
}

template <typename T>
Checked<T> TextToNumber(std::string_view text, const NumberFormat& format) {
  const std::optional<DecimalParts> parts = ScanDecimal(text, format);
  if (!parts) return FailureKind::TypeMismatch;
  T value{};
  ReadStatus status;
  if constexpr (std::is_same_v<T, float>) {
    status = platform::NearestSingle(*parts, value);
  } else {
    status = platform::NearestDouble(*parts, value);
  }
  if (status == ReadStatus::TooLarge) return FailureKind::Overflow;
  return value;
}

// The text of `value` with at most `significant` digits; see SingleToText.
std::string NumberToText(double value, int significant, const NumberFormat& format) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  const DecimalParts parts = platform::RoundToSignificant(value, significant);
  if (parts.digits.empty()) return "0";

  const std::string& digits = parts.digits;
  const std::string& separator = format.decimalSeparator;
  const std::int64_t lead = parts.LeadingExponent();
  std::string out = parts.negative ? "-" : "";
  if (lead >= -4 && lead < significant) {
    if (parts.exponent >= 0) {  // a whole number
      out += digits;
      out.append(static_cast<std::size_t>(parts.exponent), '0');
    } else if (lead >= 0) {
      const auto whole = static_cast<std::size_t>(lead + 1);
      out += digits.substr(0, whole);
      out += separator;
      out += digits.substr(whole);
    } else {
      out += '0';
      out += separator;
      out.append(static_cast<std::size_t>(-lead - 1), '0');
      out += digits;
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) {
      out += separator;
      out += digits.substr(1);
    }
    out += lead < 0 ? "E-" : "E+";
    const std::string power = std::to_string(std::llabs(lead));
    if (power.size() < 2) out += '0';
    out += power;
  }
  return out;
}

}  // namespace

bool IsEmptyText(std::string_view text) { return text.empty(); }

Checked<double> TextToDouble(std::string_view text, const NumberFormat& format) {
  return TextToNumber<double>(text, format);
}

Checked<float> TextToSingle(std::string_view text, const NumberFormat& format) {
  return TextToNumber<float>(text, format);
}

std::string SingleToText(float value, const NumberFormat& format) {
  return NumberToText(static_cast<double>(value), 7, format);
}

std::string DoubleToText(double value, const NumberFormat& format) { return NumberToText(value, 15, format); }

float RoundDecimals(float value) {
  // From 2^23 up every float is a whole number, so already a multiple of 0.0001.
  constexpr float kAllIntegral = 8388608.0f;
  if (!std::isfinite(value) || std::fabs(value) >= kAllIntegral) return value;
  // Exact: 24 significant bits times 10000 fit in a double's 53. nearbyint
  // rounds halves to even under the default rounding mode.
  const double units = std::nearbyint(static_cast<double>(value) * 10000.0);
  DecimalParts multiple;
  multiple.negative = std::signbit(value);
  auto count = static_cast<std::int64_t>(std::fabs(units));
  multiple.exponent = -4;
  for (; count != 0 && count % 10 == 0; count /= 10) ++multiple.exponent;
  if (count != 0) multiple.digits = std::to_string(count);
  float result = 0.0f;
  platform::NearestSingle(multiple, result);  // never too large: |result| < 2^23
  return result;
}

float FloorInt(float value) { return std::floor(value); }

Checked<std::int16_t> NearestInt16(float value) {
  if (!std::isfinite(value)) return FailureKind::Overflow;
  const float nearest = std::nearbyint(value);  // halves to even
  if (nearest < -32768.0f || nearest > 32767.0f) return FailureKind::Overflow;
  return static_cast<std::int16_t>(nearest);
}

Checked<float> StoreSingle(double value) {
  if (std::isnan(value)) return FailureKind::InvalidOperation;
  const std::optional<float> single = platform::NearestSingleTo(value);
  if (!single) return FailureKind::Overflow;
  return *single;
}

Checked<double> CheckFault(double value) {
  if (std::isnan(value)) return FailureKind::InvalidOperation;
  if (std::isinf(value)) return FailureKind::Overflow;
  return value;
}

Checked<double> Divide(double dividend, double divisor) {
  if (divisor == 0.0) {
    if (dividend == 0.0 || std::isnan(dividend)) return FailureKind::InvalidOperation;
    return FailureKind::DivisionByZero;
  }
  return CheckFault(dividend / divisor);
}

Checked<double> Power(double base, double exponent) {
  if (base == 0.0 && exponent < 0.0) return FailureKind::DivisionByZero;
  return CheckFault(std::pow(base, exponent));
}

Checked<double> NaturalLog(double value) {
  if (!(value > 0.0)) return FailureKind::InvalidOperation;
  return CheckFault(std::log(value));
}

}  // namespace velsona::calc
