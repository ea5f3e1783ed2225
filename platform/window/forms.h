#pragma once

// The window half of the platform layer: a window of standard controls,
// laid out from a table in twips, whose texts the program reads and writes
// by control name and whose Click events it handles. The only code that
// touches Qt; this header keeps Qt out of the code that includes it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/numeric/decimal.h"

class QWidget;

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
  std::optional<Colour> background;
  int tabIndex = 0;  // focusable controls take focus with Tab in this order
  const char* accessibleName = "";
  const char* accessibleDescription = "";
};

struct WindowSpec {
  const char* name;
  const char* title;
  int clientWidth, clientHeight;  // twips
  const char* fontFamily;         // every control's, bold
  const char* iconPath;           // a Qt resource path
};

// 15 twips are one pixel at 96 dots per inch; Qt scales pixels for denser screens.
int TwipsToPixels(int twips);

// A top-level window built from a table of controls. It owns every control
// for its whole life.
class Form {
 public:
  Form(const WindowSpec& window, const std::vector<ControlSpec>& controls);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // The text of a text box or result field, as UTF-8.
  std::string Text(std::string_view control) const;
  // Sets the text of a result field; assistive technology is told of the change.
  void SetText(std::string_view control, std::string_view text);
  CheckState Check(std::string_view control) const;
  // Runs `handler` when the user clicks the button or check box (for a check
  // box also Space), after its new state is in place; never when code sets it.
  void OnClick(std::string_view control, std::function<void()> handler);

  // Shows the window centred on the screen, the focus on the first tab stop.
  void Show();
  // A warning box over the window, modal to it only, opened without a
  // nested event loop: the calling handler returns at once.
  void Warn(std::string_view title, std::string_view message);

  QWidget* Widget() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The Qt application: name, version and organisation, the application icon,
// the regional settings read once, and the event loop.
class Application {
 public:
  Application(int& argc, char** argv, const char* iconPath);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  const NumberFormat& Regional() const { return regional_; }
  // Runs the event loop until the last window closes; gives the exit code.
  int Run();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  NumberFormat regional_;
};

}  // namespace velsona::platform
