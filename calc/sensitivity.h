#pragma once

// A microphone's sensitivity, converted between dB re 1 V/Pa and mV/Pa:
// S(mV/Pa) = 1000 * 10^(S(dB) / 20), so 0 dB re 1 V/Pa is 1000 mV/Pa.

#include <string_view>

#include "calc/numeric_rules.h"

namespace velsona::calc {

// Either direction of the conversion: the input text, whether the result is
// to be a whole number, and the regional settings.
using SensitivityConversion = CalcResult (*)(std::string_view text, bool whole, const platform::NumberFormat& format);

// dB re 1 V/Pa to mV/Pa. Accepts values at or below 0 dB; above it, Refused.
// With `whole`, the result is cut down to the integer at or below it;
// otherwise rounded to 4 decimal places. Done with one text, or Failed.
CalcResult SensDBtoMV(std::string_view dbText, bool whole, const platform::NumberFormat& format);

// mV/Pa to dB re 1 V/Pa. Accepts 0 < value <= 1000; otherwise Refused.
// With `whole`, the result is rounded to the nearest integer (halves to
// even); otherwise to 4 decimal places. Done with one text, or Failed.
CalcResult SensMVtoDB(std::string_view mvText, bool whole, const platform::NumberFormat& format);

}  // namespace velsona::calc
