#pragma once

// The program's one window: the sensitivity conversion on the left, the
// dynamic range and signal-to-noise ratio on the right. Its handlers read
// the input fields, run a calculation and write the result fields.

#include "calc/numeric_rules.h"
#include "platform/window/forms.h"

namespace velsona::ui {

class Form1 {
 public:
  // Numbers are read and written as `regional` says.
  explicit Form1(const platform::NumberFormat& regional);

  void Show() { form_.Show(); }
  // The top-level widget, for tests and tools that inspect the window.
  QWidget* Window() const { return form_.Widget(); }

  // The window and application icon, compiled in as a Qt resource.
  static constexpr const char* kIconPath = ":/velsona/icons/velsona-32.png";

 private:
  void CalcolaSens_Click();
  void CalcolaSens2_Click();
  void CalcGamma_Click();
  void Arrotonda_Click();
  void Arrotonda2_Click();

  // One sensitivity direction: blanks `output` first, then shows what the
  // calculation gives for `input` with the whole-number option of `check`.
  void ConvertSensitivity(const char* input, const char* check, const char* output,
                          calc::CalcResult (*convert)(std::string_view, bool, const calc::NumberFormat&));
  // Writes a result's texts into `outputs`, or tells the user why there are none.
  void Show(const calc::CalcResult& result, std::initializer_list<const char*> inputs,
            std::initializer_list<const char*> outputs);
  void ReportFailure(const calc::Failed& failure, std::initializer_list<const char*> inputs);

  platform::Form form_;
  platform::NumberFormat regional_;
};

}  // namespace velsona::ui
