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

}  // namespace

const platform::WindowSpec kForm1Window{"Form1", "Velsona - \xC2\xA9 2026 gli autori di Velsona", 8115, 5295,
                                        "MS Sans Serif"};

// Every control of the window, in twips within its frame.
// name, kind, frame, left, top, width, height, text, font, alignment, max length, background, tab index,
// accessible name, accessible description.
const std::vector<ControlSpec>& Form1Controls() {
  static const std::vector<ControlSpec> controls = {
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
  return controls;
}

}  // namespace velsona::ui
