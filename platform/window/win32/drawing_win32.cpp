// The Win32 window's drawing: its fonts and the measuring of text in them,
// the black border of a field with a fixed background, the icons and the
// tooltips.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <commctrl.h>

#include "platform/window/win32/parts_win32.h"
#include "platform/window/win32/utf16.h"

namespace velsona::platform {
namespace {

// The executable's icon resource, which is also the window's icon.
constexpr WORD kIconResource = 1;
// The widest a tooltip grows before it wraps, in twips.
constexpr int kTooltipWidth = 6000;

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

// A field with a fixed background (the colour `data`) has a black border of
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
      SetDCBrushColor(dc, static_cast<COLORREF>(data));
      FillRect(dc, &outer, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
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

}  // namespace

int Scale(int twips, UINT dpi) { return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0)); }

UniqueFont MakeFont(const std::wstring& family, double points, UINT dpi) {
  // Fractional sizes such as 8.25 pt round to the nearest pixel height, the
  // one size a font has on the screen.
  const int height = static_cast<int>(std::lround(points * dpi / 72.0));
  return UniqueFont(CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, family.c_str()));
}

double TextWidth(HWND hwnd, HFONT font, std::string_view text) {
  const std::wstring wide = Wide(text);
  const HDC dc = GetDC(hwnd);
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return size.cx;
}

int SetEditFont(HWND field, HFONT font, bool redraw) {
  SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  SendMessageW(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(EC_USEFONTINFO, EC_USEFONTINFO));
  RECT area;
  SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
  return area.right - area.left;
}

void DrawOwnBorder(HWND field, COLORREF background) { SetWindowSubclass(field, FixedBorder, 0, background); }

void SetIcons(HWND window, UINT dpi, UniqueIcon (&icons)[2]) {
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

HWND Tooltips(HWND tooltips, HWND window, UINT dpi) {
  // Shown whether or not the window is active.
  if (tooltips == nullptr) {
    tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  }
  // Long descriptions wrap instead of running across the screen.
  if (tooltips != nullptr) SendMessageW(tooltips, TTM_SETMAXTIPWIDTH, 0, Scale(kTooltipWidth, dpi));
  return tooltips;
}

void SetTooltip(HWND tooltips, HWND window, HWND control, std::string_view text, bool added) {
  if (tooltips == nullptr) return;
  std::wstring wide = Wide(text);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();  // copied by the tooltip control
  SendMessageW(tooltips, added ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace velsona::platform
