#include "ui/form1.h"

#include <string>
#include <variant>

#include "calc/gamma_sn.h"
#include "calc/sensitivity.h"
#include "ui/controls.h"
#include "ui/messages.h"

namespace velsona::ui {

using calc::CalcResult;

Form1::Form1(RegionalSettings regional) : form_(kForm1Window, Form1Controls()), regional_(std::move(regional)) {
  form_.OnClick("CalcolaSens", [this] { CalcolaSens_Click(); });
  form_.OnClick("CalcolaSens2", [this] { CalcolaSens2_Click(); });
  form_.OnClick("CalcGamma", [this] { CalcGamma_Click(); });
  form_.OnClick("Arrotonda", [this] { Arrotonda_Click(); });
  form_.OnClick("Arrotonda2", [this] { Arrotonda2_Click(); });
}

void Form1::CalcolaSens_Click() { ConvertSensitivity("DBSens1", "Arrotonda", "MVSens1", calc::SensDBtoMV); }

void Form1::CalcolaSens2_Click() { ConvertSensitivity("MVSens2", "Arrotonda2", "DBSens2", calc::SensMVtoDB); }

void Form1::CalcGamma_Click() {
  // Unlike the sensitivity, the results are never blanked: a skipped or
  // failed calculation leaves the earlier ones in place.
  const platform::NumberFormat regional = regional_();
  ShowOutcome(calc::GammaSN(form_.Text("MAXSPL"), form_.Text("SELFNOISE"), regional), {"MAXSPL", "SELFNOISE"},
              {"LabGamma", "LabSN"}, regional);
}

void Form1::Arrotonda_Click() {
  if (!calc::IsEmptyText(form_.Text("DBSens1"))) CalcolaSens_Click();
}

void Form1::Arrotonda2_Click() {
  if (!calc::IsEmptyText(form_.Text("MVSens2"))) CalcolaSens2_Click();
}

void Form1::ConvertSensitivity(const char* input, const char* check, const char* output,
                               calc::SensitivityConversion convert) {
  // Blank first: a refused or failing input never leaves an earlier result on show.
  form_.SetText(output, "");
  const std::string text = form_.Text(input);
  const bool whole = form_.Check(check) != platform::CheckState::Clear;
  const platform::NumberFormat regional = regional_();
  ShowOutcome(convert(text, whole, regional), {input}, {output}, regional);
}

void Form1::ShowOutcome(const CalcResult& result, std::initializer_list<const char*> inputs,
                        std::initializer_list<const char*> outputs, const platform::NumberFormat& regional) {
  struct Visitor {
    Form1& self;
    std::initializer_list<const char*> inputs;
    std::initializer_list<const char*> outputs;
    const platform::NumberFormat& regional;
    void operator()(const calc::Done& done) const {
      auto text = done.texts.begin();
      for (const char* output : outputs) {
        if (text == done.texts.end()) break;
        self.form_.SetText(output, *text++);
      }
    }
    void operator()(const calc::Refused&) const {}
    void operator()(const calc::Skipped&) const {}
    void operator()(const calc::Failed& failed) const { self.ReportFailure(failed, inputs, regional); }
  };
  std::visit(Visitor{*this, inputs, outputs, regional}, result);
}

void Form1::ReportFailure(const calc::Failed& failure, std::initializer_list<const char*> inputs,
                          const platform::NumberFormat& regional) {
  const std::size_t index = failure.input.value_or(0);
  const char* input = index < inputs.size() ? *(inputs.begin() + index) : *inputs.begin();
  form_.Warn("Velsona", FailureMessage(failure, input, form_.Text(input), regional));
}

}  // namespace velsona::ui
