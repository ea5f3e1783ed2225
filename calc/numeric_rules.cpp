#include "calc/numeric_rules.h"

#include <cmath>
#include <cstdlib>

#include "platform/numeric/elementary.h"

namespace velsona::calc {
namespace {

using platform::DecimalParts;
using platform::ReadStatus;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the decimal separator starting at `text[at]`, or 0 when none does.
std::size_t SeparatorAt(std::string_view text, std::size_t at, const NumberFormat& format) {
  const char c = text[at];
  if (c == '.') return 1;  // the regional one, or typed from the numeric keypad out of habit
  const std::string& regional = format.decimalSeparator;
  if (!regional.empty() && c == regional[0] && text.compare(at, regional.size(), regional) == 0) {
    return regional.size();
  }
  return 0;
}

// The parts of a number already in the plain form ("-12.5e-3"), which
// PlainForm has validated: only the digits are kept, the exponent saturates.
DecimalParts SplitPlain(std::string_view plain) {
  DecimalParts parts;
  std::size_t i = 0;
  if (plain[i] == '-') {
    parts.negative = true;
    ++i;
  }
  std::string mantissa;
  std::optional<std::size_t> point;  // digits before the point
  for (; i < plain.size() && plain[i] != 'e'; ++i) {
    if (plain[i] == '.') {
      point = mantissa.size();
    } else {
      mantissa += plain[i];
    }
  }
  std::int64_t exponent = 0;
  if (i < plain.size()) {
    ++i;  // 'e'
    bool negative = false;
    if (plain[i] == '+' || plain[i] == '-') negative = plain[i++] == '-';
    // Saturates far beyond any representable value, so it cannot overflow.
    constexpr std::int64_t kSaturated = 1'000'000'000'000'000;
    for (; i < plain.size(); ++i) {
      if (exponent < kSaturated) exponent = exponent * 10 + (plain[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  const std::size_t first = mantissa.find_first_not_of('0');
  if (first == std::string::npos) return parts;  // zero
  const std::size_t last = mantissa.find_last_not_of('0');
  parts.digits = mantissa.substr(first, last - first + 1);
  parts.exponent = exponent + static_cast<std::int64_t>(point.value_or(mantissa.size())) - 1 -
                   static_cast<std::int64_t>(last);
  return parts;
}

// The number in `text` in the plain form <charconv> reads ("-12.5e-3"):
// blanks and a leading "+" dropped, the separator as ".". Usually a view of
// `text` itself; when something must change, of a copy in `storage`.
// nullopt when the text is not a number.
std::optional<std::string_view> PlainForm(std::string_view text, const NumberFormat& format, std::string& storage) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  const std::string_view s = text.substr(begin, end - begin);

  const std::size_t n = s.size();
  std::size_t i = 0;
  const auto skipDigits = [&] {
    const std::size_t first = i;
    while (i < n && IsDigit(s[i])) ++i;
    return i - first;
  };
  const bool plus = n != 0 && s[0] == '+';
  if (n != 0 && (s[0] == '+' || s[0] == '-')) ++i;
  std::size_t digits = skipDigits();
  std::size_t separatorAt = 0;
  std::size_t separatorLength = 0;
  if (i < n) {
    separatorLength = SeparatorAt(s, i, format);
    if (separatorLength != 0) {
      separatorAt = i;
      i += separatorLength;
      digits += skipDigits();
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    if (skipDigits() == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;

  const bool pointAlready = separatorLength == 0 || (separatorLength == 1 && s[separatorAt] == '.');
  if (!plus && pointAlready) return s;
  storage.assign(s, plus ? 1 : 0);
  if (separatorLength != 0) storage.replace(separatorAt - (plus ? 1 : 0), separatorLength, 1, '.');
  return std::string_view(storage);
}

bool ReadPlain(std::string_view plain, double& value) { return platform::NearestDoubleOfPlain(plain, value); }
bool ReadPlain(std::string_view plain, float& value) { return platform::NearestSingleOfPlain(plain, value); }
ReadStatus ReadParts(const DecimalParts& parts, double& value) { return platform::NearestDouble(parts, value); }
ReadStatus ReadParts(const DecimalParts& parts, float& value) { return platform::NearestSingle(parts, value); }

// `text` with the regional separator, where it is not ".", replaced by "."
// (in `buffer`), or `text` itself when it holds none; empty when it does
// not fit. Only what <charconv> then reads whole is taken as it reads it.
template <std::size_t N>
std::string_view WithPointSeparator(std::string_view text, const std::string& regional, char (&buffer)[N]) {
  if (regional.empty() || (regional.size() == 1 && regional[0] == '.')) return text;
  if (regional.size() == 1) {
    // One pass over a few characters, copying as it looks.
    const char separator = regional[0];
    if (text.size() > N) return text.find(separator) == text.npos ? text : std::string_view();
    bool found = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const bool here = text[i] == separator;
      found = found || here;
      buffer[i] = here ? '.' : text[i];
    }
    return found ? std::string_view(buffer, text.size()) : text;
  }
  const std::size_t at = text.find(regional);
  if (at == text.npos) return text;
  if (text.size() > N) return {};
  const std::size_t after = at + regional.size();
  text.copy(buffer, at);
  buffer[at] = '.';
  text.copy(buffer + at + 1, text.size() - after, after);
  return std::string_view(buffer, text.size() - regional.size() + 1);
}

template <typename T>
Checked<T> TextToNumber(std::string_view text, const NumberFormat& format) {
  T value{};
  // Most typed numbers are already in the plain form, or are once the
  // regional separator is replaced by ".". <charconv> reads the same grammar
  // but for "inf" and "nan", which the first character rules out; anything
  // else it cannot read whole takes the way below.
  char buffer[64];
  const std::string_view candidate = WithPointSeparator(text, format.decimalSeparator, buffer);
  if (!candidate.empty()) {
    const char first = candidate[0];
    const char second = candidate.size() > 1 ? candidate[1] : '\0';
    const bool startsPlain = IsDigit(first) || first == '.' || (first == '-' && (IsDigit(second) || second == '.'));
    if (startsPlain && ReadPlain(candidate, value)) return value;
  }

  // Blanks, a leading "+", a point under another separator, a long text, a
  // value beyond the range either way: the plain form, then its digits.
  std::string storage;
  const std::optional<std::string_view> plain = PlainForm(text, format, storage);
  if (!plain) return FailureKind::TypeMismatch;
  if (ReadPlain(*plain, value)) return value;
  if (ReadParts(SplitPlain(*plain), value) == ReadStatus::TooLarge) return FailureKind::Overflow;
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
