#pragma once

// The rules of a window that belong to no toolkit, kept once for every
// implementation of forms.h: which controls take Tab, the order in which
// controls are made, read out and reached with Tab, finding a control by
// name for an operation it supports, how small a result's font gets to show
// its text whole, what a result's name and tooltip say, what a paste into a
// text box comes to, what a full field tells, and the icon sizes the program
// ships. The shared window (form.cpp) applies them; a toolkit's window only
// delivers what they decide.

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/forms.h"

namespace velsona::platform {

// Controls the user reaches with Tab: the ones that take input.
bool TakesTabFocus(ControlKind kind);

// What a call of Form asks of the control it names.
enum class Use {
  ReadText,   // Text: a text box or result field
  WriteText,  // SetText: a result field
  ReadCheck,  // Check: a check box
  Click,      // OnClick: a button or check box
};

// Misuse of a window is a programming error: the program stops at once
// (abort), with `what` on the standard error, alike in every build. The
// tests every build runs play every handler of the program's own table.
[[noreturn]] void StopOnMisuse(const std::string& what);
// A window or control the system cannot make: the program stops at once
// (abort), with `what` on the standard error. No build throws for it.
[[noreturn]] void StopOnFailure(const std::string& what);

// A window's control table, checked when it is made: a mistake in it stops
// the program naming the control. It keeps its own copy of every text, so
// the caller's table may go once it is made.
class ControlTable {
 public:
  explicit ControlTable(const std::vector<ControlSpec>& controls);
  ControlTable(const ControlTable&) = delete;
  ControlTable& operator=(const ControlTable&) = delete;

  // The first mistake in `controls`, as a sentence naming the control; none
  // when the table is sound.
  static std::optional<std::string> FirstMistake(const std::vector<ControlSpec>& controls);

  std::size_t size() const { return entries_.size(); }
  // The control at `index`, in the table's order.
  const ControlSpec& operator[](std::size_t index) const { return entries_[index].spec; }

  // The index of the control `name` for `use`; an unknown name, or a control
  // of a kind that does not support `use`, stops the program (StopOnMisuse).
  std::size_t Find(std::string_view name, Use use) const;
  // Why `name` cannot serve `use`; none when it can.
  std::optional<std::string> Misuse(std::string_view name, Use use) const;
  // The index of the frame around control `index`; none for a frame.
  std::optional<std::size_t> FrameOf(std::size_t index) const;

  // The order a screen reader reads the window in, which is the order of the
  // table: each frame, then the controls inside it. The table lists a
  // panel's controls as the eye meets them, row by row from the top and
  // left to right in a row, so a reader never jumps about the window.
  // Made in this order, every control finds its frame.
  std::vector<std::size_t> ReadingOrder() const;
  // The controls that take Tab, in the order Tab reaches them; the first
  // has the focus when the window opens.
  std::vector<std::size_t> TabOrder() const;
  // The tab stop Tab moves the focus to from control `from` (Shift+Tab with
  // `backwards`): coming round at either end where `round`, otherwise none
  // beyond them. From a control that is no tab stop (a result field the
  // user clicked, say), the first stop after its tab index, or before it
  // going backwards; from none, the first or last.
  std::optional<std::size_t> NextTabStop(std::optional<std::size_t> from, bool backwards, bool round = true) const;

 private:
  struct Entry {
    ControlSpec spec;  // its texts point at the strings below
    std::string name, frame, text, accessibleName, accessibleDescription;
  };
  std::vector<Entry> entries_;
  std::map<std::string_view, std::size_t, std::less<>> byName_;
};

// The font size in which a text `width(size)` wide fits in `room`: `own`
// when it fits in that, otherwise `own` less `step` at a time until it fits,
// but never below `smallest`; a `step` that is not positive is misuse. Any
// unit of size will do (points, pixels), as long as `width` measures in the
// unit of `room`.
double FittingFontSize(double own, double room, double smallest, double step,
                       const std::function<double(double size)>& width);

// The smallest font, in points, a result is drawn in to show it whole, and
// the step by which its font shrinks towards it.
inline constexpr double kSmallestResultPoints = 4.0;
inline constexpr double kResultPointsStep = 0.25;

// A result field's tooltip: its description, and below it the full text
// when the text is drawn smaller than the field's own font (or the text
// alone when the field has no description).
std::string ResultTooltip(std::string_view description, std::string_view text, bool drawnSmaller);

// What a paste into a text box comes to. Positions and lengths count
// UTF-16 units, as the windows' text boxes count them.
struct PasteOutcome {
  enum class Kind {
    Inserted,  // `inserted` replaces the selection, giving `text`
    Nothing,   // nothing was pasted: the field stays as it is
    Refused,   // it does not fit: the field stays as it is, and `message` tells the user
  };
  Kind kind = Kind::Nothing;
  std::string text;      // the field's text after the paste
  std::size_t caret = 0;  // the caret, after the pasted text
  std::string inserted;  // the pasted text without the blanks around it, if it is not all blanks
  std::string message;   // why not, in Italian, naming the field
};

// Pastes `pasted` over the selection [`selectionStart`, `selectionEnd`) (in
// either order) of a text box holding `text`, whose limit is `maxLength`
// (0: none) and whose name is `field`. The blanks around the pasted text,
// the ones a number may have around it, are dropped first (blanks alone are
// kept, for the calculation to tell of); what is left goes in whole or not
// at all, never cut to the limit, so a value copied from a spreadsheet cell
// or a result fits, and a longer one cannot turn into another number.
// Texts are UTF-8.
PasteOutcome Paste(std::string_view text, std::size_t selectionStart, std::size_t selectionEnd,
                   std::string_view pasted, int maxLength, std::string_view field);

// What a screen reader is told when the text box `field`, holding its
// `maxLength` characters already, holds back a typed key.
std::string FullFieldMessage(std::string_view field, int maxLength);

// The title of the warnings the window itself gives.
inline constexpr char kWarningTitle[] = "Velsona";

// The square sizes, in pixels, of the program's icon images, smallest first
// (given by the build, which ships those images).
inline constexpr std::array kIconSizes = {VELSONA_ICON_SIZES};

}  // namespace velsona::platform
