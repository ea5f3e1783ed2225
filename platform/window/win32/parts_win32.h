#pragma once

// The parts of the Win32 window by role, which window_win32.cpp puts
// together: drawing (drawing_win32.cpp), input (input_win32.cpp) and what
// screen readers get (accessibility_win32.cpp). Win32 only.

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

struct IAccPropServices;

namespace velsona::platform {

// GDI objects and icons owned by one handle each.
struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteGdiObject>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, DestroyIconHandle>;

// Drawing. The text and border of a field whose background is fixed.
inline constexpr COLORREF kFixedInk = RGB(0, 0, 0);
// Twips to pixels on a screen of `dpi` dots per inch (1440 twips an inch).
int Scale(int twips, UINT dpi);
// The window's font of `points` at `dpi`, bold.
UniqueFont MakeFont(const std::wstring& family, double points, UINT dpi);
// The width of `text` drawn in `font` on `hwnd`.
double TextWidth(HWND hwnd, HFONT font, std::string_view text);
// Gives the edit control `field` `font`, its margins following it; gives
// the width of its editing area.
int SetEditFont(HWND field, HFONT font, bool redraw);
// Draws the field a black border of its own around its `background`,
// readable in any colour scheme, its line of text in the middle.
void DrawOwnBorder(HWND field, COLORREF background);
// The window's icons for `dpi`, small and large, in `icons`.
void SetIcons(HWND window, UINT dpi, UniqueIcon (&icons)[2]);
// The one tooltip control of `window`, made once and sized for `dpi`; null
// where it cannot be had, which only costs the tips.
HWND Tooltips(HWND tooltips, HWND window, UINT dpi);
// Gives `control` the tooltip `text`, adding it to `tooltips` when `added` is false.
void SetTooltip(HWND tooltips, HWND window, HWND control, std::string_view text, bool added);

// Input. What a control hands its window: Tab (wParam 1 for Shift+Tab) in
// the control lParam, and a paste (the control wParam, its text lParam, a
// const std::wstring*).
inline constexpr UINT kTabKey = WM_APP + 2;
inline constexpr UINT kPasted = WM_APP + 3;
// Makes `control`, which takes the focus, hand `window` its Tab keys and pastes.
void ListenToKeys(HWND control, HWND window);

// Accessibility: what screen readers get beside what Windows gives them of
// the controls. The service that names controls to them; none without COM
// on the thread or without the service, where the window works all the same
// with the names Windows guesses.
IAccPropServices* AnnotationService();
// The control's name and description, in place of what Windows guesses (a
// text box is otherwise named after the caption before it, and the three
// buttons all "Calcola"); an empty one keeps the guess. Forget takes them
// back: they outlive the control otherwise.
void Annotate(IAccPropServices* service, HWND control, std::string_view name, std::string_view description);
void Forget(IAccPropServices* service, HWND control);
// Speaks `utterance`: a UI Automation notification raised on `window`,
// where Windows has them (10 version 1709 on); elsewhere nothing is said.
void Notify(HWND window, std::string_view utterance);

}  // namespace velsona::platform
