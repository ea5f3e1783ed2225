#include "calc/gamma_sn.h"

namespace velsona::calc {

CalcResult GammaSN(std::string_view maxSplText, std::string_view selfNoiseText, const platform::NumberFormat& format) {
  if (IsEmptyText(maxSplText) || IsEmptyText(selfNoiseText)) return Skipped{};

  const Checked<float> maxSpl = TextToSingle(maxSplText, format);
  if (!maxSpl.ok()) return Failed{maxSpl.failure(), 0};
  const Checked<float> selfNoise = TextToSingle(selfNoiseText, format);
  if (!selfNoise.ok()) return Failed{selfNoise.failure(), 1};

  // The difference of two binary32 values is exact in double; only the store can overflow.
  const Checked<float> range =
      StoreSingle(static_cast<double>(maxSpl.value()) - static_cast<double>(selfNoise.value()));
  if (!range.ok()) return Failed{range.failure()};

  // The ratio reads the self-noise again, this time as a double.
  const Checked<double> selfNoiseExact = TextToDouble(selfNoiseText, format);
  if (!selfNoiseExact.ok()) return Failed{selfNoiseExact.failure(), 1};
  const Checked<double> signalToNoise = CheckFault(94.0 - selfNoiseExact.value());
  if (!signalToNoise.ok()) return Failed{signalToNoise.failure()};

  return Done{{SingleToText(range.value(), format), DoubleToText(signalToNoise.value(), format)}};
}

}  // namespace velsona::calc
