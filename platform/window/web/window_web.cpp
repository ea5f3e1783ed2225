// The native window in a web page: every control is an element of the
// page, made, read and changed through the few functions of page.js below,
// which hands the user's acts back through the functions at the end.

#include <emscripten.h>

#include <algorithm>
#include <string>

#include "platform/window/form_rules.h"
#include "platform/window/native_window.h"

extern "C" {
void velsona_page_open(const char* title, int width, int height, const char* fontFamily);
void velsona_page_icon(const int* sizes, int count);
void velsona_page_make(int index, const char* name, int kind, int frame, int left, int top, int width, int height,
                       const char* text, double points, int centred, int maxLength, int background);
void velsona_page_set_accessible(int index, const char* name);
void velsona_page_set_tooltip(int index, const char* text);
int velsona_page_text(int index, char* buffer, int capacity);
void velsona_page_set_text(int index, const char* text);
void velsona_page_insert(int index, int start, int end, const char* text);
int velsona_page_checked(int index);
double velsona_page_room(int index);
double velsona_page_measure(const char* text, double points);
void velsona_page_set_points(int index, double points);
void velsona_page_focus(int index);
void velsona_page_show(int first);
void velsona_page_warn(const char* title, const char* message);
void velsona_page_announce(const char* text);
int velsona_page_pasted_text(char* buffer, int capacity);
int velsona_page_decimal_separator(char* buffer, int capacity);
}

namespace velsona::platform {
namespace {

// A text the page gives back, as UTF-8: asked once with a guess, again when longer.
template <typename Read>
std::string ReadFromPage(Read read) {
  std::string text(64, '\0');
  int size = read(text.data(), static_cast<int>(text.size() + 1));
  if (size > static_cast<int>(text.size())) {
    text.assign(static_cast<std::size_t>(size), '\0');
    size = read(text.data(), size + 1);
  }
  text.resize(static_cast<std::size_t>(std::max(size, 0)));
  return text;
}

int PackedColour(const std::optional<Colour>& colour) {
  return colour ? colour->red << 16 | colour->green << 8 | colour->blue : -1;
}

int Index(std::size_t index) { return static_cast<int>(index); }

// The id of the page's element that is the window.
constexpr char kWindowElement[] = "velsona";

// What the user does on the page goes to the window's shared side; the page
// holds one window, for as long as it is open.
NativeEvents* events = nullptr;

class WebWindow final : public NativeWindow {
 public:
  WebWindow(const WindowSpec& window, NativeEvents& listener) {
    events = &listener;
    velsona_page_open(window.title, TwipsToPixels(window.clientWidth), TwipsToPixels(window.clientHeight),
                      window.fontFamily);
    velsona_page_icon(kIconSizes.data(), static_cast<int>(kIconSizes.size()));
  }
  // Never run: the window lasts as long as the page (Application::Run).
  ~WebWindow() override { events = nullptr; }

  void Make(std::size_t index, const ControlSpec& spec, std::optional<std::size_t> frame) override {
    velsona_page_make(Index(index), spec.name, static_cast<int>(spec.kind), frame ? Index(*frame) : -1,
                      TwipsToPixels(spec.left), TwipsToPixels(spec.top), TwipsToPixels(spec.width),
                      TwipsToPixels(spec.height), spec.text, spec.fontPoints, spec.alignment == Alignment::Centre,
                      spec.maxLength, PackedColour(spec.background));
  }
  void SetAccessible(std::size_t index, std::string_view name, std::string_view) override {
    velsona_page_set_accessible(Index(index), std::string(name).c_str());
  }
  void SetTooltip(std::size_t index, std::string_view text) override {
    velsona_page_set_tooltip(Index(index), std::string(text).c_str());
  }
  std::string Text(std::size_t index) const override {
    return ReadFromPage([index](char* buffer, int capacity) { return velsona_page_text(Index(index), buffer, capacity); });
  }
  void SetText(std::size_t index, std::string_view text) override {
    velsona_page_set_text(Index(index), std::string(text).c_str());
  }
  void Insert(std::size_t index, std::size_t start, std::size_t end, std::string_view text) override {
    velsona_page_insert(Index(index), Index(start), Index(end), std::string(text).c_str());
  }
  CheckState Check(std::size_t index) const override {
    return velsona_page_checked(Index(index)) != 0 ? CheckState::Ticked : CheckState::Clear;
  }
  double Room(std::size_t index) override { return velsona_page_room(Index(index)); }
  double TextWidth(std::size_t, std::string_view text, double points) override {
    return velsona_page_measure(std::string(text).c_str(), points);
  }
  void SetFontPoints(std::size_t index, double points) override { velsona_page_set_points(Index(index), points); }
  void Focus(std::size_t index) override { velsona_page_focus(Index(index)); }
  void Show(std::optional<std::size_t> first) override { velsona_page_show(first ? Index(*first) : -1); }
  void OpenWarning(std::string_view title, std::string_view message) override {
    velsona_page_warn(std::string(title).c_str(), std::string(message).c_str());
  }
  void Say(std::string_view utterance) override { velsona_page_announce(std::string(utterance).c_str()); }
  // A page has no sound of its own for a key a field cannot take.
  void Beep() override {}
  // Tab at the window's ends goes on to the rest of the page and the browser.
  bool TabLeavesAtEnds() const override { return true; }
  void* Handle() const override { return const_cast<char*>(kWindowElement); }
};

}  // namespace

std::unique_ptr<NativeWindow> MakeNativeWindow(const WindowSpec& window, NativeEvents& listener) {
  return std::make_unique<WebWindow>(window, listener);
}

NumberFormat CurrentNumberFormat() {
  NumberFormat format;
  const std::string separator = ReadFromPage(velsona_page_decimal_separator);
  if (!separator.empty()) format.decimalSeparator = separator;
  return format;
}

struct Application::Impl {};

Application::Application(int&, char**) : impl_(std::make_unique<Impl>()) {}

Application::~Application() = default;

// The page is the event loop: main returns to the browser, and the window
// and its handlers stay alive for as long as the page is open.
int Application::Run() {
  emscripten_exit_with_live_runtime();
  return 0;
}

// What the user does on the page, reported by page.js. The web build has no
// exceptions, so nothing crosses back into JavaScript from here; misuse
// stops the program with its message on the console.

extern "C" EMSCRIPTEN_KEEPALIVE void velsona_page_clicked(int control) noexcept {
  if (events != nullptr && control >= 0) events->Clicked(static_cast<std::size_t>(control));
}

// 1 where the program moved the focus; 0 where the browser's Tab is to go on.
extern "C" EMSCRIPTEN_KEEPALIVE int velsona_page_tabbed(int control, int backwards) noexcept {
  return events != nullptr && control >= 0 && events->Tabbed(static_cast<std::size_t>(control), backwards != 0);
}

extern "C" EMSCRIPTEN_KEEPALIVE void velsona_page_pasted(int control, int start, int end) noexcept {
  if (events == nullptr || control < 0) return;
  events->Pasted(static_cast<std::size_t>(control), ReadFromPage(velsona_page_pasted_text),
                 static_cast<std::size_t>(std::max(start, 0)), static_cast<std::size_t>(std::max(end, 0)));
}

extern "C" EMSCRIPTEN_KEEPALIVE void velsona_page_refused(int control) noexcept {
  if (events != nullptr && control >= 0) events->KeyRefused(static_cast<std::size_t>(control));
}

extern "C" EMSCRIPTEN_KEEPALIVE void velsona_page_edited(int control) noexcept {
  if (events != nullptr && control >= 0) events->Edited(static_cast<std::size_t>(control));
}

extern "C" EMSCRIPTEN_KEEPALIVE void velsona_page_warning_closed() noexcept {
  if (events != nullptr) events->WarningClosed();
}

}  // namespace velsona::platform
