#pragma once

// The dynamic range (maximum SPL minus self-noise) and the signal-to-noise
// ratio referred to 94 dB SPL (94 minus self-noise), both in dB.

#include <string_view>

#include "calc/numeric_rules.h"

namespace velsona::calc {

// Skipped when either text is empty (nothing is converted then). Otherwise
// both texts are read as binary32, maximum SPL first (Failed names the
// input, 0 or 1); Done carries the dynamic range (binary32, up to 7 digits)
// and then the signal-to-noise ratio (double, up to 15 digits). Never Refused.
CalcResult GammaSN(std::string_view maxSplText, std::string_view selfNoiseText, const platform::NumberFormat& format);

}  // namespace velsona::calc
