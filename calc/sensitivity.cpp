#include "calc/sensitivity.h"

namespace velsona::calc {

CalcResult SensDBtoMV(std::string_view dbText, bool whole, const platform::NumberFormat& format) {
  const Checked<double> db = TextToDouble(dbText, format);
  if (!db.ok()) return Failed{db.failure(), 0};
  if (db.value() > 0.0) return Refused{};

  const Checked<double> quotient = Divide(db.value(), 20.0);
  if (!quotient.ok()) return Failed{quotient.failure()};
  const Checked<float> exponent = StoreSingle(quotient.value());
  if (!exponent.ok()) return Failed{exponent.failure()};

  const Checked<double> ratio = Power(10.0, static_cast<double>(exponent.value()));
  if (!ratio.ok()) return Failed{ratio.failure()};
  const Checked<float> millivolts = StoreSingle(ratio.value() * 1000.0);
  if (!millivolts.ok()) return Failed{millivolts.failure()};

  const float shown = whole ? FloorInt(millivolts.value()) : RoundDecimals(millivolts.value());
  return Done{{SingleToText(shown, format)}};
}

CalcResult SensMVtoDB(std::string_view mvText, bool whole, const platform::NumberFormat& format) {
  const Checked<double> mv = TextToDouble(mvText, format);
  if (!mv.ok()) return Failed{mv.failure(), 0};
  if (mv.value() > 1000.0) return Refused{};
  if (!(mv.value() > 0.0)) return Refused{};

  const Checked<double> volts = CheckFault(mv.value() * 0.001);
  if (!volts.ok()) return Failed{volts.failure()};
  // Only the tiniest subnormal mV/Pa values (below about 2.5e-321) give
  // 0 V/Pa here, whose logarithm fails; 1e-310 still gives -6260 dB.
  const Checked<double> lnVolts = NaturalLog(volts.value());
  if (!lnVolts.ok()) return Failed{lnVolts.failure()};
  const Checked<double> ln10 = NaturalLog(10.0);
  if (!ln10.ok()) return Failed{ln10.failure()};
  const Checked<double> decades = Divide(lnVolts.value(), ln10.value());
  if (!decades.ok()) return Failed{decades.failure()};
  const Checked<float> db = StoreSingle(decades.value() * 20.0);
  if (!db.ok()) return Failed{db.failure()};

  float shown = 0.0f;
  if (whole) {
    const Checked<std::int16_t> nearest = NearestInt16(db.value());
    if (!nearest.ok()) return Failed{nearest.failure()};
    shown = nearest.value();
  } else {
    shown = RoundDecimals(db.value());
  }
  return Done{{SingleToText(shown, format)}};
}

}  // namespace velsona::calc
