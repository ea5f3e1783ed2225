#pragma once

// Exact conversions between binary floating point and decimal digits.
//
// This is the numeric half of the platform layer: it wraps the standard
// library's correctly rounded conversions (<charconv>) and handles the traps
// they carry (out-of-range reported alike for overflow and underflow, the
// double-to-float store that overflows). It knows nothing of locales: the
// regional settings arrive as a NumberFormat value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velsona::platform {

// How the user's regional settings write numbers.
struct NumberFormat {
  // UTF-8, usually "." or ",". Never empty.
  std::string decimalSeparator = ".";
};

// A finite decimal number: sign * digits * 10^exponent.
// `digits` are ASCII, without leading or trailing zeros; empty means zero.
struct DecimalParts {
  bool negative = false;
  std::string digits;
  std::int64_t exponent = 0;

  // The power of ten of the leading digit (value in [10^e, 10^(e+1))).
  // Meaningless for zero.
  std::int64_t LeadingExponent() const {
    return exponent + static_cast<std::int64_t>(digits.size()) - 1;
  }
  bool operator==(const DecimalParts& other) const {
    return negative == other.negative && digits == other.digits && exponent == other.exponent;
  }
};

enum class ReadStatus { Ok, TooLarge };

// The double nearest to `number`, ties to even. A value too small for the
// type reads as zero or the nearest subnormal (Ok). A value beyond the
// largest finite double gives TooLarge and leaves `out` untouched.
ReadStatus NearestDouble(const DecimalParts& number, double& out);

// As NearestDouble, for binary32.
ReadStatus NearestSingle(const DecimalParts& number, float& out);

// Reads `ascii` as a whole, in the plain form "-12.5e-3" (an optional "-",
// digits with at most one ".", an optional exponent), to the nearest
// double, ties to even. False, leaving `out` untouched, when `ascii` is not
// wholly such a number (it must not start with "inf" or "nan", which are
// read too), or when the value lies beyond the type's range either way (too
// large, or so small it rounds to zero): NearestDouble tells those apart.
bool NearestDoubleOfPlain(std::string_view ascii, double& out);

// As NearestDoubleOfPlain, for binary32.
bool NearestSingleOfPlain(std::string_view ascii, float& out);

// `value` rounded to `significant` decimal digits (1 to 17), ties to even,
// computed from the exact binary value. `value` must be finite; zero (of
// either sign) gives empty digits and no sign.
DecimalParts RoundToSignificant(double value, int significant);

// `value` rounded to binary32, ties to even; nullopt when that overflows
// (the magnitude reaches 2^128 - 2^103) or `value` is not finite.
std::optional<float> NearestSingleTo(double value);

}  // namespace velsona::platform
