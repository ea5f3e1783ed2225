#pragma once

// The numeric half of the platform layer: the standard library's correctly
// rounded conversions between binary floating point and decimal text, with
// their traps handled. It knows nothing of locales.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velsona::platform {

// Reads `plain` to the nearest double or float (T), ties to even. `plain`
// must be wholly a number in the form "-1.25e-3": an optional "-", digits
// with at most one ".", an optional exponent. False when the value lies
// beyond T's range either way (too large, or so small it rounds to zero);
// the caller tells which.
template <typename T>
bool ReadNearest(std::string_view plain, T& out);

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
};

// `value` rounded to `significant` decimal digits (1 to 17), ties to even,
// computed from the exact binary value. `value` must be finite; zero (of
// either sign) gives empty digits and no sign.
DecimalParts RoundToSignificant(double value, int significant);

// `value` rounded to binary32, ties to even; nullopt when that overflows
// (the magnitude reaches 2^128 - 2^103) or `value` is not finite.
std::optional<float> NearestSingleTo(double value);

}  // namespace velsona::platform
