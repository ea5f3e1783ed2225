// Plays the window scenarios on the Win32 window, in this process: keys are
// posted where the focus is and go through the same dialog-manager loop as
// the program's, clicks are the buttons' own, warnings are caught as their
// box opens and dismissed. Runs under Wine on Linux, or on Windows.
//   velsona_window_win32_tests [--dpi N] [PART-OF-A-SCENARIO-NAME]
// With --dpi, the screen must be of N dots per inch, or nothing is played.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
// The accessibility GUIDs the stand-in service below answers to.
#include <initguid.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/window/win32/utf16.h"
#include "tests/window/scenarios.h"
#include "ui/controls.h"
#include "ui/form1.h"

namespace velsona::window_tests {
namespace {

using platform::Utf8;
using platform::Wide;

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The name each control of the program carries as a window property.
std::string NameOf(HWND hwnd) {
  const auto* name = static_cast<const char*>(GetPropW(hwnd, L"VelsonaControlName"));
  return name == nullptr ? std::string() : std::string(name);
}

// The text a static control shows: without SS_NOPREFIX, an "&" marks the
// character after it rather than showing ("&&" shows one).
std::wstring ShownText(HWND hwnd) {
  std::wstring text = TextOf(hwnd);
  if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & SS_NOPREFIX) != 0) return text;
  for (std::size_t i = 0; (i = text.find(L'&', i)) != std::wstring::npos; ++i) text.erase(i, 1);
  return text;
}

// Warning boxes, caught as they open and closed with their OK button.
std::vector<Warning> caught;
HWND programWindow = nullptr;

LRESULT CALLBACK CatchWarnings(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    const auto box = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    GetClassNameW(box, className, 16);
    if (std::wstring(className) == L"#32770") {
      Warning warning;
      warning.title = Utf8(TextOf(box));
      warning.text = Utf8(ShownText(GetDlgItem(box, 0xFFFF)));
      warning.ownedByWindow = GetWindow(box, GW_OWNER) == programWindow && !IsWindowEnabled(programWindow);
      // The box's icon is the system's shared warning sign.
      const HICON sign = LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // the exclamation mark
      for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) == sign) warning.warningIcon = true;
      }
      caught.push_back(warning);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// How a result field draws its text, its font's size read at `dpi`.
FieldLook LookOf(HWND field, UINT dpi) {
  FieldLook look;
  const auto font = reinterpret_cast<HFONT>(SendMessageW(field, WM_GETFONT, 0, 0));
  LOGFONTW logical{};
  GetObjectW(font, sizeof logical, &logical);
  look.bold = logical.lfWeight >= FW_BOLD;
  look.points = std::abs(logical.lfHeight) * 72.0 / dpi;
  // Whole: the text's width in its font within the editing area, and its
  // first character at the area's left edge or right of it.
  const std::wstring text = TextOf(field);
  RECT area;
  SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  const HDC dc = GetDC(field);
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(field, dc);
  const auto first = static_cast<short>(LOWORD(SendMessageW(field, EM_POSFROMCHAR, 0, 0)));
  look.whole = size.cx <= area.right - area.left && (text.empty() || first >= area.left);
  // The colour the field asks its window for, as when it paints.
  const HDC memory = CreateCompatibleDC(nullptr);
  SendMessageW(GetParent(field), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(memory), reinterpret_cast<LPARAM>(field));
  const COLORREF ink = GetTextColor(memory);
  DeleteDC(memory);
  look.ink = {GetRValue(ink), GetGValue(ink), GetBValue(ink)};
  RECT outer;
  GetWindowRect(field, &outer);
  const HDC windowDc = GetWindowDC(field);
  const COLORREF border = GetPixel(windowDc, 0, (outer.bottom - outer.top) / 2);
  ReleaseDC(field, windowDc);
  look.border = {GetRValue(border), GetGValue(border), GetBValue(border)};
  return look;
}

// The system colours a dark scheme changes: window, its text, face, its
// text, the frame of a bordered control.
const std::vector<int> kDarkened = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOWFRAME};

// The user's own settings that the scenarios change, the decimal separator
// and the system colours, as they were at the start; put back however the
// program ends: returning from main, exit() on a control not found, an
// uncaught exception or a crash. On a real Windows machine they are the
// user's desktop.
struct UserSettings {
  std::wstring separator;
  std::vector<COLORREF> colours;
};
const UserSettings* saved = nullptr;

void RestoreUserSettings() {
  if (saved == nullptr) return;
  SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved->separator.c_str());
  SetSysColors(static_cast<int>(kDarkened.size()), kDarkened.data(), saved->colours.data());
  saved = nullptr;
}

void SaveUserSettings() {
  static UserSettings settings;
  wchar_t separator[8] = {};
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  settings.separator = separator;
  for (const int element : kDarkened) settings.colours.push_back(GetSysColor(element));
  saved = &settings;
  std::atexit(RestoreUserSettings);
  std::set_terminate([] {
    RestoreUserSettings();
    std::abort();
  });
  SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) -> LONG {
    RestoreUserSettings();
    return EXCEPTION_CONTINUE_SEARCH;
  });
}

// What the program last told a screen reader through a UI Automation
// notification. The program's run-time look-up of the call is rerouted here:
// each call is recorded, with whether it came with the window's provider and
// as a completed action, then passed on to the system's own call where there
// is one (Windows 10 version 1709 and later; Wine 10, which accepts it but
// tells no client), and a refusal is recorded instead. Wine 8 and older
// Windows have no such call: there the record is all.
std::string notified;
using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using RaiseNotificationFunction = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);
GetProcAddressFunction systemGetProcAddress = nullptr;
RaiseNotificationFunction systemRaiseNotification = nullptr;
HRESULT WINAPI RecordNotification(IUnknown* provider, int kind, int processing, BSTR text, BSTR activity) {
  notified = provider == nullptr ? "(no provider)" : kind != 2 ? "(not a completed action)" : Utf8(text);
  if (systemRaiseNotification == nullptr) return S_OK;
  const HRESULT result = systemRaiseNotification(provider, kind, processing, text, activity);
  if (FAILED(result)) {
    char refusal[48];
    std::snprintf(refusal, sizeof refusal, "(refused by the system: 0x%08lx)", static_cast<unsigned long>(result));
    notified = refusal;
  }
  return result;
}
FARPROC WINAPI LookUpRecordingNotifications(HMODULE module, LPCSTR name) {
  const bool byName = (reinterpret_cast<ULONG_PTR>(name) >> 16) != 0;
  if (byName && std::strcmp(name, "UiaRaiseNotificationEvent") == 0) {
    systemRaiseNotification =
        reinterpret_cast<RaiseNotificationFunction>(reinterpret_cast<void*>(systemGetProcAddress(module, name)));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&RecordNotification));
  }
  return systemGetProcAddress(module, name);
}

class Win32Driver : public Driver {
 public:
  Win32Driver() { hook_ = SetWindowsHookExW(WH_CBT, CatchWarnings, nullptr, GetCurrentThreadId()); }
  ~Win32Driver() override { UnhookWindowsHookEx(hook_); }

  void Open(const std::string& separator) override {
    SetSeparator(separator);
    caught.clear();
    // The program's own reading of the regional settings.
    form_ = std::make_unique<ui::Form1>();
    form_->Show();
    window_ = static_cast<HWND>(form_->NativeWindow());
    programWindow = window_;
    Pump(3);
  }
  void Close() override {
    form_.reset();
    if (!savedColours_.empty()) {
      SetSysColors(static_cast<int>(kDarkened.size()), kDarkened.data(), savedColours_.data());
      savedColours_.clear();
    }
    Pump();
  }
  void SetSeparator(const std::string& separator) override {
    // As the Control Panel does it: the setting and its change notice.
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, Wide(separator).c_str());
  }
  void Type(const char* control, const std::string& text) override {
    const HWND field = Find(control);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    Key(VK_DELETE);
    for (const wchar_t unit : Wide(text)) {
      PostMessageW(GetFocus(), WM_CHAR, unit, 1);
      Pump();
    }
  }
  void Paste(const char* control, const std::string& text) override {
    const std::wstring wide = Wide(text);
    const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(data), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    if (!OpenClipboard(window_) || !EmptyClipboard() || SetClipboardData(CF_UNICODETEXT, data) == nullptr) {
      std::fprintf(stderr, "cannot put a text on the clipboard\n");
      std::exit(2);
    }
    CloseClipboard();
    const HWND field = Find(control);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    KeyHolding({VK_CONTROL, VK_LCONTROL}, 'V');
  }
  void Click(const char* control) override {
    SendMessageW(Find(control), BM_CLICK, 0, 0);
    Pump();
  }
  void Press(velsona::window_tests::Key key) override {
    switch (key) {
      case Key::Tab: Key(VK_TAB); break;
      case Key::ShiftTab: KeyHolding({VK_SHIFT}, VK_TAB); break;
      case Key::Enter: Key(VK_RETURN); break;
      case Key::Space: Key(VK_SPACE); break;
    }
  }
  std::string Text(const char* control) override { return Utf8(TextOf(Find(control))); }
  bool Ticked(const char* control) override {
    return SendMessageW(Find(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  std::string Focused() override { return NameOf(GetFocus()); }
  bool KeepsTabInside() override { return true; }
  // The window's children in z-order, which is the order UI Automation and
  // screen readers give them in.
  std::vector<std::string> ReadingOrder() override {
    std::vector<std::string> names;
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      names.push_back(NameOf(child));
    }
    return names;
  }
  // As the mouse sends it: down, up, then the double-click and up.
  std::string DoubleClickSelection(const char* control) override {
    const HWND field = Find(control);
    RECT client;
    GetClientRect(field, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
      PostMessageW(field, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, middle);
      Pump();
    }
    DWORD start = 0, end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return Utf8(TextOf(field).substr(start, end - start));
  }
  std::optional<Warning> TakeWarning() override {
    Pump();
    if (caught.empty()) return std::nullopt;
    Warning warning = caught.front();
    caught.erase(caught.begin());
    return warning;
  }
  Rgb Background(const char* control) override {
    const HWND hwnd = Find(control);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(3);
    RECT client;
    GetClientRect(hwnd, &client);
    const HDC dc = GetDC(hwnd);
    const COLORREF pixel = GetPixel(dc, 2, client.bottom / 2);
    ReleaseDC(hwnd, dc);
    return {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)};
  }
  Rect Place(const char* control) override {
    RECT rect;
    GetWindowRect(Find(control), &rect);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  }
  double Scale() override { return GetDpiForWindow(window_) / 96.0; }
  WindowFacts Facts() override {
    WindowFacts facts;
    facts.title = Utf8(TextOf(window_));
    RECT client;
    GetClientRect(window_, &client);
    facts.clientWidth = client.right;
    facts.clientHeight = client.bottom;
    const auto style = GetWindowLongPtrW(window_, GWL_STYLE);
    facts.resizable = (style & WS_THICKFRAME) != 0;
    facts.maximisable = (style & WS_MAXIMIZEBOX) != 0;
    facts.hasIcon = SendMessageW(window_, WM_GETICON, ICON_BIG, 0) != 0 &&
                    SendMessageW(window_, WM_GETICON, ICON_SMALL, 0) != 0;
    RECT outer;
    GetWindowRect(window_, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    facts.offCentreX = (outer.left + outer.right) / 2 - (area.left + area.right) / 2;
    facts.offCentreY = (outer.top + outer.bottom) / 2 - (area.top + area.bottom) / 2;
    return facts;
  }
  std::vector<std::string> CutOffCaptions() override {
    std::vector<std::string> cut;
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      const std::wstring text = TextOf(child);
      wchar_t className[16] = {};
      GetClassNameW(child, className, 16);
      if (text.empty() || std::wstring(className) == L"Edit") continue;
      RECT client;
      GetClientRect(child, &client);
      const HDC dc = GetDC(child);
      const auto old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
      SIZE needed;
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &needed);
      SelectObject(dc, old);
      ReleaseDC(child, dc);
      // A check box's caption sits right of its box and a gap.
      const auto style = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
      const bool checkBox = std::wstring(className) == L"Button" && style == BS_AUTOCHECKBOX;
      const int room = client.right - (checkBox ? GetSystemMetricsForDpi(SM_CXMENUCHECK, GetDpiForWindow(child)) +
                                                      GetSystemMetricsForDpi(SM_CXEDGE, GetDpiForWindow(child)) * 2
                                                : 0);
      if (needed.cx > room || needed.cy > client.bottom) cut.push_back(NameOf(child));
    }
    return cut;
  }
  FieldLook Look(const char* control) override {
    const HWND field = Find(control);
    RedrawWindow(field, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    Pump(3);
    return LookOf(field, GetDpiForWindow(field));
  }
  std::string Tooltip(const char* control) override {
    const HWND field = Find(control);
    // The window's tooltip control, and in it the tool of the field.
    for (HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tips != nullptr;
         tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr)) {
      if (GetWindow(tips, GW_OWNER) != window_) continue;
      wchar_t text[256] = {};
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      for (UINT i = 0; SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)) != 0; ++i) {
        if (tool.uId != reinterpret_cast<UINT_PTR>(field)) continue;
        tool.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return Utf8(text);
      }
    }
    return {};
  }
  std::string Announced() override {
    Pump();
    return std::exchange(notified, std::string());
  }
  void UseDarkColours() override {
    savedColours_.clear();
    for (const int element : kDarkened) savedColours_.push_back(GetSysColor(element));
    const COLORREF light = RGB(230, 230, 230), dark = RGB(40, 40, 40);
    const std::vector<COLORREF> scheme = {dark, light, dark, light, light};
    SetSysColors(static_cast<int>(kDarkened.size()), kDarkened.data(), scheme.data());
    Pump(3);
  }

 private:
  std::vector<COLORREF> savedColours_;

  HWND Find(const char* control) const {
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (NameOf(child) == control) return child;
    }
    std::fprintf(stderr, "no control %s\n", control);
    std::exit(2);
  }
  // A key pressed and released where the focus is, through the event loop.
  void Key(WPARAM key) {
    const HWND focus = GetFocus();
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(focus, WM_KEYDOWN, key, scan | 1);
    Pump();
    PostMessageW(GetFocus(), WM_KEYUP, key, scan | 1 | (LPARAM{3} << 30));
    Pump();
  }
  // Key with the `held` keys (Shift, Control) down in the keyboard's state,
  // which is what the window reads for them.
  void KeyHolding(std::initializer_list<int> held, WPARAM key) {
    BYTE keys[256];
    GetKeyboardState(keys);
    for (const int down : held) keys[down] = 0x80;
    SetKeyboardState(keys);
    Key(key);
    for (const int down : held) keys[down] = 0;
    SetKeyboardState(keys);
  }
  // Handles what is waiting as the program's event loop does; with
  // `settle`, also what the display system sends a moment later.
  void Pump(int settle = 0) const {
    for (int idle = 0; idle <= settle;) {
      MSG message;
      if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (++idle <= settle) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        continue;
      }
      idle = 0;
      if (message.message == WM_QUIT) continue;
      if (window_ != nullptr && IsWindow(window_) && IsDialogMessageW(window_, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  HHOOK hook_ = nullptr;
  std::unique_ptr<ui::Form1> form_;
  HWND window_ = nullptr;
};

// A move to a monitor of another density: Windows tells the window with
// WM_DPICHANGED, and places, sizes and fonts follow. Wine has one density for
// all monitors, so the message is sent here as Windows would send it.
std::vector<std::string> FollowsDensityChange() {
  std::vector<std::string> faults;
  ui::Form1 form;
  form.Show();
  const auto window = static_cast<HWND>(form.NativeWindow());
  const auto named = [window](const char* name) {
    HWND found = nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (NameOf(child) == name) found = child;
    }
    return found;
  };
  // A wide result, whose smaller font is made again for the new density.
  SetWindowTextW(named("MAXSPL"), L"1e9");
  SetWindowTextW(named("SELFNOISE"), L"9e9");
  SendMessageW(named("CalcGamma"), BM_CLICK, 0, 0);
  const UINT dpi = GetDpiForWindow(window) * 2;
  RECT suggested;
  GetWindowRect(window, &suggested);
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  const auto fits = [dpi](long actual, int at96) { return std::abs(actual - std::lround(at96 * dpi / 96.0)) <= 1; };
  HWND field = nullptr;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (NameOf(child) == "DBSens1") field = child;
  }
  RECT place;
  GetWindowRect(field, &place);
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&place), 2);
  if (!fits(place.left, 14) || !fits(place.top, 50) || !fits(place.right - place.left, 105) ||
      !fits(place.bottom - place.top, 33)) {
    faults.push_back("DBSens1 not placed for " + std::to_string(dpi) + " dpi");
  }
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(field, WM_GETFONT, 0, 0)), sizeof font, &font);
  if (font.lfHeight != -std::lround(12.0 * dpi / 72.0)) {
    faults.push_back("DBSens1's font " + std::to_string(font.lfHeight) + " px high at " + std::to_string(dpi) + " dpi");
  }
  if (font.lfWeight != FW_BOLD) faults.push_back("DBSens1's font not bold");
  // Smaller than its own 12 pt, but not left at the old density's size.
  const FieldLook wide = LookOf(named("LabGamma"), dpi);
  if (!wide.whole || wide.points >= 12 || wide.points < 6) {
    faults.push_back("LabGamma's wide result " + std::string(wide.whole ? "whole" : "cut off") + " in " +
                     std::to_string(wide.points) + " pt");
  }
  return faults;
}

// Puts `replacement` in this program's import of `name` from `library`, so
// that the program's own calls of it go there; gives what was there.
void* ReplaceImport(const char* library, const char* name, void* replacement) {
  auto* const base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* imported = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imported->Name != 0; ++imported) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + imported->Name), library) != 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + imported->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imported->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if ((names->u1.Ordinal & IMAGE_ORDINAL_FLAG) != 0) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
      DWORD protection = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
      void* const previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return previous;
    }
  }
  return nullptr;
}

// The windows whose last message, WM_NCDESTROY, the program hands to the
// default window procedure.
std::vector<HWND> defaultLastMessages;
WNDPROC systemDefault = nullptr;
LRESULT CALLBACK RecordingDefault(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) defaultLastMessages.push_back(hwnd);
  return systemDefault(hwnd, message, wParam, lParam);
}

// The window's last message gets its default handling on the window itself.
std::vector<std::string> EndsWithDefaultHandling() {
  void* const replaced = ReplaceImport("user32.dll", "DefWindowProcW", reinterpret_cast<void*>(&RecordingDefault));
  if (replaced == nullptr) return {"the program imports no DefWindowProcW"};
  systemDefault = reinterpret_cast<WNDPROC>(replaced);
  defaultLastMessages.clear();
  HWND window = nullptr;
  {
    ui::Form1 form;
    window = static_cast<HWND>(form.NativeWindow());
  }
  ReplaceImport("user32.dll", "DefWindowProcW", replaced);
  if (defaultLastMessages == std::vector<HWND>{window}) return {};
  std::string seen;
  for (const HWND hwnd : defaultLastMessages) seen += hwnd == nullptr ? " null" : hwnd == window ? " window" : " other";
  return {"WM_NCDESTROY's default handling went to:" + seen};
}

// Every handler added to a control runs on its click, in the order added.
std::vector<std::string> RunsEveryClickHandlerInOrder() {
  platform::Form form(ui::kForm1Window, ui::Form1Controls());
  std::string ran;
  form.OnClick("Arrotonda", [&ran] { ran += "1"; });
  form.OnClick("Arrotonda", [&ran] { ran += "2"; });
  const auto window = static_cast<HWND>(form.NativeWindow());
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (NameOf(child) == "Arrotonda") SendMessageW(child, BM_CLICK, 0, 0);
  }
  return ran == "12" ? std::vector<std::string>{} : std::vector<std::string>{"the handlers that ran: " + ran};
}

// What the window asks of the accessibility annotation service: a stand-in
// for it (Wine's refuses with E_NOTIMPL), handed to the program by its
// rerouted CoCreateInstance.
struct Annotation {
  HWND hwnd;
  std::string property;  // "name", "description"
  std::string text;
  bool operator==(const Annotation& other) const {
    return hwnd == other.hwnd && property == other.property && text == other.text;
  }
};
// COM interfaces have no virtual destructor: their objects go by Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class RecordingAnnotations : public IAccPropServices {
 public:
  std::vector<Annotation> set;
  std::vector<HWND> cleared;

  HRESULT WINAPI QueryInterface(REFIID id, void** object) override {
    *object = IsEqualIID(id, IID_IAccPropServices) ? this : nullptr;
    return *object != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG WINAPI AddRef() override { return 2; }
  ULONG WINAPI Release() override { return 1; }
  HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property, LPCWSTR text) override {
    const bool self = object == static_cast<DWORD>(OBJID_CLIENT) && child == CHILDID_SELF;
    set.push_back({hwnd,
                   !self                                               ? "not the control itself"
                   : IsEqualGUID(property, PROPID_ACC_NAME)        ? "name"
                   : IsEqualGUID(property, PROPID_ACC_DESCRIPTION) ? "description"
                                                                   : "another property",
                   Utf8(text)});
    return S_OK;
  }
  HRESULT WINAPI ClearHwndProps(HWND hwnd, DWORD, DWORD, const MSAAPROPID*, int) override {
    cleared.push_back(hwnd);
    return S_OK;
  }
  // Nothing else is the window's to ask.
  HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override { return E_NOTIMPL; }
};
#pragma GCC diagnostic pop
RecordingAnnotations* annotations = nullptr;  // none: the service cannot be had
HRESULT WINAPI HandOutAnnotations(REFCLSID classId, IUnknown*, DWORD, REFIID id, void** object) {
  *object = nullptr;
  if (!IsEqualCLSID(classId, CLSID_AccPropServices) || annotations == nullptr) return REGDB_E_CLASSNOTREG;
  return annotations->QueryInterface(id, object);
}

// Each control is named and described to screen readers as the table says,
// the annotations are cleared when the window goes, and without the service
// the window is still made. (Wine's own service refuses every annotation, so
// every scenario plays a window whose annotations fail.)
std::vector<std::string> NamesEveryControlForScreenReaders() {
  void* const replaced = ReplaceImport("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(&HandOutAnnotations));
  if (replaced == nullptr) return {"the program imports no CoCreateInstance"};
  std::vector<std::string> faults;
  RecordingAnnotations service;
  std::vector<Annotation> expected;
  std::map<HWND, std::string> controls;  // by name, read while the window is there
  for (RecordingAnnotations* given : {&service, static_cast<RecordingAnnotations*>(nullptr)}) {
    annotations = given;
    // Made without the service too: a window that could not be made would stop the program.
    ui::Form1 form;
    const auto window = static_cast<HWND>(form.NativeWindow());
    for (HWND child = GetWindow(window, GW_CHILD); given != nullptr && child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      controls[child] = NameOf(child);
      for (const platform::ControlSpec& spec : ui::Form1Controls()) {
        if (NameOf(child) != spec.name) continue;
        if (*spec.accessibleName != '\0') expected.push_back({child, "name", spec.accessibleName});
        if (*spec.accessibleDescription != '\0') {
          expected.push_back({child, "description", spec.accessibleDescription});
        }
      }
    }
  }
  annotations = nullptr;
  ReplaceImport("ole32.dll", "CoCreateInstance", replaced);
  for (const Annotation& wanted : expected) {
    if (std::count(service.set.begin(), service.set.end(), wanted) != 1) {
      faults.push_back(controls[wanted.hwnd] + "'s " + wanted.property + " \"" + wanted.text + "\" not set once");
    }
  }
  if (service.set.size() != expected.size()) {
    faults.push_back(std::to_string(service.set.size()) + " annotations, not " + std::to_string(expected.size()));
  }
  for (const auto& [control, name] : controls) {
    if (std::count(service.cleared.begin(), service.cleared.end(), control) != 1) {
      faults.push_back(name + "'s annotations not cleared once");
    }
  }
  return faults;
}

// The second result field, refused as it is made; the message box the
// program then shows, written out and closed.
LRESULT CALLBACK RefuseSecondResult(int code, WPARAM wParam, LPARAM lParam) {
  static int readOnlyFieldsMade = 0;
  wchar_t className[16] = {};
  GetClassNameW(reinterpret_cast<HWND>(wParam), className, 16);
  if (code == HCBT_CREATEWND && lstrcmpiW(className, L"Edit") == 0 &&
      (reinterpret_cast<const CBT_CREATEWNDW*>(lParam)->lpcs->style & ES_READONLY) != 0 &&
      ++readOnlyFieldsMade == 2) {
    return 1;
  }
  if (code == HCBT_ACTIVATE && lstrcmpW(className, L"#32770") == 0) {
    std::printf("box: %s\n", Utf8(TextOf(GetDlgItem(reinterpret_cast<HWND>(wParam), 0xFFFF))).c_str());
    std::fflush(stdout);
    PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Run as `--refuse-a-control`: makes the window with one control refused.
int MakeWithARefusedControl() {
  SetWindowsHookExW(WH_CBT, RefuseSecondResult, nullptr, GetCurrentThreadId());
  ui::Form1 form;
  std::printf("the window was made\n");
  return 0;
}

// A window whose control cannot be made stops the program, saying so on
// the standard error and in a message box.
std::vector<std::string> StopsWhenAControlCannotBeMade() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  FILE* child = _wpopen((L"\"" + std::wstring(self) + L"\" --refuse-a-control 2>&1").c_str(), L"r");
  if (child == nullptr) return {"the program could not be run again"};
  std::string said;
  char line[512];
  while (std::fgets(line, sizeof line, child) != nullptr) said += line;
  const int status = _pclose(child);
  std::vector<std::string> faults;
  if (status == 0) faults.push_back("the program went on: " + said);
  for (const char* expected : {"box: Velsona non pu\xC3\xB2 aprire la sua finestra: cannot make control",
                               "velsona: cannot make control"}) {
    if (said.find(expected) == std::string::npos) faults.push_back("not said: " + std::string(expected));
  }
  return faults;
}

}  // namespace
}  // namespace velsona::window_tests

int main(int argc, char** argv) {
  using namespace velsona::window_tests;
  SaveUserSettings();
  velsona::platform::Application application(argc, argv);
  int next = 1;
  UINT dpi = 0;
  if (argc > next + 1 && std::string(argv[next]) == "--dpi") {
    dpi = static_cast<UINT>(std::stoi(argv[next + 1]));
    next += 2;
  }
  const std::string only = argc > next ? argv[next] : "";
  if (only == "--refuse-a-control") return MakeWithARefusedControl();
  {
    velsona::ui::Form1 probe;
    const UINT actual = GetDpiForWindow(static_cast<HWND>(probe.NativeWindow()));
    std::printf("The window is drawn at %u dpi\n", actual);
    if (dpi != 0 && actual != dpi) {
      std::printf("FAIL: the screen should be of %u dpi\n", dpi);
      return 1;
    }
  }
  Win32Driver driver;
  int played = 0, failed = 0;
  // The scenarios hear the notifications; the checks after them look up the
  // system's own call, or find none, as the program does.
  systemGetProcAddress = reinterpret_cast<GetProcAddressFunction>(
      ReplaceImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&LookUpRecordingNotifications)));
  if (systemGetProcAddress == nullptr) {
    std::printf("FAIL: the program imports no GetProcAddress\n");
    return 1;
  }
  for (const Scenario& scenario : WindowScenarios()) {
    if (scenario.name.find(only) == std::string::npos) continue;
    ++played;
    const std::vector<std::string> faults = Play(driver, scenario);
    std::printf("%s %s\n", faults.empty() ? "PASS" : "FAIL", scenario.name.c_str());
    for (const std::string& fault : faults) std::printf("     %s\n", fault.c_str());
    if (!faults.empty()) ++failed;
  }
  ReplaceImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(systemGetProcAddress));
  std::printf("UI Automation notifications: %s\n", systemRaiseNotification != nullptr
                                                       ? "recorded, and accepted by the system's own call"
                                                       : "recorded only (the system has no such call)");
  if (only.empty()) {
    // Checks of the Win32 window alone, which no other window has to pass.
    const std::pair<const char*, std::vector<std::string> (*)()> checks[] = {
        {"the window follows a change of density", FollowsDensityChange},
        {"the window's last message gets its default handling", EndsWithDefaultHandling},
        {"every control is named for screen readers", NamesEveryControlForScreenReaders},
        {"a window whose control cannot be made stops, saying so", StopsWhenAControlCannotBeMade},
        {"every click handler runs, in the order added", RunsEveryClickHandlerInOrder}};
    for (const auto& [name, check] : checks) {
      ++played;
      const std::vector<std::string> faults = check();
      std::printf("%s %s\n", faults.empty() ? "PASS" : "FAIL", name);
      for (const std::string& fault : faults) std::printf("     %s\n", fault.c_str());
      if (!faults.empty()) ++failed;
    }
  }
  std::printf("%d of %d window scenarios passed\n", played - failed, played);
  return failed == 0 && played > 0 ? 0 : 1;
}
