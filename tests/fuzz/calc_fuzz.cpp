// Feeds arbitrary bytes to the three calculations, under both decimal
// separators, and checks what every outcome must satisfy.
//
// Input: one byte of options (bit 0: comma separator, bit 1: whole number),
// then the first text and the second (see FuzzedDataProvider).

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <type_traits>

#include "calc/gamma_sn.h"
#include "calc/sensitivity.h"
#include "tests/calc/power_of_ten.h"

namespace {

using namespace velsona::calc;
using velsona::platform::NumberFormat;

void Require(bool holds, const char* property, const std::string& detail) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s [%s]\n", property, detail.c_str());
  std::abort();
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "-"? digits (separator digits)? ("E" sign digit digit+)?, with no "-0",
// no grouping and at most `maxDigits` significant digits.
void RequireWellFormed(const std::string& text, const NumberFormat& format, int maxDigits) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  std::string digits;
  while (i < text.size() && IsDigit(text[i])) digits += text[i++];
  Require(!digits.empty(), "a result starts with a digit", text);
  const std::string& separator = format.decimalSeparator;
  if (text.compare(i, separator.size(), separator) == 0) {
    i += separator.size();
    const std::size_t before = digits.size();
    while (i < text.size() && IsDigit(text[i])) digits += text[i++];
    Require(digits.size() > before, "a separator has digits after it", text);
    Require(digits.back() != '0', "no trailing zeros after the separator", text);
  }
  if (i < text.size() && text[i] == 'E') {
    ++i;
    Require(i < text.size() && (text[i] == '+' || text[i] == '-'), "the exponent has a sign", text);
    ++i;
    const std::size_t first = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    Require(i - first >= 2, "the exponent has at least two digits", text);
  }
  Require(i == text.size(), "nothing else in a result", text);
  const std::size_t significant = digits.find_first_not_of('0');
  Require(text[0] != '-' || significant != std::string::npos, "no negative zero", text);
  if (significant != std::string::npos) {
    Require(digits.size() - significant <= static_cast<std::size_t>(maxDigits), "at most 7 or 15 digits", text);
  }
}

// A Single result: well formed, and it reads back to a Single that is written the same way.
float RequireSingleText(const std::string& text, const NumberFormat& format) {
  RequireWellFormed(text, format, 7);
  const Checked<float> back = TextToSingle(text, format);
  Require(back.ok(), "a Single result reads back", text);
  const std::string again = SingleToText(back.value(), format);
  std::string againWithPoint = again;
  if (const std::size_t at = againWithPoint.find(format.decimalSeparator); at != std::string::npos) {
    againWithPoint.replace(at, format.decimalSeparator.size(), ".");
  }
  Require(again == text || IsPowerOfTenFromBelow(text, againWithPoint), "a Single result writes back the same",
          text);
  return back.value();
}

void RequireDoubleText(const std::string& text, const NumberFormat& format) {
  RequireWellFormed(text, format, 15);
  const Checked<double> back = TextToDouble(text, format);
  // Only 15-digit rounding of a value near the largest Double can carry it beyond.
  const bool carriedPastMax = !back.ok() && back.failure() == FailureKind::Overflow &&
                              text.size() > 5 && text.compare(text.size() - 5, 5, "E+308") == 0;
  Require(back.ok() || carriedPastMax, "a Double result reads back", text);
}

// The Unicode space separators beyond ASCII, in UTF-8, as a regular expression.
const std::string kUnicodeSpaces = "\xC2\xA0|\xE1\x9A\x80|\xE2\x80[\x80-\x8A\xAF]|\xE2\x81\x9F|\xE3\x80\x80";

// The typeset minus sign U+2212, in UTF-8.
const std::string kMinusSign = "\xE2\x88\x92";

// The decimal form the rules read, written independently as a regular
// expression: blanks, a sign (or the minus sign), digits with at most one
// separator, an exponent.
bool IsDecimalForm(const std::string& text, const NumberFormat& format) {
  static const std::string blanks = "([ \t\n\v\f\r]|" + kUnicodeSpaces + ")*";
  static const std::string sign = "([+-]|" + kMinusSign + ")?";
  static const std::regex point(blanks + sign + R"(([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)?)" + blanks);
  static const std::regex comma(blanks + sign + R"(([0-9]+([.,][0-9]*)?|[.,][0-9]+)([eE][+-]?[0-9]+)?)" + blanks);
  return std::regex_match(text, format.decimalSeparator == "," ? comma : point);
}

// What glibc's strtod or strtof (C locale) reads in a text of the decimal
// form, written with ".", "-" and ASCII blanks: Overflow where it reports ERANGE
// with a huge value; otherwise its value, an underflow giving zero or a
// subnormal.
template <typename T>
Checked<T> ReadByStrto(std::string text) {
  static const std::regex unicodeSpace(kUnicodeSpaces);
  text = std::regex_replace(text, unicodeSpace, " ");
  if (const std::size_t minus = text.find(kMinusSign); minus != std::string::npos) {
    text.replace(minus, kMinusSign.size(), "-");
  }
  std::replace(text.begin(), text.end(), ',', '.');
  errno = 0;
  T value;
  if constexpr (std::is_same_v<T, float>) {
    value = std::strtof(text.c_str(), nullptr);
  } else {
    value = std::strtod(text.c_str(), nullptr);
  }
  if (errno == ERANGE && std::isinf(value)) return FailureKind::Overflow;
  return value;
}

template <typename T>
void RequireSameOutcome(const Checked<T>& got, const Checked<T>& expected, const char* property,
                        const std::string& text) {
  const bool same = got.ok() ? expected.ok() && got.value() == expected.value() &&
                                   std::signbit(got.value()) == std::signbit(expected.value())
                             : !expected.ok() && got.failure() == expected.failure();
  Require(same, property, text);
}

bool IsTypeMismatch(const std::string& text, const NumberFormat& format) {
  const Checked<double> value = TextToDouble(text, format);
  return !value.ok() && value.failure() == FailureKind::TypeMismatch;
}

void CheckSensitivity(const CalcResult& result, const std::string& input, const NumberFormat& format,
                      bool givesMillivolts) {
  if (IsTypeMismatch(input, format)) {
    const auto* failed = std::get_if<Failed>(&result);
    Require(failed != nullptr && failed->kind == FailureKind::TypeMismatch, "not a number: TypeMismatch", input);
  }
  Require(!std::holds_alternative<Skipped>(result), "a sensitivity is never skipped", input);
  if (const auto* done = std::get_if<Done>(&result)) {
    Require(done->texts.size() == 1, "one sensitivity text", input);
    const float value = RequireSingleText(done->texts[0], format);
    if (givesMillivolts) {
      Require(value >= 0.0f && value <= 1000.0f, "mV/Pa within [0, 1000]", done->texts[0]);
    } else {
      Require(value <= 0.0f, "dB at or below 0", done->texts[0]);
    }
  }
}

void CheckGamma(const CalcResult& result, const std::string& maxSpl, const std::string& selfNoise,
                const NumberFormat& format) {
  if (maxSpl.empty() || selfNoise.empty()) {
    Require(std::holds_alternative<Skipped>(result), "an empty text skips", maxSpl + " / " + selfNoise);
    return;
  }
  Require(!std::holds_alternative<Refused>(result), "the dynamic range is never refused", maxSpl);
  if (IsTypeMismatch(maxSpl, format) || IsTypeMismatch(selfNoise, format)) {
    Require(std::holds_alternative<Failed>(result), "not a number: no result", maxSpl + " / " + selfNoise);
  }
  if (const auto* done = std::get_if<Done>(&result)) {
    Require(done->texts.size() == 2, "two texts: range and S/N", maxSpl);
    RequireSingleText(done->texts[0], format);
    RequireDoubleText(done->texts[1], format);
  }
}

const NumberFormat kPoint{"."};
const NumberFormat kComma{","};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto options = input.ConsumeIntegral<std::uint8_t>();
  const NumberFormat& format = (options & 1) != 0 ? kComma : kPoint;
  const bool whole = (options & 2) != 0;
  const std::string first = input.ConsumeRandomLengthString(256);
  const std::string second = input.ConsumeRemainingBytesAsString();

  for (const std::string* text : {&first, &second}) {
    const bool form = IsDecimalForm(*text, format);
    Require(IsTypeMismatch(*text, format) != form, "TextToDouble reads exactly the decimal form", *text);
    const Checked<float> single = TextToSingle(*text, format);
    Require((!single.ok() && single.failure() == FailureKind::TypeMismatch) != form,
            "TextToSingle reads exactly the decimal form", *text);
    if (form) {
      RequireSameOutcome(TextToDouble(*text, format), ReadByStrto<double>(*text), "TextToDouble reads as strtod",
                         *text);
      RequireSameOutcome(single, ReadByStrto<float>(*text), "TextToSingle reads as strtof", *text);
    }
  }

  CheckSensitivity(SensDBtoMV(first, whole, format), first, format, true);
  CheckSensitivity(SensMVtoDB(first, whole, format), first, format, false);
  CheckGamma(GammaSN(first, second, format), first, second, format);
  return 0;
}
