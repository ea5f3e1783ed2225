#include "calc/numeric_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "platform/numeric/decimal.h"
#include "platform/numeric/elementary.h"

namespace velsona::calc {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where the blanks from `i` on end.
std::size_t SkipBlanks(std::string_view text, std::size_t i) {
  while (const std::size_t length = BlankLength(text.substr(i))) i += length;
  return i;
}

// More significant digits than the 769 that can decide how a number rounds
// to a double; nonzero digits beyond them leave a "1" in their place.
constexpr std::size_t kKeptDigits = 800;

// A number in the one form <charconv> reads, "-d.ddde<lead>": its significant
// digits with the point after the first, `lead` the power of ten of that first
// digit. Zero is "0" or "-0".
struct Normalised {
  char text[kKeptDigits + 16];
  std::size_t size = 0;
  bool negative = false;
  std::int64_t lead = 0;
};

// The minus sign of typeset text (U+2212), as a data sheet or a web page
// prints a negative value, in UTF-8.
constexpr std::string_view kMinusSign = "\xE2\x88\x92";

// Whether `text` is a number: blanks, an optional "+", "-" or minus sign,
// digits with at most one decimal separator and at least one digit, an optional exponent
// ("e" or "E", an optional sign, digits), blanks, and nothing else. If so,
// `out` holds it normalised.
bool Scan(std::string_view text, std::string_view regional, Normalised& out) {
  const std::size_t n = text.size();
  std::size_t i = SkipBlanks(text, 0);
  char* p = out.text;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    out.negative = text[i++] == '-';
  } else if (text.substr(i, kMinusSign.size()) == kMinusSign) {
    out.negative = true;
    i += kMinusSign.size();
  }
  if (out.negative) *p++ = '-';

  std::size_t digits = 0;       // read so far, leading zeros included
  std::size_t first = 0;        // the place of the first nonzero one among them
  std::size_t significant = 0;  // from that one on
  bool dropped = false;         // a nonzero digit beyond the kept ones
  const auto readDigits = [&] {
    for (; i < n && IsDigit(text[i]); ++i, ++digits) {
      if (significant == 0 && text[i] == '0') continue;
      if (significant == 0) first = digits;
      if (significant == 1) *p++ = '.';
      if (significant++ < kKeptDigits) {
        *p++ = text[i];
      } else {
        dropped = dropped || text[i] != '0';
      }
    }
  };
  readDigits();
  const std::size_t whole = digits;
  // The separator: the regional one, or "." (typed from the numeric keypad out of habit).
  i += text.substr(i, 1) == "." ? 1 : text.substr(i, regional.size()) == regional ? regional.size() : 0;
  readDigits();
  if (digits == 0) return false;

  constexpr std::int64_t kSaturated = 1'000'000'000'000'000;  // beyond any value and any text's length
  std::int64_t exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    const bool below = ++i < n && text[i] == '-';
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t start = i;
    for (; i < n && IsDigit(text[i]); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), kSaturated);
    if (i == start) return false;
    if (below) exponent = -exponent;
  }
  if (SkipBlanks(text, i) != n) return false;

  if (significant == 0) {
    *p++ = '0';
  } else {
    if (dropped) *p++ = '1';
    out.lead = static_cast<std::int64_t>(whole) - 1 - static_cast<std::int64_t>(first) + exponent;
    *p++ = 'e';
    // Beyond 10^9999 either way no value is in range: the clamp changes no outcome.
    p = std::to_chars(p, std::end(out.text), std::clamp<std::int64_t>(out.lead, -9999, 9999)).ptr;
  }
  out.size = static_cast<std::size_t>(p - out.text);
  return true;
}

template <typename T>
Checked<T> TextToNumber(std::string_view text, const platform::NumberFormat& format) {
  Normalised number;
  if (!Scan(text, format.decimalSeparator, number)) return FailureKind::TypeMismatch;
  T value{};
  if (platform::ReadNearest(std::string_view(number.text, number.size), value)) return value;
  // Out of range: too large if the first digit stands at 10^0 or above, else too small, so zero.
  if (number.lead >= 0) return FailureKind::Overflow;
  return number.negative ? -T(0) : T(0);
}

// The text of `value` with at most `significant` digits; see SingleToText.
std::string NumberToText(double value, int significant, const platform::NumberFormat& format) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  const platform::DecimalParts parts = platform::RoundToSignificant(value, significant);
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

bool IsBlankOnly(std::string_view text) { return !text.empty() && SkipBlanks(text, 0) == text.size(); }

Checked<double> TextToDouble(std::string_view text, const platform::NumberFormat& format) {
  return TextToNumber<double>(text, format);
}

Checked<float> TextToSingle(std::string_view text, const platform::NumberFormat& format) {
  return TextToNumber<float>(text, format);
}

std::string SingleToText(float value, const platform::NumberFormat& format) {
  return NumberToText(static_cast<double>(value), 7, format);
}

std::string DoubleToText(double value, const platform::NumberFormat& format) { return NumberToText(value, 15, format); }

float RoundDecimals(float value) {
  // From 2^23 up every float is a whole number, so already a multiple of 0.0001.
  constexpr float kAllIntegral = 8388608.0f;
  if (!std::isfinite(value) || std::fabs(value) >= kAllIntegral) return value;
  // Exact: 24 significant bits times 10000 fit in a double's 53. nearbyint
  // rounds halves to even under the default rounding mode.
  const double units = std::nearbyint(static_cast<double>(value) * 10000.0);

  // units / 10000 is correctly rounded to double, and rounding that to float
  // gives the float nearest to the exact multiple unless the double landed
  // exactly halfway between two floats. Over every float below 2^23 it never
  // does (the exhaustive sweep of RoundDecimals checks this result bit for
  // bit against integer arithmetic), so the two roundings are exact here.
  return static_cast<float>(units / 10000.0);
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
  return CheckFault(platform::Power(base, exponent));
}

Checked<double> NaturalLog(double value) {
  if (!(value > 0.0)) return FailureKind::InvalidOperation;
  return CheckFault(platform::Ln(value));
}

}  // namespace velsona::calc
