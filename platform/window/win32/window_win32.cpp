// The native window on the Win32 API, every control a standard system
// control, laid out in pixels of the monitor's density; its parts by role
// are in parts_win32.h. And the application around it.

#include <windows.h>

#include <commctrl.h>
#include <map>
#include <objbase.h>
#include <oleacc.h>
#include <vector>

#include "platform/window/form_rules.h"
#include "platform/window/native_window.h"
#include "platform/window/win32/parts_win32.h"
#include "platform/window/win32/utf16.h"

namespace velsona::platform {
namespace {

constexpr wchar_t kWindowClass[] = L"VelsonaForm";
// Each control carries its name in this window property, so that tools and
// tests that inspect the window can find it by the name the program uses.
constexpr wchar_t kNameProperty[] = L"VelsonaControlName";
// The warning to open, once the handler that gave it has returned to the event loop.
constexpr UINT kShowWarning = WM_APP + 1;
// Control identifiers start above the dialog manager's IDOK and IDCANCEL;
// each control's is this plus its index in the table.
constexpr int kFirstControlId = 100;

COLORREF Rgb(const Colour& colour) { return RGB(colour.red, colour.green, colour.blue); }

// Stops the program when the system cannot make what the window needs,
// saying so in a message box as well as on the standard error.
[[noreturn]] void CannotMake(const std::string& what) {
  const std::string message = "cannot make " + what + " (system error " + std::to_string(GetLastError()) + ")";
  MessageBoxW(nullptr, Wide("Velsona non può aprire la sua finestra: " + message).c_str(), L"Velsona",
              MB_OK | MB_ICONERROR);
  StopOnFailure(message);
}

// The system class, styles and extended styles of each kind of control.
struct ClassAndStyle {
  const wchar_t* name;
  DWORD style, extended;
};
ClassAndStyle ClassAndStyleOf(const ControlSpec& spec) {
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (spec.kind) {
    case ControlKind::Frame:
      // Above what it holds in the z-order, so that a screen reader meets it
      // first, yet drawn after it (transparent), so that it hides none of it.
      return {L"BUTTON", child | BS_GROUPBOX, WS_EX_TRANSPARENT};
    case ControlKind::CaptionLabel:
      return {L"STATIC", child | SS_NOPREFIX | (spec.alignment == Alignment::Centre ? SS_CENTER : SS_LEFT), 0};
    case ControlKind::TextBox:
      return {L"EDIT", child | WS_TABSTOP | WS_GROUP | ES_CENTER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::ResultField:
      // Read-only: the user can select and copy the text but not change it,
      // and it stays out of the Tab order. With a fixed background, its
      // border is its own (DrawOwnBorder).
      return {L"EDIT", child | (spec.background ? 0 : WS_BORDER) | ES_READONLY | ES_CENTER | ES_AUTOHSCROLL, 0};
    case ControlKind::Button:
      return {L"BUTTON", child | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0};
    case ControlKind::CheckBox:
      return {L"BUTTON", child | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0};
  }
  StopOnMisuse("control \"" + std::string(spec.name) + "\" is of no known kind");
}

class Win32Window final : public NativeWindow {
 public:
  Win32Window(const WindowSpec& window, NativeEvents& events)
      : events_(events), clientWidth_(window.clientWidth), clientHeight_(window.clientHeight),
        fontFamily_(Wide(window.fontFamily)) {
    static const bool registered = [] {
      WNDCLASSEXW windowClass{};
      windowClass.cbSize = sizeof windowClass;
      windowClass.lpfnWndProc = &Procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
      windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
      windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
      windowClass.lpszClassName = kWindowClass;
      return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) CannotMake("the window class");
    // Fixed size: a border that does not resize, no maximise box.
    CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, Wide(window.title).c_str(),
                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) CannotMake("the window");
    dpi_ = GetDpiForWindow(window_);
    tooltips_ = Tooltips(nullptr, window_, dpi_);
    SetIcons(window_, dpi_, icons_);
    const SIZE outer = OuterSize();
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The window goes before the fonts and brushes its controls draw with.
  ~Win32Window() override {
    closedByProgram_ = true;
    if (window_ != nullptr) DestroyWindow(window_);
    if (annotations_ != nullptr) annotations_->Release();
  }

  // Made in reading order, the controls are siblings in that order, from the
  // top of the z-order down, which is the order screen readers read them in.
  void Make(std::size_t index, const ControlSpec& spec, std::optional<std::size_t> frame) override {
    if (controls_.size() <= index) controls_.resize(index + 1);
    Control& control = controls_[index];
    control.spec = &spec;
    control.frame = frame ? controls_[*frame].spec : nullptr;
    const auto [className, style, extended] = ClassAndStyleOf(spec);
    control.hwnd = CreateWindowExW(extended, className, Wide(spec.text).c_str(), style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (control.hwnd == nullptr) CannotMake("control " + std::string(spec.name));
    SetPropW(control.hwnd, kNameProperty, const_cast<char*>(spec.name));
    if (spec.maxLength > 0) SendMessageW(control.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(spec.maxLength), 0);
    if (spec.background) DrawOwnBorder(control.hwnd, Rgb(*spec.background));
    if (TakesTabFocus(spec.kind) || spec.kind == ControlKind::ResultField) ListenToKeys(control.hwnd, window_);
    if (fonts_.count(spec.fontPoints) == 0) fonts_[spec.fontPoints] = MakeFont(fontFamily_, spec.fontPoints, dpi_);
    Place(control);
  }
  void SetAccessible(std::size_t index, std::string_view name, std::string_view description) override {
    Annotate(annotations_, controls_[index].hwnd, name, description);
  }
  void SetTooltip(std::size_t index, std::string_view text) override {
    Control& control = controls_[index];
    velsona::platform::SetTooltip(tooltips_, window_, control.hwnd, text, control.tooltip);
    control.tooltip = true;
  }

  std::string Text(std::size_t index) const override {
    const HWND hwnd = controls_[index].hwnd;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return Utf8(text);
  }
  void SetText(std::size_t index, std::string_view text) override {
    SetWindowTextW(controls_[index].hwnd, Wide(text).c_str());
  }
  void Insert(std::size_t index, std::size_t start, std::size_t end, std::string_view text) override {
    SendMessageW(controls_[index].hwnd, EM_SETSEL, start, static_cast<LPARAM>(end));
    // Over the selection, as an edit the user can undo.
    SendMessageW(controls_[index].hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  }
  CheckState Check(std::size_t index) const override {
    const LRESULT state = SendMessageW(controls_[index].hwnd, BM_GETCHECK, 0, 0);
    return state == BST_CHECKED ? CheckState::Ticked : state == BST_INDETERMINATE ? CheckState::Grey : CheckState::Clear;
  }

  // The field's editing area with its own font in place, whose margins are
  // the widest, less a pixel to spare.
  double Room(std::size_t index) override { return SetEditFont(controls_[index].hwnd, OwnFont(index), false) - 2; }
  double TextWidth(std::size_t index, std::string_view text, double points) override {
    const UniqueFont other = points != controls_[index].spec->fontPoints ? MakeFont(fontFamily_, points, dpi_) : nullptr;
    return velsona::platform::TextWidth(controls_[index].hwnd, other ? other.get() : OwnFont(index), text);
  }
  void SetFontPoints(std::size_t index, double points) override {
    Control& control = controls_[index];
    // Kept by the field: a font is cheap, and only a wide result needs one.
    UniqueFont font = points != control.spec->fontPoints ? MakeFont(fontFamily_, points, dpi_) : nullptr;
    SetEditFont(control.hwnd, font != nullptr ? font.get() : OwnFont(index), true);
    SendMessageW(control.hwnd, EM_SETSEL, 0, 0);
    SendMessageW(control.hwnd, EM_SCROLLCARET, 0, 0);
    control.fitted = std::move(font);
    // The line of text moves to the middle of the field for the new font.
    SetWindowPos(control.hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }

  void Focus(std::size_t index) override {
    const HWND to = controls_[index].hwnd;
    // As the dialog manager does: a field reached with the keyboard has its
    // text selected, and the focus is shown from now on.
    if (controls_[index].spec->kind == ControlKind::TextBox) SendMessageW(to, EM_SETSEL, 0, -1);
    SetFocus(to);
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  }
  void Show(std::optional<std::size_t> first) override {
    // Centred on the work area of the primary monitor, at that monitor's density.
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const SIZE outer = OuterSize();
    const RECT& area = info.rcWork;
    SetWindowPos(window_, nullptr, area.left + (area.right - area.left - outer.cx) / 2,
                 area.top + (area.bottom - area.top - outer.cy) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The focus goes to the first stop now, and again if the window is activated later than shown.
    focusBeforeDeactivation_ = first ? controls_[*first].hwnd : nullptr;
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    SetForegroundWindow(window_);
    if (focusBeforeDeactivation_ != nullptr) SetFocus(focusBeforeDeactivation_);
  }
  void OpenWarning(std::string_view title, std::string_view message) override {
    warning_ = {Wide(title), Wide(message)};
    PostMessageW(window_, kShowWarning, 0, 0);
  }
  void Say(std::string_view utterance) override { Notify(window_, utterance); }
  void Beep() override { MessageBeep(MB_OK); }
  bool TabLeavesAtEnds() const override { return false; }
  void* Handle() const override { return window_; }

 private:
  struct Control {
    const ControlSpec* spec = nullptr;  // in the window's table, which outlives this window
    const ControlSpec* frame = nullptr;  // the one it sits in
    HWND hwnd = nullptr;
    UniqueFont fitted;  // a result field's smaller font, while its text needs one
    bool tooltip = false;  // whether the tooltip control knows it yet
  };

  HFONT OwnFont(std::size_t index) const { return fonts_.find(controls_[index].spec->fontPoints)->second.get(); }

  // Places the control and gives it its own font, at the window's density.
  void Place(const Control& control) {
    const ControlSpec& spec = *control.spec;
    const ControlSpec* frame = control.frame;
    SetWindowPos(control.hwnd, nullptr, Scale(spec.left + (frame ? frame->left : 0), dpi_),
                 Scale(spec.top + (frame ? frame->top : 0), dpi_), Scale(spec.width, dpi_), Scale(spec.height, dpi_),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[spec.fontPoints].get()), TRUE);
  }

  // The outer size of the window whose client area the table gives.
  SIZE OuterSize() const {
    RECT rect{0, 0, Scale(clientWidth_, dpi_), Scale(clientHeight_, dpi_)};
    AdjustWindowRectExForDpi(&rect, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)), dpi_);
    return {rect.right - rect.left, rect.bottom - rect.top};
  }

  // The index of our control `hwnd`; none for any other window.
  std::optional<std::size_t> IndexOf(HWND hwnd) const {
    const auto index = static_cast<std::size_t>(GetDlgCtrlID(hwnd) - kFirstControlId);
    if (hwnd == nullptr || index >= controls_.size() || controls_[index].hwnd != hwnd) return std::nullopt;
    return index;
  }

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<Win32Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->window_ = hwnd;
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self != nullptr ? self->Handle(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  NativeEvents& events_;
  std::vector<Control> controls_;  // by index in the table
  std::map<double, UniqueFont> fonts_;  // one per size, at the window's density
  UniqueIcon icons_[2];  // small and large, at the window's density
  HWND window_ = nullptr;
  HWND tooltips_ = nullptr;  // the controls' tooltips, all in one tooltip control
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  int clientWidth_, clientHeight_;  // twips
  std::wstring fontFamily_;
  HWND focusBeforeDeactivation_ = nullptr;
  std::pair<std::wstring, std::wstring> warning_;  // the title and text of the warning to open
  bool closedByProgram_ = false;
  IAccPropServices* annotations_ = AnnotationService();
};

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const std::optional<std::size_t> index = IndexOf(reinterpret_cast<HWND>(lParam));
      if (LOWORD(wParam) == IDOK) {
        // Enter, which the dialog manager turns into IDOK, presses the focused
        // push button, as Windows does; in a field it does nothing.
        const std::optional<std::size_t> focused = IndexOf(GetFocus());
        if (focused && controls_[*focused].spec->kind == ControlKind::Button) {
          SendMessageW(controls_[*focused].hwnd, BM_CLICK, 0, 0);
        }
      } else if (index && HIWORD(wParam) == BN_CLICKED) {
        events_.Clicked(*index);  // an auto check box has its new state by now
      } else if (index && HIWORD(wParam) == EN_MAXTEXT) {
        events_.KeyRefused(*index);
      } else if (index && HIWORD(wParam) == EN_CHANGE) {
        events_.Edited(*index);
      }
      return 0;  // nor does Escape (IDCANCEL) close the window
    }
    case WM_CTLCOLORSTATIC: {
      // Read-only edit fields ask here for their colours: a fixed background
      // with black text, readable whatever the system colours.
      const std::optional<std::size_t> index = IndexOf(reinterpret_cast<HWND>(lParam));
      if (!index || !controls_[*index].spec->background) break;
      const auto dc = reinterpret_cast<HDC>(wParam);
      const COLORREF colour = Rgb(*controls_[*index].spec->background);
      SetBkColor(dc, colour);
      SetDCBrushColor(dc, colour);
      SetTextColor(dc, kFixedInk);
      return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    case WM_ACTIVATE:
      // Keyboard focus goes back where it was when the window is active again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        focusBeforeDeactivation_ = GetFocus();
      } else if (focusBeforeDeactivation_ != nullptr && IsChild(window_, focusBeforeDeactivation_)) {
        SetFocus(focusBeforeDeactivation_);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      // The controls let go of the old fonts before they are deleted.
      const std::map<double, UniqueFont> old = std::move(fonts_);
      fonts_.clear();
      for (const auto& [points, font] : old) fonts_[points] = MakeFont(fontFamily_, points, dpi_);
      for (const Control& control : controls_) Place(control);
      SetIcons(window_, dpi_, icons_);
      Tooltips(tooltips_, window_, dpi_);
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      events_.Rescaled();
      return 0;
    }
    case kTabKey:
      events_.Tabbed(IndexOf(reinterpret_cast<HWND>(lParam)), wParam != 0);
      return 0;
    case kPasted:
      if (const std::optional<std::size_t> index = IndexOf(reinterpret_cast<HWND>(wParam))) {
        DWORD start = 0, end = 0;
        SendMessageW(controls_[*index].hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        events_.Pasted(*index, Utf8(*reinterpret_cast<const std::wstring*>(lParam)), start, end);
      }
      return 0;
    case kShowWarning:
      MessageBoxW(window_, warning_.second.c_str(), warning_.first.c_str(), MB_OK | MB_ICONWARNING);
      events_.WarningClosed();
      return 0;
    case WM_DESTROY:
      events_.Closed();
      for (const Control& control : controls_) {
        RemovePropW(control.hwnd, kNameProperty);
        Forget(annotations_, control.hwnd);
      }
      // Closing the window ends the program; a window the program itself
      // destroys leaves the event loop running.
      if (!closedByProgram_) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      // The window's last message: its default handling still goes to it.
      const HWND last = window_;
      SetWindowLongPtrW(last, GWLP_USERDATA, 0);
      window_ = nullptr;
      return DefWindowProcW(last, message, wParam, lParam);
    }
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<NativeWindow> MakeNativeWindow(const WindowSpec& window, NativeEvents& events) {
  return std::make_unique<Win32Window>(window, events);
}

NumberFormat CurrentNumberFormat() {
  NumberFormat format;
  wchar_t separator[8] = {};
  // Read afresh each time: a change in the regional settings counts at once.
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1) {
    format.decimalSeparator = Utf8(separator);
  }
  return format;
}

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
    // The dialog manager gives each top-level window of ours Tab, Shift+Tab and Enter.
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
