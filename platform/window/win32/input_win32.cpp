// The Win32 window's input: each control that takes the focus hands its
// window Tab, Shift+Tab and pastes, for the shared window to decide on.

#include <windows.h>

#include <algorithm>
#include <commctrl.h>

#include "platform/window/win32/parts_win32.h"

namespace velsona::platform {
namespace {

// The clipboard's text, up to its first NUL and never past the end of its
// memory: text another program put there need not end with one.
std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      const wchar_t* end = units + GlobalSize(data) / sizeof(wchar_t);
      text.assign(units, std::find(units, end, L'\0'));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Tab and Shift+Tab, taken before the dialog manager can take them: the
// controls are siblings in the order a screen reader reads them, not in the
// order of the tab indexes it would follow. And every paste, as WM_PASTE,
// the menu's "Incolla" included: Ctrl+V and Shift+Insert are made WM_PASTE
// here, whatever the system's edit control does with them (the shared
// window takes a text box's, a result's it leaves). Typing stays the edit
// control's.
LRESULT CALLBACK Keys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR window) {
  switch (message) {
    case WM_GETDLGCODE: {
      const auto* asked = reinterpret_cast<const MSG*>(lParam);
      const LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
      const bool tab = asked != nullptr && asked->wParam == VK_TAB;
      return tab && (asked->message == WM_KEYDOWN || asked->message == WM_CHAR) ? code | DLGC_WANTTAB : code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_TAB) {
        SendMessageW(reinterpret_cast<HWND>(window), kTabKey, GetKeyState(VK_SHIFT) < 0 ? 1 : 0,
                     reinterpret_cast<LPARAM>(hwnd));
        return 0;
      }
      if (wParam != VK_INSERT || GetKeyState(VK_SHIFT) >= 0 || GetKeyState(VK_CONTROL) < 0) break;
      SendMessageW(hwnd, WM_PASTE, 0, 0);
      return 0;
    case WM_CHAR:
      if (wParam == L'\t') return 0;  // the key's character, never typed
      if (wParam != 0x16) break;      // Ctrl+V
      SendMessageW(hwnd, WM_PASTE, 0, 0);
      return 0;
    case WM_PASTE: {
      const std::wstring text = ClipboardText(hwnd);
      SendMessageW(reinterpret_cast<HWND>(window), kPasted, reinterpret_cast<WPARAM>(hwnd),
                   reinterpret_cast<LPARAM>(&text));
      return 0;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, Keys, 0);
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void ListenToKeys(HWND control, HWND window) { SetWindowSubclass(control, Keys, 0, reinterpret_cast<DWORD_PTR>(window)); }

}  // namespace velsona::platform
