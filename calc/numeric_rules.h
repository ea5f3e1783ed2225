#pragma once

// The rules by which text becomes a number and a number becomes text again,
// in which precision numbers are held and how they are rounded, and what
// counts as a failure. The calculations are written in these terms only.
//
// None of these functions throws, and none keeps state.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/number_format.h"
#include "platform/numeric/blanks.h"

namespace velsona::calc {

enum class FailureKind {
  TypeMismatch,      // a text is not a number
  Overflow,          // a value too large for its type
  DivisionByZero,    // a finite nonzero value divided by zero
  InvalidOperation,  // e.g. the logarithm of a value not above zero
};

// The outcomes of one calculation.
struct Done {
  std::vector<std::string> texts;  // one result text, or two
};
struct Refused {};  // the input lies outside the range the calculation accepts
struct Skipped {};  // an input text is empty: nothing is to change
struct Failed {
  FailureKind kind;
  // Which input text (0 = the first) failed to read; none for a fault in
  // the arithmetic.
  std::optional<std::size_t> input = std::nullopt;
};
using CalcResult = std::variant<Done, Refused, Skipped, Failed>;

// A value, or the failure that stopped it.
template <typename T>
class Checked {
 public:
  Checked(T value) : value_(value) {}            // NOLINT: implicit on purpose
  Checked(FailureKind kind) : failure_(kind) {}  // NOLINT: implicit on purpose
  bool ok() const { return failure_ == kNone; }
  T value() const { return value_; }                // only when ok()
  FailureKind failure() const { return failure_; }  // only when !ok()

 private:
  static constexpr FailureKind kNone = static_cast<FailureKind>(-1);  // no failure
  T value_{};
  FailureKind failure_ = kNone;
};

// True exactly when `text` has no characters: a blank is not empty.
bool IsEmptyText(std::string_view text);

// The length in bytes of the blank that `text` starts with, 0 for none (see
// platform/numeric/blanks.h): the blanks that may stand around a number.
using platform::BlankLength;

// True when `text` is not empty and holds nothing but blanks.
bool IsBlankOnly(std::string_view text);

// Reads a decimal number: blanks (see BlankLength) around it, an optional
// sign ("+", "-", or the minus sign U+2212 of typeset text), digits with at
// most one decimal separator and at least one digit, an optional exponent
// ("E" or "e", optional "+" or "-", at least one digit). The separator is the
// regional one; where that is not ".", a "." is read as the decimal
// separator as well.
// Gives the double nearest to the number (ties to even); a value too small
// reads as zero or the nearest subnormal, keeping its sign.
// Fails with TypeMismatch for anything else (empty, blanks only, grouping,
// "inf", "nan", hexadecimal, ...) and with Overflow beyond the double range.
Checked<double> TextToDouble(std::string_view text, const platform::NumberFormat& format);

// As TextToDouble, giving the nearest binary32; Overflow beyond its range.
Checked<float> TextToSingle(std::string_view text, const platform::NumberFormat& format);

// Writes `value` with at most 7 significant digits (rounded to nearest, ties
// to even on the exact value), no trailing zeros after the separator and no
// separator without a digit after it, "-" before negatives, no grouping, the
// regional separator, and zero as "0" whatever its sign. A magnitude that
// after rounding is 10^7 or more, or below 0.0001, is written as a mantissa
// under the same rules, then "E", a sign and at least two exponent digits:
// "1.234568E+07", "1E-05". Non-finite values never reach here; they are
// written "NaN", "Inf" or "-Inf" rather than crash.
std::string SingleToText(float value, const platform::NumberFormat& format);

// As SingleToText with at most 15 significant digits; the exponent form
// from 10^15 up and below 0.0001.
std::string DoubleToText(double value, const platform::NumberFormat& format);

// The binary32 nearest to the multiple of 0.0001 nearest to `value` (ties to
// the even last digit), computed exactly from the value's binary form.
// Non-finite values come back unchanged.
float RoundDecimals(float value);

// The greatest integer not above `value`.
float FloorInt(float value);

// The nearest integer, halves to even (-6.5 gives -6, -7.5 gives -8).
// Overflow outside -32768..32767 and for non-finite values.
Checked<std::int16_t> NearestInt16(float value);

// `value` stored as binary32: Overflow when it is beyond that range,
// InvalidOperation when it is not a number.
Checked<float> StoreSingle(double value);

// The fault check after one operation on finite operands: a NaN result
// fails with InvalidOperation, an infinite one with Overflow.
Checked<double> CheckFault(double value);

// dividend / divisor: DivisionByZero for a finite nonzero value over zero,
// InvalidOperation for 0/0; otherwise as CheckFault.
Checked<double> Divide(double dividend, double divisor);

// base ^ exponent in double: DivisionByZero for zero to a negative power,
// otherwise as CheckFault.
Checked<double> Power(double base, double exponent);

// The natural logarithm: InvalidOperation for an argument not above zero.
Checked<double> NaturalLog(double value);

}  // namespace velsona::calc
