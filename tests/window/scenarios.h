#pragma once

// Scenarios of the window, written once as data and played on each system's
// window by a small driver of its own: keys typed one by one, clicks, the
// texts shown, the warnings told, what a screen reader is told, the Tab
// order, colours and places.
// No toolkit here: the drivers (Win32, Qt) hold all of that.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velsona::window_tests {

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

// A control's place in the window's client area, in the window's own pixels.
struct Rect {
  int left, top, width, height;
};

struct Warning {
  std::string title, text;
  bool warningIcon = false;  // the system's warning sign
  bool ownedByWindow = false;  // modal to the program's window
};

struct WindowFacts {
  std::string title;
  int clientWidth = 0, clientHeight = 0;
  bool resizable = true, maximisable = true, hasIcon = false;
  int offCentreX = 0, offCentreY = 0;  // of the client area from the screen's work area
};

enum class Key { Tab, ShiftTab, Enter, Space };

// How a field draws its text.
struct FieldLook {
  bool whole = false;  // all of the text inside the field, none scrolled away
  bool bold = false;
  double points = 0;   // the size of the font it is drawn in
  Rgb ink{}, border{};  // the text's colour; a pixel of the border
};

// What a driver does to one window of the program, as a user would.
class Driver {
 public:
  virtual ~Driver() = default;
  // Opens a fresh window whose regional settings write numbers with
  // `separator`, shown and active.
  virtual void Open(const std::string& separator) = 0;
  virtual void Close() = 0;
  // Changes the regional settings' decimal separator while the window is open.
  virtual void SetSeparator(const std::string& separator) = 0;
  // Puts the focus in `control`, selects its text and types `text` key by
  // key, each key going where the focus is.
  virtual void Type(const char* control, const std::string& text) = 0;
  // Puts `text` on the system's clipboard, the focus in `control`, selects
  // its text and pastes with Ctrl+V.
  virtual void Paste(const char* control, const std::string& text) = 0;
  // A click of the mouse on the button or check box.
  virtual void Click(const char* control) = 0;
  // One key pressed and released where the focus is.
  virtual void Press(Key key) = 0;
  virtual std::string Text(const char* control) = 0;
  virtual bool Ticked(const char* control) = 0;
  // The name of the control with the keyboard focus; "" if none of ours.
  virtual std::string Focused() = 0;
  // Whether Tab comes round within the window at its ends, as in a dialog,
  // rather than going on out of it, as in a page.
  virtual bool KeepsTabInside() = 0;
  // The names of what the window gives assistive technology, in the order
  // a screen reader meets them.
  virtual std::vector<std::string> ReadingOrder() = 0;
  // Double-clicks the middle of the result field; gives the text then selected.
  virtual std::string DoubleClickSelection(const char* control) = 0;
  // The warning shown since the last call, its text as it is shown (and
  // read out), dismissed; none if none was.
  virtual std::optional<Warning> TakeWarning() = 0;
  // The colour of a pixel near the left edge of the control, inside it.
  virtual Rgb Background(const char* control) = 0;
  virtual Rect Place(const char* control) = 0;
  // The window's pixels per pixel at 96 dots per inch.
  virtual double Scale() = 0;
  virtual WindowFacts Facts() = 0;
  // The controls whose caption does not fit inside them.
  virtual std::vector<std::string> CutOffCaptions() = 0;
  virtual FieldLook Look(const char* control) = 0;
  virtual std::string Tooltip(const char* control) = 0;
  // The system's colours light on dark from now until the window closes.
  virtual void UseDarkColours() = 0;
  // The last utterance the window gave a screen reader since the last call
  // (through the toolkit's channel, as the reader gets it); "" if none.
  virtual std::string Announced() = 0;
};

enum class Do {
  Type,
  Paste,
  Click,
  Press,
  SetSeparator,
  Shows,       // control shows text
  Ticked,      // check box ticked ("1") or clear ("0")
  FocusIn,     // control has the focus
  FocusRound,  // control has the focus in a window that keeps Tab inside; none of the window's has it in a page
  Warned,      // a warning was shown (and is dismissed), its text containing text
  Background,  // colour
  Layout,      // every control in its frame, none overlapping, window size, captions fit
  Reading,     // a screen reader reads each frame, then what it holds, row by row, left to right in a row
  Window,      // title, fixed size, icon, centred
  Whole,       // control shows all its text, bold, in a smaller font ("smaller"), its own ("own") or "any"
  Readable,    // control draws its text and border black
  Tooltip,     // control's tooltip is text
  TooltipHas,  // control's tooltip contains text
  Dark,        // the system's colours turn dark
  Announced,   // a screen reader was last told text since the last look ("" for nothing)
  Selects,     // a double-click on control selects text
};

struct Step {
  Step(Do what_, const char* control_ = "", std::string text_ = "", Key key_ = Key::Tab, Rgb colour_ = {0, 0, 0})
      : what(what_), control(control_), text(std::move(text_)), key(key_), colour(colour_) {}
  Do what;
  const char* control;
  std::string text;
  Key key;
  Rgb colour;
};

struct Scenario {
  std::string name;
  std::string separator;  // of the regional settings when the window opens
  std::vector<Step> steps;
};

std::vector<Scenario> WindowScenarios();

// Plays one scenario on a fresh window; gives what went wrong, empty when
// all went as the scenario says. A warning that no step expects is a fault.
std::vector<std::string> Play(Driver& driver, const Scenario& scenario);

}  // namespace velsona::window_tests
