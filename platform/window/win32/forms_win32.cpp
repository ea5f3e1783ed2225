#include "platform/window/forms.h"

// The window on the Win32 API: every control a standard system control, laid
// out in pixels of the monitor's density and redrawn when the window moves to
// a monitor of another density.

#include <windows.h>

#include <algorithm>
#include <commctrl.h>
#include <oleauto.h>
#include <unknwn.h>
#include <ole2.h>
// The accessibility property GUIDs, defined here rather than taken from a library.
#include <initguid.h>
#include <oleacc.h>
#include <deque>
#include <map>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "platform/window/announcements.h"
#include "platform/window/form_rules.h"
#include "platform/window/win32/utf16.h"

namespace velsona::platform {
namespace {

constexpr wchar_t kWindowClass[] = L"VelsonaForm";
// Each control carries its name in this window property, so that tools and
// tests that inspect the window can find it by the name the program uses.
constexpr wchar_t kNameProperty[] = L"VelsonaControlName";
// The executable's icon resource, which is also the window's icon.
constexpr WORD kIconResource = 1;
// A warning waits in the queue until the handler that raised it has returned.
constexpr UINT kShowWarning = WM_APP + 1;
// Control identifiers start above the dialog manager's IDOK and IDCANCEL;
// each control's is this plus its index in the table.
constexpr int kFirstControlId = 100;
// The widest a tooltip grows before it wraps, in twips.
constexpr int kTooltipWidth = 6000;
// The text and border of a field whose background is fixed.
constexpr COLORREF kFixedInk = RGB(0, 0, 0);
// The properties the window gives screen readers for each of its controls.
const MSAAPROPID kSpokenProperties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};

// Twips to pixels on a screen of `dpi` dots per inch (1440 twips an inch).
int Scale(int twips, UINT dpi) { return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0)); }

// GDI objects and icons owned by one handle each, freed whatever way their
// owner goes (also when a Form cannot be made).
struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteGdiObject>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, DeleteGdiObject>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, DestroyIconHandle>;

// The system class and styles of each kind of control.
std::pair<const wchar_t*, DWORD> ClassAndStyle(const ControlSpec& spec) {
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (spec.kind) {
    case ControlKind::Frame:
      return {L"BUTTON", child | BS_GROUPBOX};
    case ControlKind::CaptionLabel:
      return {L"STATIC", child | SS_NOPREFIX | (spec.alignment == Alignment::Centre ? SS_CENTER : SS_LEFT)};
    case ControlKind::TextBox:
      return {L"EDIT", child | WS_TABSTOP | WS_GROUP | ES_CENTER | ES_AUTOHSCROLL};
    case ControlKind::ResultField:
      // Read-only: the user can select and copy the text but not change it,
      // and it stays out of the Tab order. With a fixed background, its
      // border is its own (FixedBorder).
      return {L"EDIT", child | (spec.background ? 0 : WS_BORDER) | ES_READONLY | ES_CENTER | ES_AUTOHSCROLL};
    case ControlKind::Button:
      return {L"BUTTON", child | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON};
    case ControlKind::CheckBox:
      return {L"BUTTON", child | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX};
  }
  throw std::logic_error("unknown control kind");
}

// A font's height in pixels at `dpi`.
int PointsToPixels(double points, UINT dpi) { return static_cast<int>(std::lround(points * dpi / 72.0)); }

// The window's font of `points` at `dpi`, bold; `pixels`, when given, is its
// height instead.
UniqueFont MakeFont(const std::wstring& family, double points, UINT dpi, int pixels = 0) {
  // Fractional sizes such as 8.25 pt round to the nearest pixel height.
  const int height = pixels > 0 ? pixels : PointsToPixels(points, dpi);
  return UniqueFont(CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, family.c_str()));
}

// The width of `text` drawn in `font` on `hwnd`.
int TextWidth(HWND hwnd, HFONT font, const std::wstring& text) {
  const HDC dc = GetDC(hwnd);
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return size.cx;
}

// The width of a thin border on `hwnd`'s monitor: a pixel at 96 dpi.
int BorderWidth(HWND hwnd) { return std::max(1, static_cast<int>(std::lround(GetDpiForWindow(hwnd) / 96.0))); }

// The height of a line of text in the control's font; 0 before it has one.
int LineHeight(HWND hwnd) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  if (font == nullptr) return 0;
  const HDC dc = GetDC(hwnd);
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return metrics.tmHeight;
}

// A field with a fixed background (the brush `data`) has a black border of
// its own instead of the system's thin border, which takes the system's frame
// colour, light in a dark scheme. Its client area is the band of its line of
// text, in the middle: a one-line edit draws its text at the top of it.
LRESULT CALLBACK FixedBorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  switch (message) {
    case WM_NCCALCSIZE: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      RECT* client = wParam != FALSE ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                     : reinterpret_cast<RECT*>(lParam);
      const int width = BorderWidth(hwnd);
      InflateRect(client, -width, -width);
      client->top += std::max(0, static_cast<int>(client->bottom - client->top) - LineHeight(hwnd)) / 2;
      return result;
    }
    case WM_NCPAINT: {
      RECT outer, client;
      GetWindowRect(hwnd, &outer);
      GetClientRect(hwnd, &client);
      MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
      OffsetRect(&client, -outer.left, -outer.top);
      OffsetRect(&outer, -outer.left, -outer.top);
      const HDC dc = GetWindowDC(hwnd);
      // The field's colour around its client area, which paints itself.
      ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
      FillRect(dc, &outer, reinterpret_cast<HBRUSH>(data));
      const HBRUSH ink = CreateSolidBrush(kFixedInk);
      for (int i = BorderWidth(hwnd); i > 0; --i) {
        FrameRect(dc, &outer, ink);
        InflateRect(&outer, -1, -1);
      }
      DeleteObject(ink);
      ReleaseDC(hwnd, dc);
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, FixedBorder, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// A function of a system library (loaded once, kept for the program's life):
// null where this Windows lacks the library or the function. Only the system
// folder is searched, never the program's or the current one.
template <typename Function>
Function SystemFunction(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Speaks `utterance` through a screen reader: a UI Automation notification
// raised on the window. Windows has it since 10 version 1709; before that,
// or without UI Automation, nothing is said and the window works as ever.
void Notify(HWND window, const std::wstring& utterance) {
  using HostProvider = HRESULT(WINAPI*)(HWND, IUnknown**);
  using RaiseNotification = HRESULT(WINAPI*)(IUnknown*, int kind, int processing, BSTR text, BSTR activity);
  using AllocString = BSTR(WINAPI*)(const OLECHAR*);
  using FreeString = void(WINAPI*)(BSTR);
  constexpr int kActionCompleted = 2;  // NotificationKind
  constexpr int kMostRecent = 3;       // NotificationProcessing: a newer result replaces one not yet spoken
  static const HMODULE automation = LoadLibraryExW(L"UIAutomationCore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  static const HMODULE automationStrings = LoadLibraryExW(L"OleAut32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  const auto hostProvider = SystemFunction<HostProvider>(automation, "UiaHostProviderFromHwnd");
  const auto raise = SystemFunction<RaiseNotification>(automation, "UiaRaiseNotificationEvent");
  const auto allocString = SystemFunction<AllocString>(automationStrings, "SysAllocString");
  const auto freeString = SystemFunction<FreeString>(automationStrings, "SysFreeString");
  if (hostProvider == nullptr || raise == nullptr || allocString == nullptr || freeString == nullptr) return;
  IUnknown* provider = nullptr;
  if (FAILED(hostProvider(window, &provider)) || provider == nullptr) return;
  const BSTR text = allocString(utterance.c_str());
  const BSTR activity = allocString(L"VelsonaResults");
  if (text != nullptr && activity != nullptr) raise(provider, kActionCompleted, kMostRecent, text, activity);
  freeString(text);
  freeString(activity);
  provider->Release();
}

// A control that takes the focus takes Tab and Shift+Tab itself, before the
// dialog manager can, and hands them to its window (`data`) as kTabKey: the
// window's controls are siblings in the order a screen reader reads them,
// which is not the order of the tab indexes the dialog manager would follow.
constexpr UINT kTabKey = WM_APP + 2;
LRESULT CALLBACK TabInTableOrder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  switch (message) {
    case WM_GETDLGCODE: {
      const auto* asked = reinterpret_cast<const MSG*>(lParam);
      const LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
      if (asked != nullptr && asked->wParam == VK_TAB && (asked->message == WM_KEYDOWN || asked->message == WM_CHAR)) {
        return code | DLGC_WANTTAB;
      }
      return code;
    }
    case WM_KEYDOWN:
      if (wParam != VK_TAB) break;
      SendMessageW(reinterpret_cast<HWND>(data), kTabKey, GetKeyState(VK_SHIFT) < 0 ? 1 : 0,
                   reinterpret_cast<LPARAM>(hwnd));
      return 0;
    case WM_CHAR:
      if (wParam == L'\t') return 0;  // the key's character, never typed
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, TabInTableOrder, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

NumberFormat CurrentNumberFormat() {
  NumberFormat format;
  wchar_t separator[8] = {};
  // Read afresh each time: a change in the regional settings counts at once.
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1) {
    format.decimalSeparator = Utf8(separator);
  }
  return format;
}

struct Form::Impl {
  struct Control {
    const ControlSpec* spec = nullptr;  // in the table
    HWND hwnd = nullptr;
    UniqueBrush background;
    UniqueFont fitted;  // a result field's smaller font, while its text needs one
    std::wstring description;  // the tooltip, and a result field's while it is blank
    std::vector<std::function<void()>> onClick;  // in the order added
  };

  explicit Impl(const std::vector<ControlSpec>& specs) : table(specs), controls(table.size()) {
    for (std::size_t i = 0; i < table.size(); ++i) controls[i].spec = &table[i];
  }
  // The window goes before the fonts and brushes its controls draw with.
  ~Impl() {
    if (window != nullptr) {
      closedByProgram = true;
      DestroyWindow(window);
    }
    if (annotations != nullptr) annotations->Release();
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  ControlTable table;
  std::vector<Control> controls;  // by index in the table
  std::map<double, UniqueFont> fonts;  // one per size, at the window's density
  UniqueIcon icons[2];  // small and large, at the window's density
  HWND window = nullptr;
  UINT dpi = USER_DEFAULT_SCREEN_DPI;
  int clientWidth = 0, clientHeight = 0;  // twips
  std::wstring fontFamily;
  HWND tooltips = nullptr;  // the controls' tooltips, all in one tooltip control
  IAccPropServices* annotations = nullptr;  // what names the controls to screen readers; none without it
  HWND focusBeforeDeactivation = nullptr;
  std::deque<std::pair<std::wstring, std::wstring>> warnings;
  bool closedByProgram = false;
  Announcements announcements;

  // Tells a screen reader what the result fields' changes so far come to.
  void Announce() {
    const std::string utterance = announcements.Take();
    if (!utterance.empty()) Notify(window, Wide(utterance));
  }

  // The control of ours that `hwnd` is, or null.
  Control* FindByHandle(HWND hwnd) {
    const int index = GetDlgCtrlID(hwnd) - kFirstControlId;
    if (index < 0 || static_cast<std::size_t>(index) >= controls.size()) return nullptr;
    Control& control = controls[static_cast<std::size_t>(index)];
    return control.hwnd == hwnd ? &control : nullptr;
  }

  Control& Find(std::string_view name, Use use) { return controls[table.Find(name, use)]; }

  void MakeFonts() {
    fonts.clear();
    for (const Control& control : controls) {
      const double points = control.spec->fontPoints;
      if (fonts.count(points) == 0) fonts[points] = MakeFont(fontFamily, points, dpi);
    }
  }

  // Gives a result field the font in which its whole text fits: its own when
  // it does, otherwise the same font a pixel smaller at a time until it does.
  // The room is the field's editing area, less a pixel to spare.
  void FitText(Control& control) {
    if (control.spec->kind != ControlKind::ResultField) return;
    const HWND hwnd = control.hwnd;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    // Measured with the field's own font in place, whose margins are the
    // widest: a text that fits in them fits in a smaller font's too.
    const HFONT own = fonts.at(control.spec->fontPoints).get();
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(own), FALSE);
    SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(EC_USEFONTINFO, EC_USEFONTINFO));
    RECT area;
    SendMessageW(hwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    // In whole pixels of height, the one size a font has on the screen.
    const int ownPixels = PointsToPixels(control.spec->fontPoints, dpi);
    const auto pixels = static_cast<int>(FittingFontSize(
        ownPixels, area.right - area.left - 2, PointsToPixels(kSmallestResultPoints, dpi), 1,
        [&](double size) {
          const int height = static_cast<int>(size);
          if (height == ownPixels) return static_cast<double>(TextWidth(hwnd, own, text));
          const UniqueFont font = MakeFont(fontFamily, 0, dpi, height);
          return static_cast<double>(TextWidth(hwnd, font.get(), text));
        }));
    // Made once more for the field to keep: a font is cheap, and only a wide
    // result needs one.
    UniqueFont font = pixels < ownPixels ? MakeFont(fontFamily, 0, dpi, pixels) : nullptr;
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font != nullptr ? font.get() : own), TRUE);
    // A new font resets the margins, which the editing area then follows.
    SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(EC_USEFONTINFO, EC_USEFONTINFO));
    SendMessageW(hwnd, EM_SETSEL, 0, 0);
    SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
    control.fitted = std::move(font);
    // The line of text moves to the middle of the field for the new font.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetTooltip(control, Wide(ResultTooltip(control.spec->accessibleDescription, Utf8(text), control.fitted != nullptr)));
  }

  void AddTooltip(Control& control) {
    if (tooltips == nullptr || control.description.empty()) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd);
    tool.lpszText = control.description.data();  // copied by the tooltip control
    SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  void SetTooltip(Control& control, std::wstring text) {
    if (tooltips == nullptr || control.description.empty()) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control.hwnd);
    tool.lpszText = text.data();
    SendMessageW(tooltips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  // Places every control and gives it its font, at the window's density.
  void Layout() {
    // The controls let go of the old fonts before they are deleted.
    const std::map<double, UniqueFont> old = std::move(fonts);
    MakeFonts();
    for (std::size_t i = 0; i < controls.size(); ++i) {
      Control& control = controls[i];
      const ControlSpec& spec = *control.spec;
      int left = Scale(spec.left, dpi);
      int top = Scale(spec.top, dpi);
      if (const std::optional<std::size_t> frame = table.FrameOf(i)) {
        left += Scale(table[*frame].left, dpi);
        top += Scale(table[*frame].top, dpi);
      }
      SetWindowPos(control.hwnd, nullptr, left, top, Scale(spec.width, dpi), Scale(spec.height, dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.at(spec.fontPoints).get()), TRUE);
      // Fitted again in the fonts of the new density.
      FitText(control);
    }
  }

  // The outer size of the window whose client area the table gives.
  SIZE OuterSize() const {
    RECT rect{0, 0, Scale(clientWidth, dpi), Scale(clientHeight, dpi)};
    AdjustWindowRectExForDpi(&rect, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
  }

  void SetIcons() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // Indexed by ICON_SMALL (0) and ICON_BIG (1).
    const int sizes[2] = {GetSystemMetricsForDpi(SM_CXSMICON, dpi), GetSystemMetricsForDpi(SM_CXICON, dpi)};
    for (const int which : {ICON_BIG, ICON_SMALL}) {
      // The image of the icon nearest the size, scaled if none is that size.
      UniqueIcon icon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                    sizes[which], sizes[which], LR_DEFAULTCOLOR)));
      if (icon == nullptr) continue;
      SendMessageW(window, WM_SETICON, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(icon.get()));
      icons[which] = std::move(icon);
    }
  }

  // Gives screen readers the control's name and description from the
  // table, in place of what Windows would guess (a text box is otherwise
  // named after the caption before it among its siblings, and the three
  // buttons all "Calcola"). A control the service refuses keeps the guess.
  void Annotate(const Control& control) {
    if (annotations == nullptr) return;
    const std::pair<MSAAPROPID, const char*> texts[] = {{PROPID_ACC_NAME, control.spec->accessibleName},
                                                         {PROPID_ACC_DESCRIPTION, control.spec->accessibleDescription}};
    for (const auto& [property, text] : texts) {
      if (*text != '\0') {
        annotations->SetHwndPropStr(control.hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                                    Wide(text).c_str());
      }
    }
  }

  // Tab and Shift+Tab from `from`: the next stop in the table's Tab order.
  void MoveFocus(HWND from, bool backwards) {
    const Control* control = FindByHandle(from);
    const std::optional<std::size_t> next = table.NextTabStop(
        control == nullptr ? std::nullopt : std::optional<std::size_t>(control - controls.data()), backwards);
    if (!next) return;
    const HWND to = controls[*next].hwnd;
    // As the dialog manager does: a field reached with the keyboard has its
    // text selected, and the focus is shown from now on.
    if (controls[*next].spec->kind == ControlKind::TextBox) SendMessageW(to, EM_SETSEL, 0, -1);
    SetFocus(to);
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  }

  HWND FirstTabStop() const {
    const std::vector<std::size_t> tabStops = table.TabOrder();
    return tabStops.empty() ? nullptr : controls[tabStops.front()].hwnd;
  }

  // Pastes the clipboard's text into the text box `control` as the paste
  // rule says: in whole, or not at all and the user told why.
  void Paste(Control& control) {
    std::wstring pasted;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(control.hwnd)) return;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
        pasted = text;
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    DWORD start = 0, end = 0;
    SendMessageW(control.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control.hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control.hwnd, text.data(), static_cast<int>(text.size()))));
    const ControlSpec& spec = *control.spec;
    const PasteOutcome outcome = platform::Paste(Utf8(text), start, end, Utf8(pasted), spec.maxLength,
                                                 *spec.accessibleName != '\0' ? spec.accessibleName : spec.name);
    if (outcome.kind == PasteOutcome::Kind::Inserted) {
      // Over the selection, as an edit the user can undo.
      SendMessageW(control.hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(outcome.inserted).c_str()));
    } else if (outcome.kind == PasteOutcome::Kind::Refused) {
      warnings.emplace_back(Wide(kWarningTitle), Wide(outcome.message));
      PostMessageW(window, kShowWarning, 0, 0);
    }
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TextBoxPastes(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data);
};

// A text box's every paste comes here as WM_PASTE, its menu's "Incolla"
// included; Ctrl+V and Shift+Insert are made WM_PASTE here too, whatever
// the system's edit control does with them. Typing stays the edit control's.
LRESULT CALLBACK Form::Impl::TextBoxPastes(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
  switch (message) {
    case WM_CHAR:
      if (wParam != 0x16) break;  // Ctrl+V
      SendMessageW(hwnd, WM_PASTE, 0, 0);
      return 0;
    case WM_KEYDOWN:
      if (wParam != VK_INSERT || GetKeyState(VK_SHIFT) >= 0 || GetKeyState(VK_CONTROL) < 0) break;
      SendMessageW(hwnd, WM_PASTE, 0, 0);
      return 0;
    case WM_PASTE: {
      auto* impl = reinterpret_cast<Impl*>(data);
      if (Control* control = impl->FindByHandle(hwnd)) impl->Paste(*control);
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, TextBoxPastes, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Form::Impl::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<Impl*>(create->lpCreateParams)->window = hwnd;
  }
  auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (impl == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return impl->Handle(message, wParam, lParam);
}

namespace {

void RegisterWindowClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  if (!registered) throw std::runtime_error("cannot register the window class");
}

}  // namespace

LRESULT Form::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        // Enter, which the dialog manager turns into IDOK: it presses the
        // focused push button, as Windows does; in a field it does nothing.
        const Control* focused = FindByHandle(GetFocus());
        if (focused != nullptr && focused->spec->kind == ControlKind::Button) {
          SendMessageW(focused->hwnd, BM_CLICK, 0, 0);
        }
        return 0;
      }
      if (id == IDCANCEL) return 0;  // Escape does not close the window
      const Control* control = FindByHandle(reinterpret_cast<HWND>(lParam));
      if (control != nullptr && HIWORD(wParam) == BN_CLICKED) {
        // An auto check box has its new state by now.
        for (const auto& handler : control->onClick) {
          handler();
          Announce();
        }
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      // Read-only edit fields ask here for their colours.
      const Control* control = FindByHandle(reinterpret_cast<HWND>(lParam));
      if (control != nullptr && control->background != nullptr) {
        const auto hdc = reinterpret_cast<HDC>(wParam);
        const Colour& colour = *control->spec->background;
        SetBkColor(hdc, RGB(colour.red, colour.green, colour.blue));
        // Readable on the fixed light background whatever the system colours.
        SetTextColor(hdc, kFixedInk);
        return reinterpret_cast<LRESULT>(control->background.get());
      }
      break;
    }
    case WM_ACTIVATE:
      // Keyboard focus goes back where it was when the window is active again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        focusBeforeDeactivation = GetFocus();
      } else if (focusBeforeDeactivation != nullptr && IsChild(window, focusBeforeDeactivation)) {
        SetFocus(focusBeforeDeactivation);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      dpi = HIWORD(wParam);
      Layout();
      SetIcons();
      if (tooltips != nullptr) SendMessageW(tooltips, TTM_SETMAXTIPWIDTH, 0, Scale(kTooltipWidth, dpi));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case kTabKey:
      MoveFocus(reinterpret_cast<HWND>(lParam), wParam != 0);
      return 0;
    case kShowWarning:
      while (!warnings.empty()) {
        const auto [title, text] = warnings.front();
        warnings.pop_front();
        MessageBoxW(window, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
      }
      return 0;
    case WM_DESTROY:
      for (const Control& control : controls) {
        if (control.hwnd == nullptr) continue;
        RemovePropW(control.hwnd, kNameProperty);
        // Annotations outlive their window unless cleared.
        if (annotations != nullptr) {
          annotations->ClearHwndProps(control.hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kSpokenProperties,
                                      static_cast<int>(std::size(kSpokenProperties)));
        }
      }
      // Closing the window ends the program; a window the program itself
      // destroys leaves the event loop running.
      if (!closedByProgram) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      // The window's last message: its default handling still goes to it.
      const HWND last = window;
      SetWindowLongPtrW(last, GWLP_USERDATA, 0);
      window = nullptr;
      return DefWindowProcW(last, message, wParam, lParam);
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

Form::Form(const WindowSpec& window, const std::vector<ControlSpec>& controls)
    : impl_(std::make_unique<Impl>(controls)) {
  RegisterWindowClass(&Impl::Procedure);
  impl_->clientWidth = window.clientWidth;
  impl_->clientHeight = window.clientHeight;
  impl_->fontFamily = Wide(window.fontFamily);
  // Fixed size: a border that does not resize, no maximise box.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, Wide(window.title).c_str(), style, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr),
                  impl_.get());
  if (impl_->window == nullptr) throw std::runtime_error("cannot create the window");
  impl_->dpi = GetDpiForWindow(impl_->window);
  // Shown whether or not the window is active; a missing one only costs the tips.
  impl_->tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, impl_->window,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
  if (impl_->tooltips != nullptr) {
    // Long descriptions wrap instead of running across the screen.
    SendMessageW(impl_->tooltips, TTM_SETMAXTIPWIDTH, 0, Scale(kTooltipWidth, impl_->dpi));
  }

  // Annotations need COM on this thread (Application starts it); without
  // them the window still works, with the names Windows guesses.
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                              reinterpret_cast<void**>(&impl_->annotations)))) {
    impl_->annotations = nullptr;
  }

  // Made in reading order, the controls are siblings in that order, which
  // is the order screen readers read them in; Tab follows the tab indexes
  // (TabInTableOrder). A control that cannot be made takes the window, and
  // everything made for it, with it.
  const ControlTable& table = impl_->table;
  for (const std::size_t i : table.ReadingOrder()) {
    const ControlSpec& spec = table[i];
    Impl::Control& control = impl_->controls[i];
    control.description = Wide(spec.accessibleDescription);
    const auto [className, controlStyle] = ClassAndStyle(spec);
    const DWORD extended = spec.kind == ControlKind::TextBox ? WS_EX_CLIENTEDGE : 0;
    const int id = kFirstControlId + static_cast<int>(i);
    control.hwnd = CreateWindowExW(extended, className, Wide(spec.text).c_str(), controlStyle, 0, 0, 0, 0,
                                   impl_->window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control.hwnd == nullptr) throw std::runtime_error("cannot create control " + std::string(spec.name));
    SetPropW(control.hwnd, kNameProperty, const_cast<char*>(spec.name));
    if (spec.kind == ControlKind::TextBox && spec.maxLength > 0) {
      SendMessageW(control.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(spec.maxLength), 0);
    }
    if (spec.kind == ControlKind::TextBox) {
      SetWindowSubclass(control.hwnd, Impl::TextBoxPastes, 0, reinterpret_cast<DWORD_PTR>(impl_.get()));
    }
    if (spec.background) {
      control.background.reset(
          CreateSolidBrush(RGB(spec.background->red, spec.background->green, spec.background->blue)));
      SetWindowSubclass(control.hwnd, FixedBorder, 0, reinterpret_cast<DWORD_PTR>(control.background.get()));
    }
    if (spec.kind != ControlKind::Frame && spec.kind != ControlKind::CaptionLabel) {
      SetWindowSubclass(control.hwnd, TabInTableOrder, 0, reinterpret_cast<DWORD_PTR>(impl_->window));
    }
    impl_->AddTooltip(control);
    impl_->Annotate(control);
  }
  // Frames below the controls they surround, which they would hide; a
  // reader meets them after their controls.
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].kind != ControlKind::Frame) continue;
    SetWindowPos(impl_->controls[i].hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  impl_->Layout();
  impl_->SetIcons();
  const SIZE outer = impl_->OuterSize();
  SetWindowPos(impl_->window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Form::~Form() = default;

std::string Form::Text(std::string_view control) const {
  const HWND hwnd = impl_->Find(control, Use::ReadText).hwnd;
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

void Form::SetText(std::string_view control, std::string_view text) {
  Impl::Control& field = impl_->Find(control, Use::WriteText);
  const std::string before = Text(control);
  // An edit control tells assistive technology of its new value itself, but
  // a screen reader speaks that only for the focused one: results never are.
  SetWindowTextW(field.hwnd, Wide(text).c_str());
  impl_->FitText(field);
  impl_->announcements.Changed(field.spec->accessibleName, before, text);
}

CheckState Form::Check(std::string_view control) const {
  switch (SendMessageW(impl_->Find(control, Use::ReadCheck).hwnd, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED: return CheckState::Ticked;
    case BST_INDETERMINATE: return CheckState::Grey;
    default: return CheckState::Clear;
  }
}

void Form::OnClick(std::string_view control, std::function<void()> handler) {
  impl_->Find(control, Use::Click).onClick.push_back(std::move(handler));
}

void Form::Show() {
  // Centred on the work area of the primary monitor, at that monitor's density.
  const HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  const SIZE outer = impl_->OuterSize();
  const RECT& area = info.rcWork;
  SetWindowPos(impl_->window, nullptr, area.left + (area.right - area.left - outer.cx) / 2,
               area.top + (area.bottom - area.top - outer.cy) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The focus goes to the first tab stop now, and again if the window is
  // activated later than shown.
  impl_->focusBeforeDeactivation = impl_->FirstTabStop();
  ShowWindow(impl_->window, SW_SHOW);
  UpdateWindow(impl_->window);
  SetForegroundWindow(impl_->window);
  if (impl_->focusBeforeDeactivation != nullptr) SetFocus(impl_->focusBeforeDeactivation);
}

void Form::Warn(std::string_view title, std::string_view message) {
  // The results' changes first: the box is what a screen reader speaks next.
  impl_->Announce();
  // The box opens once the calling handler has returned to the event loop.
  impl_->warnings.emplace_back(Wide(title), Wide(message));
  PostMessageW(impl_->window, kShowWarning, 0, 0);
}

void* Form::NativeWindow() const { return impl_->window; }

struct Application::Impl {
  bool com = false;  // started here, so ended here
};

Application::Application(int&, char**) : impl_(std::make_unique<Impl>()) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // For the windows' accessibility annotations, on the thread of the windows.
  impl_->com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

Application::~Application() {
  if (impl_->com) CoUninitialize();
}

int Application::Run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The dialog manager gives each top-level window of ours Tab, Shift+Tab
    // and Enter.
    const HWND top = GetAncestor(message.hwnd, GA_ROOT);
    wchar_t className[32] = {};
    if (top != nullptr && GetClassNameW(top, className, 32) > 0 && std::wstring_view(className) == kWindowClass &&
        IsDialogMessageW(top, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace velsona::platform
