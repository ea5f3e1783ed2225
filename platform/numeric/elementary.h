#pragma once

// The power and the natural logarithm, computed by our own code so that they
// give the same bits on every system.
//
// The C libraries differ here in the last bits (one of them by tens of units
// in the last place on some powers of ten), and one of them works in the x87
// unit, whose precision setting belongs to the thread and can be changed
// under us by any library loaded into the process. These use only double additions,
// multiplications and divisions, which IEEE 754 fixes to the bit, carried in
// pairs of doubles (about 106 bits) and rounded once at the end. So the
// result is the double nearest to the exact value (for normal results; a
// subnormal one may be a unit off), and is the same wherever it runs.

namespace velsona::platform {

// base ^ exponent, with the special cases of the C library's pow: 1 for a
// zero exponent or a base of 1 (NaN included), infinity for zero to a
// negative power, NaN for a negative base to a non-integer power, the sign
// of a negative base kept for an odd integer power, and infinity or zero
// when the result lies beyond the double range.
double Power(double base, double exponent);

// The natural logarithm: NaN below zero and for NaN, minus infinity at zero
// (of either sign), infinity at infinity.
double Ln(double value);

}  // namespace velsona::platform
