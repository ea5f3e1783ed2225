#include "ui/controls.h"

namespace velsona::ui {
namespace {

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

// Where a control sits within its frame (a frame: within the window's client
// area), in twips.
struct Place {
  int left, top, width, height;
};
// The most characters the user may type into a text box.
struct MaxChars {
  int count;
};
// The control's place in the order Tab moves the focus in.
struct Tab {
  int index;
};
// What assistive technology says of a control; the description is also its
// tooltip. The name holds the words the control is seen by (a field's caption
// at its right, a button's own), so that a user who says what they see
// reaches it; the description explains.
struct Spoken {
  const char* name;
  const char* description;
};

ControlSpec Control(const char* name, ControlKind kind, const char* frame, Place place, const char* text, double points,
                    Alignment alignment, Tab tab, Spoken spoken) {
  ControlSpec spec{};
  spec.name = name;
  spec.kind = kind;
  spec.frame = frame;
  spec.left = place.left;
  spec.top = place.top;
  spec.width = place.width;
  spec.height = place.height;
  spec.text = text;
  spec.fontPoints = points;
  spec.alignment = alignment;
  spec.tabIndex = tab.index;
  spec.accessibleName = spoken.name;
  spec.accessibleDescription = spoken.description;
  return spec;
}

// A panel's frame, with its name but no caption.
ControlSpec Frame(const char* name, Place place, Tab tab, Spoken spoken) {
  return Control(name, ControlKind::Frame, "", place, "", kButtonPt, Alignment::Left, tab, spoken);
}

// A panel's heading, centred.
ControlSpec Title(const char* name, const char* frame, Place place, const char* text, Tab tab) {
  return Control(name, ControlKind::CaptionLabel, frame, place, text, kTitlePt, Alignment::Centre, tab, {"", ""});
}

// The unit or name beside a field.
ControlSpec Caption(const char* name, const char* frame, Place place, const char* text, Tab tab) {
  return Control(name, ControlKind::CaptionLabel, frame, place, text, kCaptionPt, Alignment::Left, tab, {"", ""});
}

ControlSpec TextBox(const char* name, const char* frame, Place place, MaxChars most, Tab tab, Spoken spoken) {
  ControlSpec spec = Control(name, ControlKind::TextBox, frame, place, "", kFieldPt, Alignment::Centre, tab, spoken);
  spec.maxLength = most.count;
  return spec;
}

ControlSpec ResultField(const char* name, const char* frame, Place place, Colour background, Tab tab, Spoken spoken) {
  ControlSpec spec =
      Control(name, ControlKind::ResultField, frame, place, "", kFieldPt, Alignment::Centre, tab, spoken);
  spec.background = background;
  return spec;
}

ControlSpec Button(const char* name, const char* frame, Place place, const char* text, Tab tab, Spoken spoken) {
  return Control(name, ControlKind::Button, frame, place, text, kButtonPt, Alignment::Left, tab, spoken);
}

ControlSpec CheckBox(const char* name, const char* frame, Place place, const char* text, Tab tab, Spoken spoken) {
  return Control(name, ControlKind::CheckBox, frame, place, text, kButtonPt, Alignment::Left, tab, spoken);
}

}  // namespace

const platform::WindowSpec kForm1Window{"Form1", "Velsona - \xC2\xA9 2026 gli autori di Velsona", 8115, 5295,
                                        "MS Sans Serif"};

const std::vector<ControlSpec>& Form1Controls() {
  static const std::vector<ControlSpec> controls = {
      Frame("Frame1", {30, 60, 4005, 5175}, Tab{4}, {"Sensibilità", ""}),
      Frame("Frame2", {4050, 60, 4005, 5175}, Tab{14}, {"Gamma dinamica", ""}),
      Title("Label2", "Frame1", {150, 180, 3675, 345}, "SENSIBILIT\xC3\x80", Tab{9}),
      TextBox("DBSens1", "Frame1", {180, 690, 1575, 495}, MaxChars{3}, Tab{0},
              {"Sensibilità in dB (rif. 1V/Pa)", "Valore da convertire in mV/Pa: fino a 0 dB, al massimo 3 caratteri"}),
      Caption("Label4", "Frame1", {1860, 780, 1455, 345}, "dB (rif. 1V/Pa)", Tab{13}),
      ResultField("MVSens1", "Frame1", {180, 1380, 1575, 465}, kLightCyan, Tab{23},
                  {"Risultato in mV/Pa", "Sensibilità convertita dai dB"}),
      Caption("Label5", "Frame1", {1860, 1470, 1455, 345}, "mV/Pa", Tab{12}),
      Button("CalcolaSens", "Frame1", {180, 1980, 1605, 525}, "Calcola", Tab{8},
             {"Calcola mV/Pa", "Converte la sensibilità da dB a mV/Pa"}),
      CheckBox("Arrotonda", "Frame1", {2010, 2070, 1215, 345}, "arrotonda", Tab{6},
               {"arrotonda mV/Pa", "Risultato in mV/Pa senza decimali, troncato all'intero"}),
      TextBox(
          "MVSens2", "Frame1", {180, 2970, 1575, 495}, MaxChars{4}, Tab{1},
          {"Sensibilità in mV/Pa", "Valore da convertire in dB: oltre 0 e fino a 1000 mV/Pa, al massimo 4 caratteri"}),
      Caption("Label6", "Frame1", {1860, 3090, 1455, 345}, "mV/Pa", Tab{11}),
      ResultField("DBSens2", "Frame1", {180, 3600, 1575, 465}, kLightCyan, Tab{24},
                  {"Risultato in dB (rif. 1V/Pa)", "Sensibilità convertita dai mV/Pa"}),
      Caption("Label1", "Frame1", {1860, 3720, 1455, 345}, "dB (rif. 1V/Pa)", Tab{10}),
      Button("CalcolaSens2", "Frame1", {180, 4230, 1605, 525}, "Calcola", Tab{7},
             {"Calcola dB", "Converte la sensibilità da mV/Pa a dB"}),
      CheckBox("Arrotonda2", "Frame1", {2010, 4350, 1215, 345}, "arrotonda", Tab{5},
               {"arrotonda dB", "Risultato in dB senza decimali, all'intero più vicino"}),
      Title("Label7", "Frame2", {180, 180, 3705, 345}, "GAMMA DINAMICA", Tab{17}),
      TextBox("MAXSPL", "Frame2", {150, 900, 1575, 495}, MaxChars{3}, Tab{2},
              {"dB Max SPL (pressione sonora massima)", "Qualsiasi valore in dB SPL, al massimo 3 caratteri"}),
      Caption("Label3", "Frame2", {1860, 1020, 1455, 345}, "dB Max SPL", Tab{19}),
      TextBox("SELFNOISE", "Frame2", {150, 1560, 1575, 495}, MaxChars{3}, Tab{3},
              {"dB Self-Noise (rumore proprio)", "Qualsiasi valore in dB SPL, al massimo 3 caratteri"}),
      Caption("Label8", "Frame2", {1860, 1680, 1455, 345}, "dB Self-Noise", Tab{20}),
      ResultField("LabGamma", "Frame2", {150, 2160, 1575, 465}, kLightYellow, Tab{16},
                  {"Gamma dinamica in dB", "Risultato: massimo SPL meno rumore proprio"}),
      Caption("Label9", "Frame2", {1890, 2280, 2055, 345}, "Gamma dinamica", Tab{21}),
      ResultField("LabSN", "Frame2", {150, 2700, 1575, 465}, kLightYellow, Tab{18},
                  {"Rapporto S/N rif. 94 dB SPL", "Rapporto segnale/rumore: 94 dB SPL meno rumore proprio"}),
      Caption("Label10", "Frame2", {1830, 2820, 2145, 345}, "S/N rif. 94 dB SPL", Tab{22}),
      Button("CalcGamma", "Frame2", {150, 3390, 1605, 525}, "Calcola", Tab{15},
             {"Calcola gamma dinamica", "Calcola gamma dinamica e rapporto segnale/rumore"}),
  };
  return controls;
}

}  // namespace velsona::ui
