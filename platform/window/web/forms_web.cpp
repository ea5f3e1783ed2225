#include "platform/window/forms.h"

#include <emscripten.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

// The window in a web page: every control is an element of the page, made
// and read through the few functions of page.js below. The page, not this
// file, knows the elements; this file keeps the table's rules.
extern "C" {
void velsona_page_open(const char* title, int width, int height, const char* fontFamily);
void velsona_page_frame(const char* name, int left, int top, int width, int height, const char* accessibleName);
void velsona_page_control(const char* name, int kind, const char* frame, int left, int top, int width, int height,
                          const char* text, double points, int centred, int maxLength, int background,
                          const char* accessibleName, const char* description);
int velsona_page_text(const char* name, char* buffer, int capacity);
void velsona_page_set_result(const char* name, const char* text, double points, const char* tooltip,
                             const char* announcement);
int velsona_page_checked(const char* name);
double velsona_page_room(const char* name);
double velsona_page_measure(const char* name, const char* text, double points);
void velsona_page_on_click(const char* name, int handler);
void velsona_page_show(const char* first);
void velsona_page_warn(const char* title, const char* message);
int velsona_page_decimal_separator(char* buffer, int capacity);
void velsona_page_close();
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

int PackedColour(const std::optional<Colour>& colour) {
  return colour ? colour->red << 16 | colour->green << 8 | colour->blue : -1;
}

bool TakesTabFocus(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::Button || kind == ControlKind::CheckBox;
}

// The table's controls in the order they become elements: the frames first,
// then every other control by tab index, so that the order of the elements
// is the Tab order.
std::vector<const ControlSpec*> CreationOrder(const std::vector<ControlSpec>& controls) {
  std::vector<const ControlSpec*> ordered;
  for (const ControlSpec& spec : controls) ordered.push_back(&spec);
  std::stable_sort(ordered.begin(), ordered.end(), [](const ControlSpec* a, const ControlSpec* b) {
    const bool aFrame = a->kind == ControlKind::Frame, bFrame = b->kind == ControlKind::Frame;
    if (aFrame != bFrame) return aFrame;
    return !aFrame && a->tabIndex < b->tabIndex;
  });
  return ordered;
}

// The size a result's text is drawn in: its own font when the text fits the
// room, otherwise that font made smaller, a quarter point at a time, until it does.
template <typename Measure>
double FittingPoints(double own, double room, Measure width) {
  double points = own;
  while (points > 4.0 && width(points) > room) points -= 0.25;
  return points;
}

}  // namespace

NumberFormat CurrentNumberFormat() {
  NumberFormat format;
  const std::string separator =
      ReadFromPage([](char* buffer, int capacity) { return velsona_page_decimal_separator(buffer, capacity); });
  if (!separator.empty()) format.decimalSeparator = separator;
  return format;
}

struct Form::Impl {
  std::map<std::string, const ControlSpec*, std::less<>> controls;
  std::vector<int> handlers;
  std::string firstTabStop;

  // The control `name`, which must be of one of `kinds`.
  const ControlSpec& Find(std::string_view name, std::initializer_list<ControlKind> kinds) const {
    const auto found = controls.find(name);
    if (found == controls.end() ||
        std::find(kinds.begin(), kinds.end(), found->second->kind) == kinds.end()) {
      throw std::invalid_argument("no such control: " + std::string(name));
    }
    return *found->second;
  }
};

Form::Form(const WindowSpec& window, const std::vector<ControlSpec>& controls) : impl_(std::make_unique<Impl>()) {
  for (const ControlSpec& spec : controls) {
    if (!impl_->controls.emplace(spec.name, &spec).second) {
      throw std::invalid_argument("two controls named " + std::string(spec.name));
    }
  }
  velsona_page_open(window.title, TwipsToPixels(window.clientWidth), TwipsToPixels(window.clientHeight),
                    window.fontFamily);
  int firstTab = 0;
  for (const ControlSpec* spec : CreationOrder(controls)) {
    const int left = TwipsToPixels(spec->left), top = TwipsToPixels(spec->top);
    const int width = TwipsToPixels(spec->width), height = TwipsToPixels(spec->height);
    if (spec->kind == ControlKind::Frame) {
      velsona_page_frame(spec->name, left, top, width, height, spec->accessibleName);
      continue;
    }
    if (*spec->frame != '\0') impl_->Find(spec->frame, {ControlKind::Frame});
    velsona_page_control(spec->name, static_cast<int>(spec->kind), spec->frame, left, top, width, height,
                         spec->text, spec->fontPoints, spec->alignment == Alignment::Centre, spec->maxLength,
                         PackedColour(spec->background), spec->accessibleName, spec->accessibleDescription);
    if (TakesTabFocus(spec->kind) && (impl_->firstTabStop.empty() || spec->tabIndex < firstTab)) {
      impl_->firstTabStop = spec->name;
      firstTab = spec->tabIndex;
    }
  }
}

Form::~Form() {
  for (const int handler : impl_->handlers) ClickHandlers()[static_cast<std::size_t>(handler)] = nullptr;
  velsona_page_close();
}

std::string Form::Text(std::string_view control) const {
  const ControlSpec& spec = impl_->Find(control, {ControlKind::TextBox, ControlKind::ResultField});
  return ReadFromPage([&spec](char* buffer, int capacity) { return velsona_page_text(spec.name, buffer, capacity); });
}

void Form::SetText(std::string_view control, std::string_view text) {
  const ControlSpec& spec = impl_->Find(control, {ControlKind::ResultField});
  const std::string value(text);
  const double room = velsona_page_room(spec.name);
  const double points = FittingPoints(spec.fontPoints, room, [&](double size) {
    return velsona_page_measure(spec.name, value.c_str(), size);
  });
  // A result field's tooltip is its whole text; while empty, its description.
  const std::string announcement =
      value.empty() || *spec.accessibleName == '\0' ? value : std::string(spec.accessibleName) + ": " + value;
  velsona_page_set_result(spec.name, value.c_str(), points, value.empty() ? spec.accessibleDescription : value.c_str(),
                          announcement.c_str());
}

CheckState Form::Check(std::string_view control) const {
  const ControlSpec& spec = impl_->Find(control, {ControlKind::CheckBox});
  return velsona_page_checked(spec.name) != 0 ? CheckState::Ticked : CheckState::Clear;
}

void Form::OnClick(std::string_view control, std::function<void()> handler) {
  const ControlSpec& spec = impl_->Find(control, {ControlKind::Button, ControlKind::CheckBox});
  ClickHandlers().push_back(std::move(handler));
  const int id = static_cast<int>(ClickHandlers().size() - 1);
  impl_->handlers.push_back(id);
  velsona_page_on_click(spec.name, id);
}

void Form::Show() { velsona_page_show(impl_->firstTabStop.c_str()); }

void Form::Warn(std::string_view title, std::string_view message) {
  velsona_page_warn(std::string(title).c_str(), std::string(message).c_str());
}

void* Form::NativeWindow() const { return impl_.get(); }

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
extern "C" EMSCRIPTEN_KEEPALIVE void velsona_page_clicked(int handler) {
  auto& handlers = velsona::platform::ClickHandlers();
  if (handler >= 0 && static_cast<std::size_t>(handler) < handlers.size() && handlers[static_cast<std::size_t>(handler)]) {
    handlers[static_cast<std::size_t>(handler)]();
  }
}
