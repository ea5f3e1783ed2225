#include "platform/window/forms.h"

#include <emscripten.h>

#include <algorithm>
#include <string>

#include "platform/window/announcements.h"
#include "platform/window/form_rules.h"

// The window in a web page: every control is an element of the page, made
// and read through the few functions of page.js below. The page, not this
// file, knows the elements; the table's rules are form_rules.h's.
extern "C" {
void velsona_page_open(const char* title, int width, int height, const char* fontFamily);
void velsona_page_frame(const char* name, int left, int top, int width, int height, const char* accessibleName);
void velsona_page_control(const char* name, int kind, const char* frame, int left, int top, int width, int height,
                          const char* text, double points, int centred, int maxLength, int background,
                          const char* accessibleName, const char* description);
void velsona_page_own(const char* frame, const char* control);
int velsona_page_text(const char* name, char* buffer, int capacity);
void velsona_page_set_result(const char* name, const char* text, double points, const char* tooltip);
void velsona_page_announce(const char* text);
int velsona_page_checked(const char* name);
double velsona_page_room(const char* name);
void velsona_page_icon(const int* sizes, int count);
double velsona_page_measure(const char* text, double points);
void velsona_page_on_click(const char* name, int handler);
void velsona_page_show(const char* first);
void velsona_page_warn(const char* title, const char* message);
int velsona_page_decimal_separator(char* buffer, int capacity);
void velsona_page_on_paste(const char* name, int handler);
int velsona_page_pasted_text(char* buffer, int capacity);
int velsona_page_selection(const char* name, int end);
void velsona_page_set_text(const char* name, const char* text, int caret);
}

namespace velsona::platform {
namespace {

// The click handlers of the page's controls, by the number page.js calls back with.
std::vector<std::function<void()>>& ClickHandlers() {
  static std::vector<std::function<void()>> handlers;
  return handlers;
}

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

// The paste handlers of the page's text boxes, by the number page.js calls back with.
std::vector<std::function<bool()>>& PasteHandlers() {
  static std::vector<std::function<bool()>> handlers;
  return handlers;
}

// Pastes the text the page holds from the user's paste into text box `name`
// as the paste rule says: in whole, or not at all and the user told why.
// False where the browser's own paste gives the same, and is left to it.
bool PasteInto(const std::string& name, int maxLength, const std::string& field) {
  const std::string text =
      ReadFromPage([&name](char* buffer, int capacity) { return velsona_page_text(name.c_str(), buffer, capacity); });
  const std::string pasted = ReadFromPage(velsona_page_pasted_text);
  const auto start = static_cast<std::size_t>(std::max(0, velsona_page_selection(name.c_str(), 0)));
  const auto end = static_cast<std::size_t>(std::max(0, velsona_page_selection(name.c_str(), 1)));
  const PasteOutcome outcome = Paste(text, start, end, pasted, maxLength, field);
  switch (outcome.kind) {
    case PasteOutcome::Kind::Inserted:
      if (outcome.inserted == pasted) return false;  // whole, as typed: the browser cuts nothing
      velsona_page_set_text(name.c_str(), outcome.text.c_str(), static_cast<int>(outcome.caret));
      return true;
    case PasteOutcome::Kind::Refused:
      velsona_page_warn(kWarningTitle, outcome.message.c_str());
      return true;
    case PasteOutcome::Kind::Nothing:
      return !pasted.empty();
  }
  return true;
}

int PackedColour(const std::optional<Colour>& colour) {
  return colour ? colour->red << 16 | colour->green << 8 | colour->blue : -1;
}

}  // namespace

NumberFormat CurrentNumberFormat() {
  NumberFormat format;
  const std::string separator =
      ReadFromPage([](char* buffer, int capacity) { return velsona_page_decimal_separator(buffer, capacity); });
  if (!separator.empty()) format.decimalSeparator = separator;
  return format;
}

// The id of the page's element that is the window.
constexpr char kWindowElement[] = "velsona";

struct Form::Impl {
  explicit Impl(const std::vector<ControlSpec>& controls) : table(controls) {}
  ControlTable table;
  Announcements announcements;

  // Tells a screen reader what the result fields' changes so far come to.
  void Announce() {
    const std::string utterance = announcements.Take();
    if (!utterance.empty()) velsona_page_announce(utterance.c_str());
  }
};

Form::Form(const WindowSpec& window, const std::vector<ControlSpec>& controls)
    : impl_(std::make_unique<Impl>(controls)) {
  const ControlTable& table = impl_->table;
  velsona_page_open(window.title, TwipsToPixels(window.clientWidth), TwipsToPixels(window.clientHeight),
                    window.fontFamily);
  velsona_page_icon(kIconSizes.data(), static_cast<int>(kIconSizes.size()));
  // In this order the elements are made, so that their order is the Tab order
  // without a positive tabindex ...
  for (const std::size_t index : table.CreationOrder()) {
    const ControlSpec& spec = table[index];
    const int left = TwipsToPixels(spec.left), top = TwipsToPixels(spec.top);
    const int width = TwipsToPixels(spec.width), height = TwipsToPixels(spec.height);
    if (spec.kind == ControlKind::Frame) {
      velsona_page_frame(spec.name, left, top, width, height, spec.accessibleName);
      continue;
    }
    velsona_page_control(spec.name, static_cast<int>(spec.kind), spec.frame, left, top, width, height, spec.text,
                         spec.fontPoints, spec.alignment == Alignment::Centre, spec.maxLength,
                         PackedColour(spec.background), spec.accessibleName, spec.accessibleDescription);
    if (spec.kind == ControlKind::TextBox) {
      PasteHandlers().push_back([name = std::string(spec.name), limit = spec.maxLength,
                                 field = std::string(*spec.accessibleName != '\0' ? spec.accessibleName : spec.name)] {
        return PasteInto(name, limit, field);
      });
      velsona_page_on_paste(spec.name, static_cast<int>(PasteHandlers().size() - 1));
    }
  }
  // ... and in this order the frames own them, which is what a screen reader reads.
  for (const std::size_t index : table.ReadingOrder()) {
    if (const std::optional<std::size_t> frame = table.FrameOf(index)) {
      velsona_page_own(table[*frame].name, table[index].name);
    }
  }
}

// Never run: the window lasts as long as the page (Application::Run).
Form::~Form() = default;

std::string Form::Text(std::string_view control) const {
  const ControlSpec& spec = impl_->table[impl_->table.Find(control, Use::ReadText)];
  return ReadFromPage([&spec](char* buffer, int capacity) { return velsona_page_text(spec.name, buffer, capacity); });
}

void Form::SetText(std::string_view control, std::string_view text) {
  const ControlSpec& spec = impl_->table[impl_->table.Find(control, Use::WriteText)];
  const std::string value(text);
  const std::string before =
      ReadFromPage([&spec](char* buffer, int capacity) { return velsona_page_text(spec.name, buffer, capacity); });
  const double room = velsona_page_room(spec.name);
  const double points = FittingFontSize(spec.fontPoints, room, kSmallestResultPoints, 0.25, [&](double size) {
    return velsona_page_measure(value.c_str(), size);
  });
  const std::string tooltip = ResultTooltip(spec.accessibleDescription, value, points < spec.fontPoints);
  velsona_page_set_result(spec.name, value.c_str(), points, tooltip.c_str());
  impl_->announcements.Changed(spec.accessibleName, before, value);
}

CheckState Form::Check(std::string_view control) const {
  const ControlSpec& spec = impl_->table[impl_->table.Find(control, Use::ReadCheck)];
  return velsona_page_checked(spec.name) != 0 ? CheckState::Ticked : CheckState::Clear;
}

void Form::OnClick(std::string_view control, std::function<void()> handler) {
  const ControlSpec& spec = impl_->table[impl_->table.Find(control, Use::Click)];
  // Each call adds a listener on the element, and the page runs them in the order added.
  ClickHandlers().push_back([impl = impl_.get(), handler = std::move(handler)] {
    handler();
    impl->Announce();
  });
  velsona_page_on_click(spec.name, static_cast<int>(ClickHandlers().size() - 1));
}

void Form::Show() {
  const std::vector<std::size_t> stops = impl_->table.TabOrder();
  velsona_page_show(stops.empty() ? "" : impl_->table[stops.front()].name);
}

void Form::Warn(std::string_view title, std::string_view message) {
  // The results' changes first: the message is what a screen reader speaks next.
  impl_->Announce();
  velsona_page_warn(std::string(title).c_str(), std::string(message).c_str());
}

void* Form::NativeWindow() const { return const_cast<char*>(kWindowElement); }

struct Application::Impl {};

Application::Application(int&, char**) : impl_(std::make_unique<Impl>()) {}

Application::~Application() = default;

// The page is the event loop: main returns to the browser, and the window
// and its handlers stay alive for as long as the page is open.
int Application::Run() {
  emscripten_exit_with_live_runtime();
  return 0;
}

}  // namespace velsona::platform

// Called by the page when the user clicks a button or check box (or presses it with a key).
// The web build has no exceptions, so nothing crosses back into JavaScript
// from here; misuse stops the program with its message on the console.
extern "C" EMSCRIPTEN_KEEPALIVE void velsona_page_clicked(int handler) noexcept {
  auto& handlers = velsona::platform::ClickHandlers();
  if (handler >= 0 && static_cast<std::size_t>(handler) < handlers.size() && handlers[static_cast<std::size_t>(handler)]) {
    handlers[static_cast<std::size_t>(handler)]();
  }
}

// Called by the page when the user pastes into a text box.
// Gives 1 where the page is to hold the browser's own paste back.
extern "C" EMSCRIPTEN_KEEPALIVE int velsona_page_pasted(int handler) noexcept {
  auto& handlers = velsona::platform::PasteHandlers();
  const auto index = static_cast<std::size_t>(handler);
  return handler >= 0 && index < handlers.size() && handlers[index]() ? 1 : 0;
}
