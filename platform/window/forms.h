#pragma once

// The window half of the platform layer: a window of standard controls,
// laid out from a table in twips, whose texts the program reads and writes
// by control name and whose Click events it handles.
//
// This interface names no toolkit. It is built once (form.cpp) on a native
// window of one toolkit's (native_window.h; qt/, win32/, web/), which the
// build picks (VELSONA_WINDOW_BACKEND), and the code above it never asks
// which one it runs on.
//
// Misuse is a programming error, answered alike by every implementation: the
// program stops at once (abort) with a message naming the control on the
// standard error. It is a control table with a mistake in it (a name given
// twice, a control outside any frame or in one that is not a frame, two tab
// stops at one tab index, ...) when the Form is made, and a call naming a
// control that is not in the window or cannot do what is asked (SetText on a
// text box, Check on a button, OnClick on a caption, ...). No build needs
// C++ exceptions for it: the tests every build runs make the program's own
// window and play each of its handlers, so a shipped build never meets it.
// A window the system cannot make stops the program in the same way, and
// on Windows says so in a message box too.

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/number_format.h"

namespace velsona::platform {

enum class ControlKind { Frame, CaptionLabel, TextBox, ResultField, Button, CheckBox };
enum class Alignment { Left, Centre };
enum class CheckState { Clear, Ticked, Grey };

struct Colour {
  std::uint8_t red, green, blue;
};

// One control: its place and size in twips within its frame (a frame's own
// within the window's client area), what it shows and how it is reached.
struct ControlSpec {
  const char* name;  // also the widget's object name
  ControlKind kind;
  const char* frame;  // the parent frame's name; "" for a frame
  int left, top, width, height;
  const char* text;  // UTF-8; the fixed caption, or "" for fields
  double fontPoints;
  Alignment alignment = Alignment::Left;
  int maxLength = 0;  // text boxes: the most characters the user may enter
  std::optional<Colour> background;  // with one, text and border are black in any theme
  int tabIndex = 0;  // focusable controls take focus with Tab in this order
  const char* accessibleName = "";
  const char* accessibleDescription = "";  // also the control's tooltip
};

struct WindowSpec {
  const char* name;
  const char* title;
  int clientWidth, clientHeight;  // twips
  const char* fontFamily;         // every control's, bold
};

// 15 twips are one pixel at 96 dots per inch; each implementation scales
// pixels for denser screens.
inline int TwipsToPixels(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

// How the user's regional settings write numbers, read as they are now, so
// that a change to them takes effect at the next calculation.
NumberFormat CurrentNumberFormat();

// A top-level window built from a table of controls, with the program's
// icon. It owns every control for its whole life.
class Form {
 public:
  Form(const WindowSpec& window, const std::vector<ControlSpec>& controls);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // The text of a text box or result field, as UTF-8.
  std::string Text(std::string_view control) const;
  // Sets the text of a result field. The text always shows whole: wider
  // than the field, it is drawn in a smaller font until it fits, and the
  // field's tooltip then gives it in full below the field's description.
  // A screen reader is told of the change once the click handler that made
  // it returns, with every other change of that handler, in one utterance
  // (announcements.h); or sooner, when the handler opens a warning.
  void SetText(std::string_view control, std::string_view text);
  CheckState Check(std::string_view control) const;
  // Adds `handler` to those run when the user clicks the button or check
  // box (Space on either, Enter on a focused button), after its new state is
  // in place; never when code sets it. A control's handlers run in the order
  // they were added.
  void OnClick(std::string_view control, std::function<void()> handler);

  // Shows the window centred on the screen, the focus on the first tab stop.
  void Show();
  // A warning box over the window, modal to it only, opened without a
  // nested event loop: the calling handler returns at once.
  void Warn(std::string_view title, std::string_view message);

  // The toolkit's own window object, for tests and tools that inspect the
  // window: a QWidget* on Qt, an HWND on Win32. On the web the window is an
  // element of the page, out of this program's reach: there it is the
  // element's id, a const char* ("velsona").
  void* NativeWindow() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The application: its name, version and icon, and the event loop.
class Application {
 public:
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs the event loop until the last window closes; gives the exit code.
  int Run();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velsona::platform
