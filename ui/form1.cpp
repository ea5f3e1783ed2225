#include "ui/form1.h"

#include <algorithm>
#include <string>
#include <variant>

#include "calc/gamma_sn.h"
#include "calc/sensitivity.h"

namespace velsona::ui {
namespace {

using calc::CalcResult;
using platform::Alignment;
using platform::Colour;
using platform::ControlKind;
using platform::ControlSpec;

constexpr Colour kLightCyan{192, 255, 255};
constexpr Colour kLightYellow{255, 255, 192};

constexpr double kTitlePt = 13.5;
constexpr double kFieldPt = 12;
constexpr double kCaptionPt = 9.75;
constexpr double kButtonPt = 8.25;

const platform::WindowSpec kWindow{"Form1", "Velsona - \xC2\xA9 2026 gli autori di Velsona", 8115, 5295,
                                   "MS Sans Serif"};

// Every control of the window, in twips within its frame.
// name, kind, frame, left, top, width, height, text, font, alignment, max length, background, tab index,
// accessible name, accessible description.
const std::vector<ControlSpec> kControls = {
    {"Frame1", ControlKind::Frame, "", 30, 60, 4005, 5175, "", kButtonPt, Alignment::Left, 0, {}, 4,
     "Sensibilità", ""},
    {"Frame2", ControlKind::Frame, "", 4050, 60, 4005, 5175, "", kButtonPt, Alignment::Left, 0, {}, 14,
     "Gamma dinamica", ""},

    {"Label2", ControlKind::CaptionLabel, "Frame1", 150, 180, 3675, 345, "SENSIBILIT\xC3\x80", kTitlePt,
     Alignment::Centre, 0, {}, 9},
    {"DBSens1", ControlKind::TextBox, "Frame1", 180, 690, 1575, 495, "", kFieldPt, Alignment::Centre, 3, {}, 0,
     "Sensibilità in dB, rif. 1 V/Pa", "Valore da convertire in mV/Pa: fino a 0 dB, al massimo 3 caratteri"},
    {"Label4", ControlKind::CaptionLabel, "Frame1", 1860, 780, 1455, 345, "dB (rif. 1V/Pa)", kCaptionPt,
     Alignment::Left, 0, {}, 13},
    {"MVSens1", ControlKind::ResultField, "Frame1", 180, 1380, 1575, 465, "", kFieldPt, Alignment::Centre, 0,
     kLightCyan, 23, "Risultato in mV/Pa", "Sensibilità convertita dai dB"},
    {"Label5", ControlKind::CaptionLabel, "Frame1", 1860, 1470, 1455, 345, "mV/Pa", kCaptionPt, Alignment::Left,
     0, {}, 12},
    {"CalcolaSens", ControlKind::Button, "Frame1", 180, 1980, 1605, 525, "Calcola", kButtonPt, Alignment::Left, 0,
     {}, 8, "Calcola mV/Pa", "Converte la sensibilità da dB a mV/Pa"},
    {"Arrotonda", ControlKind::CheckBox, "Frame1", 2010, 2070, 1215, 345, "arrotonda", kButtonPt,
     Alignment::Left, 0, {}, 6, "arrotonda mV/Pa", "Risultato in mV/Pa senza decimali, troncato all'intero"},
    {"MVSens2", ControlKind::TextBox, "Frame1", 180, 2970, 1575, 495, "", kFieldPt, Alignment::Centre, 4, {}, 1,
     "Sensibilità in mV/Pa",
     "Valore da convertire in dB: oltre 0 e fino a 1000 mV/Pa, al massimo 4 caratteri"},
    {"Label6", ControlKind::CaptionLabel, "Frame1", 1860, 3090, 1455, 345, "mV/Pa", kCaptionPt, Alignment::Left,
     0, {}, 11},
    {"DBSens2", ControlKind::ResultField, "Frame1", 180, 3600, 1575, 465, "", kFieldPt, Alignment::Centre, 0,
     kLightCyan, 24, "Risultato in dB, rif. 1 V/Pa", "Sensibilità convertita dai mV/Pa"},
    {"Label1", ControlKind::CaptionLabel, "Frame1", 1860, 3720, 1455, 345, "dB (rif. 1V/Pa)", kCaptionPt,
     Alignment::Left, 0, {}, 10},
    {"CalcolaSens2", ControlKind::Button, "Frame1", 180, 4230, 1605, 525, "Calcola", kButtonPt, Alignment::Left,
     0, {}, 7, "Calcola dB", "Converte la sensibilità da mV/Pa a dB"},
    {"Arrotonda2", ControlKind::CheckBox, "Frame1", 2010, 4350, 1215, 345, "arrotonda", kButtonPt,
     Alignment::Left, 0, {}, 5, "arrotonda dB", "Risultato in dB senza decimali, all'intero più vicino"},

    {"Label7", ControlKind::CaptionLabel, "Frame2", 180, 180, 3705, 345, "GAMMA DINAMICA", kTitlePt,
     Alignment::Centre, 0, {}, 17},
    {"MAXSPL", ControlKind::TextBox, "Frame2", 150, 900, 1575, 495, "", kFieldPt, Alignment::Centre, 3, {}, 2,
     "Pressione sonora massima in dB SPL", "Qualsiasi valore in dB SPL, al massimo 3 caratteri"},
    {"Label3", ControlKind::CaptionLabel, "Frame2", 1860, 1020, 1455, 345, "dB Max SPL", kCaptionPt,
     Alignment::Left, 0, {}, 19},
    {"SELFNOISE", ControlKind::TextBox, "Frame2", 150, 1560, 1575, 495, "", kFieldPt, Alignment::Centre, 3, {}, 3,
     "Rumore proprio in dB SPL", "Qualsiasi valore in dB SPL, al massimo 3 caratteri"},
    {"Label8", ControlKind::CaptionLabel, "Frame2", 1860, 1680, 1455, 345, "dB Self-Noise", kCaptionPt,
     Alignment::Left, 0, {}, 20},
    {"LabGamma", ControlKind::ResultField, "Frame2", 150, 2160, 1575, 465, "", kFieldPt, Alignment::Centre, 0,
     kLightYellow, 16, "Gamma dinamica in dB", "Risultato: massimo SPL meno rumore proprio"},
    {"Label9", ControlKind::CaptionLabel, "Frame2", 1890, 2280, 2055, 345, "Gamma dinamica", kCaptionPt,
     Alignment::Left, 0, {}, 21},
    {"LabSN", ControlKind::ResultField, "Frame2", 150, 2700, 1575, 465, "", kFieldPt, Alignment::Centre, 0,
     kLightYellow, 18, "Rapporto segnale/rumore rif. 94 dB SPL", "Risultato: 94 dB SPL meno rumore proprio"},
    {"Label10", ControlKind::CaptionLabel, "Frame2", 1830, 2820, 2145, 345, "S/N rif. 94 dB SPL", kCaptionPt,
     Alignment::Left, 0, {}, 22},
    {"CalcGamma", ControlKind::Button, "Frame2", 150, 3390, 1605, 525, "Calcola", kButtonPt, Alignment::Left, 0,
     {}, 15, "Calcola gamma dinamica", "Calcola gamma dinamica e rapporto segnale/rumore"},
};

// The name the user knows an input field by, for messages.
const char* FieldName(std::string_view control) {
  if (control == "DBSens1") return "Sensibilità in dB";
  if (control == "MVSens2") return "Sensibilità in mV/Pa";
  if (control == "MAXSPL") return "dB Max SPL";
  return "dB Self-Noise";
}

std::string SeparatorAdvice(const calc::NumberFormat& regional) {
  if (regional.decimalSeparator == ".") return "usare il punto come separatore decimale";
  if (regional.decimalSeparator == ",") return "usare la virgola come separatore decimale";
  return "usare \"" + regional.decimalSeparator + "\" come separatore decimale";
}

// True when `text` would read as a number had it been written with the
// other common decimal separator: "7,5" where the point is the regional one.
bool ReadsWithTheOtherSeparator(std::string_view text, const calc::NumberFormat& regional) {
  calc::NumberFormat other;
  other.decimalSeparator = regional.decimalSeparator == "." ? "," : ".";
  return calc::TextToDouble(text, other).ok();
}

// `text` (UTF-8) with every control character made visible, so that quoting
// it never breaks or hides a line of the message: a line break shows as "⏎",
// a tab as "⇥", any other as its symbol from the control pictures ("␀") or,
// lacking one, as its code.
std::string VisibleText(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
    const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0u;
    if (byte == '\n' || byte == '\r') {
      shown += "\u23CE";
      if (byte == '\r' && next == '\n') ++i;  // one line break, as a spreadsheet writes it
    } else if (byte == '\t') {
      shown += "\u21E5";
    } else if (byte < 0x20) {
      // U+2400 + byte: E2 90 80+byte.
      shown += "\xE2\x90";
      shown += static_cast<char>(0x80 + byte);
    } else if (byte == 0x7F) {
      shown += "\u2421";
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      // C1 controls: the next-line character as a line break, the others
      // as their code ("\u0090"), since they have no picture of their own.
      if (next == 0x85) {
        shown += "\u23CE";
      } else {
        const char* const hex = "0123456789ABCDEF";
        shown += "\\u00";
        shown += hex[next >> 4];
        shown += hex[next & 0xF];
      }
      ++i;
    } else if (byte == 0xE2 && next == 0x80 && (third == 0xA8 || third == 0xA9)) {
      // The line and paragraph separators.
      shown += "\u23CE";
      i += 2;
    } else {
      shown += static_cast<char>(byte);
    }
  }
  return shown;
}

}  // namespace

Form1::Form1(RegionalSettings regional) : form_(kWindow, kControls), regional_(std::move(regional)) {
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
  const calc::NumberFormat regional = regional_();
  Show(calc::GammaSN(form_.Text("MAXSPL"), form_.Text("SELFNOISE"), regional), {"MAXSPL", "SELFNOISE"},
       {"LabGamma", "LabSN"}, regional);
}

void Form1::Arrotonda_Click() {
  if (!calc::IsEmptyText(form_.Text("DBSens1"))) CalcolaSens_Click();
}

void Form1::Arrotonda2_Click() {
  if (!calc::IsEmptyText(form_.Text("MVSens2"))) CalcolaSens2_Click();
}

void Form1::ConvertSensitivity(const char* input, const char* check, const char* output,
                               CalcResult (*convert)(std::string_view, bool, const calc::NumberFormat&)) {
  // Blank first: a refused or failing input never leaves an earlier result on show.
  form_.SetText(output, "");
  const std::string text = form_.Text(input);
  const bool whole = form_.Check(check) != platform::CheckState::Clear;
  const calc::NumberFormat regional = regional_();
  Show(convert(text, whole, regional), {input}, {output}, regional);
}

void Form1::Show(const CalcResult& result, std::initializer_list<const char*> inputs,
                 std::initializer_list<const char*> outputs, const calc::NumberFormat& regional) {
  struct Visitor {
    Form1& self;
    std::initializer_list<const char*> inputs;
    std::initializer_list<const char*> outputs;
    const calc::NumberFormat& regional;
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
                          const calc::NumberFormat& regional) {
  std::string message;
  switch (failure.kind) {
    case calc::FailureKind::TypeMismatch: {
      const auto index = static_cast<std::size_t>(failure.input);
      const char* input = index < inputs.size() ? *(inputs.begin() + index) : *inputs.begin();
      const std::string text = form_.Text(input);
      if (text.empty()) {
        message = std::string("Il campo \"") + FieldName(input) + "\" è vuoto: scrivere un numero.";
      } else if (std::all_of(text.begin(), text.end(), calc::IsBlank)) {
        message = std::string("Il campo \"") + FieldName(input) + "\" contiene solo spazi: scrivere un numero.";
      } else {
        message = "\"" + VisibleText(text) + "\" (" + FieldName(input) + ") non è un numero";
        // Advice on the separator only where it is the mistake.
        message += ReadsWithTheOtherSeparator(text, regional) ? ": " + SeparatorAdvice(regional) + "." : ".";
      }
      break;
    }
    case calc::FailureKind::Overflow:
      message = "Numero troppo grande: il risultato non si può calcolare.";
      break;
    case calc::FailureKind::DivisionByZero:
      message = "Divisione per zero: il risultato non si può calcolare.";
      break;
    case calc::FailureKind::InvalidOperation:
      message = "Operazione non valida: il risultato non si può calcolare.";
      break;
  }
  form_.Warn("Velsona", message);
}

}  // namespace velsona::ui
