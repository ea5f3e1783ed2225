#pragma once

// The program's one window: the sensitivity conversion on the left, the
// dynamic range and signal-to-noise ratio on the right. Its handlers read
// the input fields, run a calculation and write the result fields.

#include <functional>

#include "calc/sensitivity.h"
#include "platform/window/forms.h"

namespace velsona::ui {

class Form1 {
 public:
  // Where a calculation learns how numbers are written: asked each time one
  // runs, so a change to the regional settings needs no restart.
  using RegionalSettings = std::function<platform::NumberFormat()>;

  explicit Form1(RegionalSettings regional = platform::CurrentNumberFormat);

  void Show() { form_.Show(); }
  // The toolkit's window object, for tests and tools that inspect the window.
  void* NativeWindow() const { return form_.NativeWindow(); }

 private:
  void CalcolaSens_Click();
  void CalcolaSens2_Click();
  void CalcGamma_Click();
  void Arrotonda_Click();
  void Arrotonda2_Click();

  // One sensitivity direction: blanks `output` first, then shows what the
  // calculation gives for `input` with the whole-number option of `check`.
  void ConvertSensitivity(const char* input, const char* check, const char* output,
                          calc::SensitivityConversion convert);
  // Writes a result's texts into `outputs`, or tells the user why there are none.
  void ShowOutcome(const calc::CalcResult& result, std::initializer_list<const char*> inputs,
                   std::initializer_list<const char*> outputs, const platform::NumberFormat& regional);
  void ReportFailure(const calc::Failed& failure, std::initializer_list<const char*> inputs,
                     const platform::NumberFormat& regional);

  platform::Form form_;
  RegionalSettings regional_;
};

}  // namespace velsona::ui
