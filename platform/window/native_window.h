#pragma once

// The seam between the shared window (form.cpp) and a toolkit's window
// (qt/, win32/, web/), as between a toolkit-free core and its backends.
// The shared window decides everything a window does: what a click runs,
// what a result shows and says, where Tab goes, what a paste becomes, what
// the user is told and when. A toolkit's window only makes its controls and
// carries out native operations on them, and reports what the user does.
// Controls are named by their index in the window's control table.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/window/forms.h"

namespace velsona::platform {

// What the user does in a toolkit's window, reported to the shared window.
class NativeEvents {
 public:
  // The button or check box `control` was clicked (or pressed with a key),
  // its new state in place.
  virtual void Clicked(std::size_t control) = 0;
  // Tab (Shift+Tab with `backwards`) was pressed in `control` (none: where
  // the focus is on nothing of the window's). True when the shared window
  // moved the focus; false when the key is the toolkit's to carry on with,
  // out of the window.
  virtual bool Tabbed(std::optional<std::size_t> from, bool backwards) = 0;
  // `text` (UTF-8) pasted into text box `control` over its selection
  // [`start`, `end`), in UTF-16 units: the toolkit inserts nothing itself.
  // True when the text went in.
  virtual bool Pasted(std::size_t control, std::string_view text, std::size_t start, std::size_t end) = 0;
  // A key typed into text box `control` was held back: the box is full.
  virtual void KeyRefused(std::size_t control) = 0;
  // The text of text box `control` changed.
  virtual void Edited(std::size_t control) = 0;
  // The warning that was open has closed.
  virtual void WarningClosed() = 0;
  // The window was drawn anew at another screen density.
  virtual void Rescaled() = 0;
  // The window is closing: nothing more is delivered to it.
  virtual void Closed() = 0;

 protected:
  ~NativeEvents() = default;
};

// A toolkit's window of standard controls: native operations only.
class NativeWindow {
 public:
  NativeWindow() = default;
  virtual ~NativeWindow() = default;
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;

  // Makes control `index` as `spec` describes it (kind, place within its
  // frame in twips, caption, font, colours, limit), inside `frame`, or in
  // the client area for a frame. Controls are made in the order a screen
  // reader reads them, each frame before what it holds.
  virtual void Make(std::size_t index, const ControlSpec& spec, std::optional<std::size_t> frame) = 0;
  // What assistive technology says of the control: its name and description.
  virtual void SetAccessible(std::size_t index, std::string_view name, std::string_view description) = 0;
  virtual void SetTooltip(std::size_t index, std::string_view text) = 0;

  // The text of a text box or result field (UTF-8).
  virtual std::string Text(std::size_t index) const = 0;
  // Sets the text of a result field.
  virtual void SetText(std::size_t index, std::string_view text) = 0;
  // Replaces the selection [`start`, `end`) (UTF-16 units) of a text box
  // with `text`, as an edit the user can undo, the caret after it.
  virtual void Insert(std::size_t index, std::size_t start, std::size_t end, std::string_view text) = 0;
  virtual CheckState Check(std::size_t index) const = 0;

  // The room a result field has for its text, and the width of `text` in
  // the field's font at `points`, in one unit of the toolkit's.
  virtual double Room(std::size_t index) = 0;
  virtual double TextWidth(std::size_t index, std::string_view text, double points) = 0;
  // Draws the field's text in its font at `points`.
  virtual void SetFontPoints(std::size_t index, double points) = 0;

  // Moves the focus to `index` as Tab does (a text box's text selected).
  virtual void Focus(std::size_t index) = 0;
  // Shows the window centred on the screen, the focus in `first`.
  virtual void Show(std::optional<std::size_t> first) = 0;
  // Opens a warning over the window, modal to it, and returns at once; its
  // closing is reported (NativeEvents::WarningClosed).
  virtual void OpenWarning(std::string_view title, std::string_view message) = 0;
  // Speaks `utterance` through the screen reader, if one listens.
  virtual void Say(std::string_view utterance) = 0;
  // The system's sound for a key it cannot take, where it has one.
  virtual void Beep() = 0;
  // Whether Tab at the window's last stop (Shift+Tab at its first) goes on
  // out of it, as in a page, instead of coming round, as in a dialog.
  virtual bool TabLeavesAtEnds() const = 0;

  // The toolkit's own window object (Form::NativeWindow).
  virtual void* Handle() const = 0;
};

// The toolkit's window for `window`, which reports to `events`; the build's
// toolkit defines it. A window the system cannot make stops the program
// (StopOnFailure).
std::unique_ptr<NativeWindow> MakeNativeWindow(const WindowSpec& window, NativeEvents& events);

}  // namespace velsona::platform
