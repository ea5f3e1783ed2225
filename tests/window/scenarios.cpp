#include "tests/window/scenarios.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "tests/localised.h"

namespace velsona::window_tests {
namespace {

Step Type(const char* control, std::string text) { return {Do::Type, control, std::move(text)}; }
Step Paste(const char* control, std::string text) { return {Do::Paste, control, std::move(text)}; }
Step Click(const char* control) { return {Do::Click, control}; }
Step Press(Key key) { return {Do::Press, "", "", key}; }
Step SetSeparator(std::string separator) { return {Do::SetSeparator, "", std::move(separator)}; }
Step Shows(const char* control, std::string text) { return {Do::Shows, control, std::move(text)}; }
Step Ticked(const char* control, bool ticked) { return {Do::Ticked, control, ticked ? "1" : "0"}; }
Step FocusIn(const char* control) { return {Do::FocusIn, control}; }
Step FocusRound(const char* control) { return {Do::FocusRound, control}; }
Step Warned(std::string text = "") { return {Do::Warned, "", std::move(text)}; }
Step Background(const char* control, Rgb colour) { return {Do::Background, control, "", Key::Tab, colour}; }
Step Whole(const char* control, bool smaller) { return {Do::Whole, control, smaller ? "smaller" : "own"}; }
// For a text near the field's width, which one font fits and another not.
Step WholeAtAnySize(const char* control) { return {Do::Whole, control, "any"}; }
Step Readable(const char* control) { return {Do::Readable, control}; }
Step Tooltip(const char* control, std::string text) { return {Do::Tooltip, control, std::move(text)}; }
Step TooltipHas(const char* control, std::string text) { return {Do::TooltipHas, control, std::move(text)}; }
Step Announced(std::string text) { return {Do::Announced, "", std::move(text)}; }
Step DoubleClickSelects(const char* control, std::string text) { return {Do::Selects, control, std::move(text)}; }

// What a screen reader is told when the first field is full.
const char kDbFull[] = "Il campo \"Sensibilit\xC3\xA0 in dB (rif. 1V/Pa)\" accetta al massimo 3 caratteri.";

// The size of the result fields' own font, in points.
constexpr double kResultPoints = 12;

constexpr Rgb kLightCyan{192, 255, 255};
constexpr Rgb kLightYellow{255, 255, 192};

using tests::Localised;

const char* const kSeparators[] = {".", ","};

// Each control but the frames, with the frame it sits in.
const std::pair<const char*, const char*> kControlsInFrames[] = {
    {"Label2", "Frame1"},    {"DBSens1", "Frame1"},  {"Label4", "Frame1"},       {"MVSens1", "Frame1"},
    {"Label5", "Frame1"},    {"CalcolaSens", "Frame1"}, {"Arrotonda", "Frame1"}, {"MVSens2", "Frame1"},
    {"Label6", "Frame1"},    {"DBSens2", "Frame1"},  {"Label1", "Frame1"},       {"CalcolaSens2", "Frame1"},
    {"Arrotonda2", "Frame1"}, {"Label7", "Frame2"},  {"MAXSPL", "Frame2"},       {"Label3", "Frame2"},
    {"SELFNOISE", "Frame2"}, {"Label8", "Frame2"},   {"LabGamma", "Frame2"},     {"Label9", "Frame2"},
    {"LabSN", "Frame2"},     {"Label10", "Frame2"},  {"CalcGamma", "Frame2"},
};

void AddWorkedResults(std::vector<Scenario>& scenarios) {
  // The worked results of both directions: plain, then whole by ticking the
  // check box (which recomputes at once), then plain again by clearing it.
  struct Row {
    const char* field;
    const char* text;
    const char* plain;
    const char* whole;
  };
  const Row rows[] = {
      {"DBSens1", "-40", "10", "10"},       {"DBSens1", "-47", "4.4668", "4"},  {"DBSens1", "-34", "19.9526", "19"},
      {"DBSens1", "-6", "501.1872", "501"}, {"DBSens1", "-1", "891.2509", "891"}, {"DBSens1", "-99", "0.0112", "0"},
      {"DBSens1", "0", "1000", "1000"},     {"DBSens1", "5", "", ""},           {"MVSens2", "10", "-40", "-40"},
      {"MVSens2", "12", "-38.4164", "-38"}, {"MVSens2", "25", "-32.0412", "-32"}, {"MVSens2", "50", "-26.0206", "-26"},
      {"MVSens2", "0.1", "-80", "-80"},     {"MVSens2", "1000", "0", "0"},      {"MVSens2", "1001", "", ""},
      {"MVSens2", "0", "", ""},             {"MVSens2", "-5", "", ""},
  };
  for (const char* separator : kSeparators) {
    for (const Row& row : rows) {
      const bool fromDb = std::string(row.field) == "DBSens1";
      const char* button = fromDb ? "CalcolaSens" : "CalcolaSens2";
      const char* check = fromDb ? "Arrotonda" : "Arrotonda2";
      const char* result = fromDb ? "MVSens1" : "DBSens2";
      const std::string plain = Localised(row.plain, separator);
      scenarios.push_back({std::string(row.field) + " " + Localised(row.text, separator) + " with '" + separator + "'",
                           separator,
                           {Type(row.field, Localised(row.text, separator)), Click(button), Shows(result, plain),
                            Click(check), Shows(result, Localised(row.whole, separator)), Click(check),
                            Shows(result, plain)}});
    }
  }
  struct GammaRow {
    const char* maxSpl;
    const char* selfNoise;
    const char* range;
    const char* signalToNoise;
  };
  const GammaRow gammaRows[] = {{"130", "15", "115", "79"},      {"120", "7.5", "112.5", "86.5"},
                                {"130", "0.1", "129.9", "93.9"}, {"100", "120", "-20", "-26"},
                                {"130", "94", "36", "0"},        {"130", "95", "35", "-1"}};
  for (const char* separator : kSeparators) {
    for (const GammaRow& row : gammaRows) {
      scenarios.push_back({std::string("gamma ") + row.maxSpl + " - " + row.selfNoise + " with '" + separator + "'",
                           separator,
                           {Type("MAXSPL", Localised(row.maxSpl, separator)),
                            Type("SELFNOISE", Localised(row.selfNoise, separator)), Click("CalcGamma"),
                            Shows("LabGamma", Localised(row.range, separator)),
                            Shows("LabSN", Localised(row.signalToNoise, separator))}});
    }
  }
}

}  // namespace

std::vector<Scenario> WindowScenarios() {
  std::vector<Scenario> scenarios = {
      {"opens empty, clear, focused on the first field, in its place",
       ".",
       {Shows("DBSens1", ""), Shows("MVSens2", ""), Shows("MAXSPL", ""), Shows("SELFNOISE", ""),
        Shows("MVSens1", ""), Shows("DBSens2", ""), Shows("LabGamma", ""), Shows("LabSN", ""),
        Ticked("Arrotonda", false), Ticked("Arrotonda2", false), FocusIn("DBSens1"), {Do::Window}, {Do::Layout}}},
      {"a screen reader reads each panel as it is seen", ".", {{Do::Reading}}},
      {"Tab visits the nine stops in order, then comes round or leaves the page",
       ".",
       {Press(Key::Tab), FocusIn("MVSens2"), Press(Key::Tab), FocusIn("MAXSPL"), Press(Key::Tab),
        FocusIn("SELFNOISE"), Press(Key::Tab), FocusIn("Arrotonda2"), Press(Key::Tab), FocusIn("Arrotonda"),
        Press(Key::Tab), FocusIn("CalcolaSens2"), Press(Key::Tab), FocusIn("CalcolaSens"), Press(Key::Tab),
        FocusIn("CalcGamma"), Press(Key::Tab), FocusRound("DBSens1")}},
      {"Shift+Tab goes back through the stops, then comes round or leaves the page",
       ".",
       {Type("SELFNOISE", "1"), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab),
        FocusIn("CalcGamma"), Press(Key::ShiftTab), FocusIn("CalcolaSens"), Press(Key::ShiftTab),
        FocusIn("CalcolaSens2"), Press(Key::Tab), FocusIn("CalcolaSens"), Type("SELFNOISE", "1"),
        Press(Key::ShiftTab), FocusIn("MAXSPL"), Press(Key::ShiftTab), FocusIn("MVSens2"), Press(Key::ShiftTab),
        FocusIn("DBSens1"), Press(Key::ShiftTab), FocusRound("CalcGamma"), Shows("SELFNOISE", "1")}},
      {"result fields are coloured, with or without a result",
       ".",
       {Background("MVSens1", kLightCyan), Background("DBSens2", kLightCyan), Background("LabGamma", kLightYellow),
        Background("LabSN", kLightYellow), Type("DBSens1", "-47"), Click("CalcolaSens"), Type("MAXSPL", "130"),
        Type("SELFNOISE", "15"), Click("CalcGamma"), Shows("LabSN", "79"), Background("MVSens1", kLightCyan),
        Background("LabGamma", kLightYellow), Background("LabSN", kLightYellow)}},
      {"input limits hold typed keys back; a full field tells why, once until its text changes",
       ".",
       {Type("DBSens1", "-40.5"), Shows("DBSens1", "-40"), Announced(kDbFull), Press(Key::Space),
        Shows("DBSens1", "-40"), Announced(""), Type("DBSens1", "1300"), Shows("DBSens1", "130"),
        Announced(kDbFull), Type("MAXSPL", "1300"), Shows("MAXSPL", "130"),
        Type("SELFNOISE", "7.55"), Shows("SELFNOISE", "7.5"), Type("MVSens2", "10001"), Shows("MVSens2", "1000"),
        Type("DBSens1", "a b"), Shows("DBSens1", "a b")}},
      {"result fields cannot be typed into",
       ".",
       {Type("MVSens2", "10"), Click("CalcolaSens2"), Type("DBSens2", "12"), Shows("DBSens2", "-40"),
        Type("LabGamma", "1"), Shows("LabGamma", "")}},
      {"a double-click on a result selects all of it, sign and separator included",
       ",",
       {Type("DBSens1", "-47"), Click("CalcolaSens"), DoubleClickSelects("MVSens1", "4,4668"), Type("MVSens2", "12"),
        Click("CalcolaSens2"), DoubleClickSelects("DBSens2", "-38,4164")}},
      {"ticking arrotonda recomputes; with the field empty it leaves the old result",
       ".",
       {Type("DBSens1", "-47"), Click("CalcolaSens"), Shows("MVSens1", "4.4668"), Type("DBSens1", ""),
        Click("Arrotonda"), Ticked("Arrotonda", true), Shows("MVSens1", "4.4668"), Click("Arrotonda"),
        Ticked("Arrotonda", false), Shows("MVSens1", "4.4668"), Type("MVSens2", "12"), Click("CalcolaSens2"),
        Shows("DBSens2", "-38.4164"), Type("MVSens2", ""), Click("Arrotonda2"), Shows("DBSens2", "-38.4164")}},
      {"arrotonda with letters in the field is told and blanks",
       ",",
       {Type("DBSens1", "-47"), Click("CalcolaSens"), Shows("MVSens1", "4,4668"), Type("DBSens1", "x"),
        Click("Arrotonda"), Warned(), Shows("MVSens1", ""), Announced("Risultato in mV/Pa: nessun valore")}},
      {"a refused input blanks the earlier result, which a screen reader is told, and so is the next",
       ".",
       {Type("DBSens1", "-47"), Click("CalcolaSens"), Shows("MVSens1", "4.4668"),
        Announced("Risultato in mV/Pa: 4.4668"), Type("DBSens1", "5"), Click("CalcolaSens"), Shows("MVSens1", ""),
        Announced("Risultato in mV/Pa: nessun valore"), Type("DBSens1", "-47"), Click("CalcolaSens"),
        Announced("Risultato in mV/Pa: 4.4668"), Type("MVSens2", "1000"), Click("CalcolaSens2"),
        Shows("DBSens2", "0"), Type("MVSens2", "1001"), Click("CalcolaSens2"), Shows("DBSens2", ""),
        Type("DBSens1", "1e9"), Click("CalcolaSens"), Shows("MVSens1", "")}},
      {"gamma keeps its results when a field is empty or not a number; both are told in one utterance",
       ".",
       {Type("MAXSPL", "130"), Type("SELFNOISE", "15"), Click("CalcGamma"), Shows("LabGamma", "115"),
        Shows("LabSN", "79"), Announced("Gamma dinamica in dB: 115. Rapporto S/N rif. 94 dB SPL: 79"),
        Type("SELFNOISE", ""), Click("CalcGamma"), Shows("LabGamma", "115"), Shows("LabSN", "79"), Announced(""),
        Type("SELFNOISE", "abc"), Click("CalcGamma"), Warned(), Shows("LabGamma", "115"), Shows("LabSN", "79")}},
      {"editing an input changes nothing until the click, nor is anything told",
       ".",
       {Type("DBSens1", "-40"), Click("CalcolaSens"), Shows("MVSens1", "10"), Announced("Risultato in mV/Pa: 10"),
        Type("DBSens1", "-6"), Shows("MVSens1", "10"), Announced(""), Type("MAXSPL", "130"), Type("SELFNOISE", "15"),
        Click("CalcGamma"), Type("MAXSPL", "100"), Shows("LabGamma", "115")}},
      {"each button acts on its own block",
       ".",
       {Type("DBSens1", "-40"), Type("MVSens2", "10"), Type("MAXSPL", "130"), Type("SELFNOISE", "15"),
        Click("CalcolaSens"), Shows("MVSens1", "10"), Shows("DBSens2", ""), Shows("LabGamma", ""),
        Click("CalcolaSens2"), Shows("DBSens2", "-40"), Shows("LabSN", ""), Click("CalcGamma"),
        Shows("LabGamma", "115"), Shows("MVSens1", "10"), Shows("DBSens2", "-40")}},
      {"a lone minus is told, blanks, and the program goes on",
       ".",
       {Type("DBSens1", "-40"), Click("CalcolaSens"), Type("DBSens1", "-"), Click("CalcolaSens"), Warned(),
        Shows("MVSens1", ""), Type("DBSens1", "-47"), Click("CalcolaSens"), Shows("MVSens1", "4.4668")}},
      {"an empty field under a comma is told when the button is clicked",
       ",",
       {Click("CalcolaSens"), Warned(), Shows("MVSens1", ""), Click("CalcolaSens2"), Warned(), Click("CalcGamma"),
        Shows("LabGamma", ""), Type("MVSens2", "0,1"), Click("CalcolaSens2"), Shows("DBSens2", "-80")}},
      {"a typed tag or entity is quoted in the message as typed",
       ".",
       {Type("DBSens1", "<b>"), Click("CalcolaSens"), Warned("Il testo \"<b>\" del campo \""),
        Type("DBSens1", "<p>"), Click("CalcolaSens"), Warned("Il testo \"<p>\" del campo \""),
        Type("MVSens2", "&lt;"), Click("CalcolaSens2"), Warned("Il testo \"&lt;\" del campo \"")}},
      {"a paste loses the blanks around it and goes in whole or not at all",
       ",",
       {Paste("DBSens1", "\t-47\n"), Shows("DBSens1", "-47"), Click("CalcolaSens"), Shows("MVSens1", "4,4668"),
        Paste("DBSens1", "-47,5"), Warned("al massimo 3 caratteri"), Shows("DBSens1", "-47"),
        Paste("MVSens2", "4,4668"), Warned("al massimo 4 caratteri"), Shows("MVSens2", ""),
        Paste("MAXSPL", " 130\u00A0"), Paste("SELFNOISE", "\u2212" "15"), Click("CalcGamma"),
        Shows("LabGamma", "145"), Shows("LabSN", "109")}},
      {"a comma where the point is the separator is not a number",
       ".",
       {Type("MVSens2", "7,5"), Click("CalcolaSens2"), Warned(), Shows("DBSens2", "")}},
      {"a point is read under a comma too",
       ",",
       {Type("MVSens2", "0.1"), Click("CalcolaSens2"), Shows("DBSens2", "-80"), Type("MAXSPL", "120"),
        Type("SELFNOISE", "7.5"), Click("CalcGamma"), Shows("LabGamma", "112,5"), Shows("LabSN", "86,5")}},
      {"a new separator counts at the next calculation",
       ",",
       {Type("DBSens1", "-47"), Click("CalcolaSens"), Shows("MVSens1", "4,4668"), SetSeparator("."),
        Click("CalcolaSens"), Shows("MVSens1", "4.4668"), Type("MVSens2", "0,1"), Click("CalcolaSens2"), Warned(),
        SetSeparator(","), Click("CalcolaSens2"), Shows("DBSens2", "-80")}},
      {"Enter in a field does nothing; Space ticks the focused check box and presses the focused button",
       ".",
       {Type("DBSens1", "-47"), Press(Key::Enter), Shows("MVSens1", ""), FocusIn("DBSens1"), Press(Key::Tab),
        Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), FocusIn("Arrotonda"), Press(Key::Space),
        Ticked("Arrotonda", true), Shows("MVSens1", "4"), Press(Key::Tab), Press(Key::Tab), FocusIn("CalcolaSens"),
        Type("DBSens1", "-40"), FocusIn("DBSens1"), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab),
        Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), FocusIn("CalcolaSens"),
        Press(Key::Space), Shows("MVSens1", "10")}},
      {"Enter on the focused button presses it",
       ".",
       {Type("MVSens2", "10"), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab),
        FocusIn("CalcolaSens2"), Press(Key::Enter), Shows("DBSens2", "-40"), Type("MAXSPL", "130"),
        Type("SELFNOISE", "15"), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab), Press(Key::Tab),
        Press(Key::Tab), FocusIn("CalcGamma"), Press(Key::Enter), Shows("LabGamma", "115"), Shows("LabSN", "79")}},
  };
  AddWorkedResults(scenarios);
  for (const char* separator : kSeparators) {
    // The widest results: a range of ten digits and an exponent.
    const std::string wide = Localised("-7.999999E+09", separator);
    const std::string description = "Risultato: massimo SPL meno rumore proprio";
    scenarios.push_back(
        {std::string("a wide result shows whole in a smaller font, then a short one at full size with '") + separator +
             "'",
         separator,
         {Type("MAXSPL", "1e9"), Type("SELFNOISE", "9e9"), Click("CalcGamma"), Shows("LabGamma", wide),
          Whole("LabGamma", true), Tooltip("LabGamma", description + "\n" + wide), Shows("LabSN", "-8999999906"), WholeAtAnySize("LabSN"),
          Type("MAXSPL", "130"), Type("SELFNOISE", "15"), Click("CalcGamma"), Shows("LabGamma", "115"),
          Whole("LabGamma", false), Tooltip("LabGamma", description), Whole("LabSN", false)}});
  }
  scenarios.push_back({"results stay black on their colour when the system's colours are dark",
                       ".",
                       {{Do::Dark}, Type("DBSens1", "-47"), Click("CalcolaSens"), Shows("MVSens1", "4.4668"),
                        Readable("MVSens1"), Readable("LabGamma"), Background("LabGamma", kLightYellow)}});
  scenarios.push_back({"descriptions are tooltips, a result's also when it shows a number that fits",
                       ".",
                       {TooltipHas("DBSens1", "fino a 0 dB"), TooltipHas("MVSens2", "fino a 1000 mV/Pa"),
                        TooltipHas("CalcGamma", "Calcola"), TooltipHas("Arrotonda2", "intero"),
                        TooltipHas("MVSens1", "Sensibilit"), Type("DBSens1", "-47"), Click("CalcolaSens"),
                        Tooltip("MVSens1", "Sensibilità convertita dai dB"), Type("DBSens1", "5"), Click("CalcolaSens"),
                        TooltipHas("MVSens1", "Sensibilit")}});
  return scenarios;
}

namespace {

std::string Describe(const Rect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height) + ")";
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

void CheckLayout(Driver& driver, std::vector<std::string>& faults) {
  const double scale = driver.Scale();
  const auto near = [scale](int actual, int at96) { return std::abs(actual - std::lround(at96 * scale)) <= 1; };
  const WindowFacts facts = driver.Facts();
  if (!near(facts.clientWidth, 541) || !near(facts.clientHeight, 353)) {
    faults.push_back("client area " + std::to_string(facts.clientWidth) + "x" + std::to_string(facts.clientHeight) +
                     " at scale " + std::to_string(scale));
  }
  const Rect frame1 = driver.Place("Frame1"), frame2 = driver.Place("Frame2");
  if (Overlap(frame1, frame2)) faults.push_back("the frames overlap");
  // Two corners of the layout, at 96 dpi: the first field and the last button.
  const std::pair<const char*, Rect> anchors[] = {{"DBSens1", {14, 50, 105, 33}}, {"CalcGamma", {280, 230, 107, 35}}};
  for (const auto& [name, at96] : anchors) {
    const Rect place = driver.Place(name);
    if (!near(place.left, at96.left) || !near(place.top, at96.top) || !near(place.width, at96.width) ||
        !near(place.height, at96.height)) {
      faults.push_back(std::string(name) + " at " + Describe(place) + ", not " + Describe(at96) + " x " +
                       std::to_string(scale));
    }
  }
  for (const auto& [name, frame] : kControlsInFrames) {
    const Rect place = driver.Place(name);
    if (!Inside(place, driver.Place(frame))) faults.push_back(std::string(name) + " leaves " + frame);
    for (const auto& [other, otherFrame] : kControlsInFrames) {
      if (std::string(name) < other && Overlap(place, driver.Place(other))) {
        faults.push_back(std::string(name) + " overlaps " + other);
      }
    }
  }
  for (const std::string& name : driver.CutOffCaptions()) faults.push_back("caption cut off: " + name);
}

// What is read must be what is seen: each frame in turn, from the top and
// left, then what it holds: row by row from the top, and in a row (controls
// side by side, their heights overlapping) from the left.
void CheckReadingOrder(Driver& driver, std::vector<std::string>& faults) {
  struct Seen {
    std::string name, frameName;
    Rect frame, place;
  };
  std::vector<Seen> seen;
  for (const auto& [name, frame] : kControlsInFrames) {
    seen.push_back({name, frame, driver.Place(frame), driver.Place(name)});
  }
  std::stable_sort(seen.begin(), seen.end(), [](const Seen& a, const Seen& b) {
    if (a.frame.top != b.frame.top || a.frame.left != b.frame.left) {
      return std::make_pair(a.frame.top, a.frame.left) < std::make_pair(b.frame.top, b.frame.left);
    }
    const bool sameRow = a.place.top < b.place.top + b.place.height && b.place.top < a.place.top + a.place.height;
    return sameRow ? a.place.left < b.place.left : a.place.top < b.place.top;
  });
  // Each frame before what it holds.
  std::string expected, read;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (i == 0 || seen[i].frameName != seen[i - 1].frameName) expected += " " + seen[i].frameName;
    expected += " " + seen[i].name;
  }
  for (const std::string& name : driver.ReadingOrder()) {
    const auto named = [&name](const auto& control) { return name == control.first || name == control.second; };
    if (std::any_of(std::begin(kControlsInFrames), std::end(kControlsInFrames), named)) read += " " + name;
  }
  if (read != expected) faults.push_back("read as" + read + "\n   not" + expected);
}

void CheckWindow(Driver& driver, std::vector<std::string>& faults) {
  const WindowFacts facts = driver.Facts();
  if (facts.title.rfind("Velsona - ", 0) != 0 || facts.title.size() <= 12) {
    faults.push_back("title \"" + facts.title + "\"");
  }
  if (facts.resizable) faults.push_back("the window can be resized");
  if (facts.maximisable) faults.push_back("the window can be maximised");
  if (!facts.hasIcon) faults.push_back("the window has no icon");
  // Within the frame's border, which may sit on either side.
  if (std::abs(facts.offCentreX) > 2 || std::abs(facts.offCentreY) > 16) {
    faults.push_back("off centre by " + std::to_string(facts.offCentreX) + "," + std::to_string(facts.offCentreY));
  }
}

}  // namespace

std::vector<std::string> Play(Driver& driver, const Scenario& scenario) {
  std::vector<std::string> faults;
  driver.Open(scenario.separator);
  for (std::size_t index = 0; index < scenario.steps.size(); ++index) {
    const Step& step = scenario.steps[index];
    const std::size_t number = index + 1;
    const std::string where = "step " + std::to_string(number) + ": ";
    const std::size_t before = faults.size();
    switch (step.what) {
      case Do::Type: driver.Type(step.control, step.text); break;
      case Do::Paste: driver.Paste(step.control, step.text); break;
      case Do::Click: driver.Click(step.control); break;
      case Do::Press: driver.Press(step.key); break;
      case Do::SetSeparator: driver.SetSeparator(step.text); break;
      case Do::Shows: {
        const std::string shown = driver.Text(step.control);
        if (shown != step.text) {
          faults.push_back(std::string(step.control) + " shows \"" + shown + "\", not \"" + step.text + "\"");
        }
        break;
      }
      case Do::Ticked:
        if (driver.Ticked(step.control) != (step.text == "1")) {
          faults.push_back(std::string(step.control) + (step.text == "1" ? " is clear" : " is ticked"));
        }
        break;
      case Do::FocusIn:
      case Do::FocusRound: {
        const std::string focused = driver.Focused();
        const bool inside = step.what == Do::FocusIn || driver.KeepsTabInside();
        if (focused != (inside ? step.control : "")) {
          faults.push_back("focus in \"" + focused + "\", not " + (inside ? step.control : "out of the window"));
        }
        break;
      }
      case Do::Warned: {
        const std::optional<Warning> warning = driver.TakeWarning();
        if (!warning) {
          faults.push_back("no warning shown");
        } else {
          if (warning->title != "Velsona") faults.push_back("warning titled \"" + warning->title + "\"");
          if (warning->text.empty()) faults.push_back("warning with no text");
          if (warning->text.find(step.text) == std::string::npos) {
            faults.push_back("warning \"" + warning->text + "\" without \"" + step.text + "\"");
          }
          if (!warning->warningIcon) faults.push_back("warning without the warning sign");
          if (!warning->ownedByWindow) faults.push_back("warning not modal to the window");
        }
        break;
      }
      case Do::Background: {
        const Rgb colour = driver.Background(step.control);
        if (!(colour == step.colour)) {
          faults.push_back(std::string(step.control) + " coloured " + std::to_string(colour.red) + "," +
                           std::to_string(colour.green) + "," + std::to_string(colour.blue));
        }
        break;
      }
      case Do::Whole: {
        const FieldLook look = driver.Look(step.control);
        const bool smaller = step.text == "smaller";
        if (!look.whole) faults.push_back(std::string(step.control) + " does not show all of its text");
        if (!look.bold) faults.push_back(std::string(step.control) + " not bold");
        if (step.text != "any" &&
            (smaller ? look.points >= kResultPoints - 0.2 : std::abs(look.points - kResultPoints) > 0.3)) {
          faults.push_back(std::string(step.control) + " in " + std::to_string(look.points) + " pt, not " +
                           (smaller ? "smaller" : "its own size"));
        }
        break;
      }
      case Do::Readable: {
        const FieldLook look = driver.Look(step.control);
        const auto dark = [](const Rgb& c) { return c.red < 64 && c.green < 64 && c.blue < 64; };
        if (!(look.ink == Rgb{0, 0, 0})) faults.push_back(std::string(step.control) + "'s text is not black");
        if (!dark(look.border)) {
          faults.push_back(std::string(step.control) + "'s border is " + std::to_string(look.border.red) + "," +
                           std::to_string(look.border.green) + "," + std::to_string(look.border.blue));
        }
        break;
      }
      case Do::Tooltip:
      case Do::TooltipHas: {
        const std::string tip = driver.Tooltip(step.control);
        if (step.what == Do::Tooltip ? tip != step.text : tip.find(step.text) == std::string::npos) {
          faults.push_back(std::string(step.control) + "'s tooltip \"" + tip + "\"");
        }
        break;
      }
      case Do::Dark: driver.UseDarkColours(); break;
      case Do::Announced: {
        const std::string told = driver.Announced();
        if (told != step.text) faults.push_back("a screen reader heard \"" + told + "\", not \"" + step.text + "\"");
        break;
      }
      case Do::Selects: {
        const std::string selected = driver.DoubleClickSelection(step.control);
        if (selected != step.text) {
          faults.push_back("a double-click on " + std::string(step.control) + " selects \"" + selected + "\"");
        }
        break;
      }
      case Do::Layout: CheckLayout(driver, faults); break;
      case Do::Reading: CheckReadingOrder(driver, faults); break;
      case Do::Window: CheckWindow(driver, faults); break;
    }
    // A warning that the next step does not expect should not have come.
    const bool expected = number < scenario.steps.size() && scenario.steps[number].what == Do::Warned;
    if (!expected) {
      if (const std::optional<Warning> unexpected = driver.TakeWarning()) {
        faults.push_back("unexpected warning: " + unexpected->text);
      }
    }
    for (std::size_t i = before; i < faults.size(); ++i) faults[i] = where + faults[i];
  }
  driver.Close();
  return faults;
}

}  // namespace velsona::window_tests
