#include "platform/window/forms.h"

// The window, decided once for every toolkit: what a click runs and when a
// screen reader hears of it, the sequence that shows a result (its text, a
// font it fits in, its tooltip and its name), the queue of warnings, where
// Tab goes, what a paste becomes, and what a full field tells. The
// toolkit's window (native_window.h) only makes the controls, carries out
// what is decided here, and reports what the user does.

#include <algorithm>
#include <deque>
#include <optional>
#include <utility>

#include "platform/window/announcements.h"
#include "platform/window/form_rules.h"
#include "platform/window/native_window.h"

namespace velsona::platform {
namespace {

// What the window calls a control when it tells the user of it.
std::string_view SpokenName(const ControlSpec& spec) {
  return *spec.accessibleName != '\0' ? spec.accessibleName : spec.name;
}

// A result field's accessible name: what it is, then what it shows
// ("Risultato in mV/Pa: 4,4668"), so that a reader meeting it hears both.
std::string ResultName(std::string_view name, std::string_view value) {
  return value.empty() || name.empty() ? std::string(name) : std::string(name) + ": " + std::string(value);
}

}  // namespace

struct Form::Impl final : NativeEvents {
  explicit Impl(const std::vector<ControlSpec>& controls)
      : table(controls), handlers(table.size()), toldFull(table.size()) {}

  struct Warning {
    std::string title, message;
  };

  ControlTable table;
  std::vector<std::vector<std::function<void()>>> handlers;  // by control, in the order added
  Announcements announcements;
  std::deque<Warning> warnings;  // waiting to open, one at a time
  bool warningOpen = false;
  int handling = 0;  // click handlers running now, which a warning waits for
  bool closed = false;
  // The text each text box was full with when the user was last told so,
  // until its text changes.
  std::vector<std::optional<std::string>> toldFull;
  // Last, so that it goes first, while all it reports to is still whole.
  std::unique_ptr<platform::NativeWindow> native;

  // Tells a screen reader what the result fields' changes so far come to.
  void Announce() {
    const std::string utterance = announcements.Take();
    if (!utterance.empty() && !closed) native->Say(utterance);
  }

  void Warn(std::string_view title, std::string_view message) {
    // The results' changes first: the warning is what a screen reader speaks next.
    Announce();
    warnings.push_back({std::string(title), std::string(message)});
    OpenNextWarning();
  }

  // A warning opens once the handler that gave it has returned, and after
  // the one before it has closed.
  void OpenNextWarning() {
    if (warningOpen || handling > 0 || warnings.empty() || closed) return;
    const Warning next = std::move(warnings.front());
    warnings.pop_front();
    warningOpen = true;
    native->OpenWarning(next.title, next.message);
  }

  // Draws result `index` in the largest font, down to the smallest, in
  // which `text` shows whole; its tooltip gives the text in full when the
  // font is smaller than its own.
  void Fit(std::size_t index, std::string_view text) {
    const ControlSpec& spec = table[index];
    const double points = FittingFontSize(spec.fontPoints, native->Room(index), kSmallestResultPoints,
                                          kResultPointsStep,
                                          [&](double size) { return native->TextWidth(index, text, size); });
    native->SetFontPoints(index, points);
    native->SetTooltip(index, ResultTooltip(spec.accessibleDescription, text, points < spec.fontPoints));
  }

  void Clicked(std::size_t control) override {
    if (control >= handlers.size()) return;
    // A copy: a handler may add handlers.
    const std::vector<std::function<void()>> run = handlers[control];
    ++handling;
    for (const auto& handler : run) handler();
    --handling;
    Announce();
    OpenNextWarning();
  }

  bool Tabbed(std::optional<std::size_t> from, bool backwards) override {
    if (from && *from >= table.size()) from.reset();
    const std::optional<std::size_t> to = table.NextTabStop(from, backwards, !native->TabLeavesAtEnds());
    if (!to) return false;
    native->Focus(*to);
    return true;
  }

  bool Pasted(std::size_t control, std::string_view text, std::size_t start, std::size_t end) override {
    if (control >= table.size() || table[control].kind != ControlKind::TextBox) return false;
    const ControlSpec& spec = table[control];
    const PasteOutcome outcome = Paste(native->Text(control), start, end, text, spec.maxLength, SpokenName(spec));
    switch (outcome.kind) {
      case PasteOutcome::Kind::Inserted:
        native->Insert(control, std::min(start, end), std::max(start, end), outcome.inserted);
        Edited(control);
        return true;
      case PasteOutcome::Kind::Refused:
        Warn(kWarningTitle, outcome.message);
        return false;
      case PasteOutcome::Kind::Nothing:
        return false;
    }
    return false;
  }

  // A full box sounds the system's beep at each key it holds back, and a
  // screen reader is told why once, until the box's text changes.
  void KeyRefused(std::size_t control) override {
    if (control >= table.size() || table[control].kind != ControlKind::TextBox) return;
    native->Beep();
    if (toldFull[control]) return;
    native->Say(FullFieldMessage(SpokenName(table[control]), table[control].maxLength));
    toldFull[control] = native->Text(control);
  }

  // Some toolkits report an edit that changed nothing: only a new text counts.
  void Edited(std::size_t control) override {
    if (control < toldFull.size() && toldFull[control] != native->Text(control)) toldFull[control].reset();
  }

  void WarningClosed() override {
    warningOpen = false;
    OpenNextWarning();
  }

  void Rescaled() override {
    for (std::size_t i = 0; i < table.size(); ++i) {
      if (table[i].kind == ControlKind::ResultField) Fit(i, native->Text(i));
    }
  }

  void Closed() override { closed = true; }
};

Form::Form(const WindowSpec& window, const std::vector<ControlSpec>& controls)
    : impl_(std::make_unique<Impl>(controls)) {
  Impl& impl = *impl_;
  impl.native = MakeNativeWindow(window, impl);
  for (const std::size_t i : impl.table.ReadingOrder()) {
    const ControlSpec& spec = impl.table[i];
    impl.native->Make(i, spec, impl.table.FrameOf(i));
    impl.native->SetAccessible(i, spec.accessibleName, spec.accessibleDescription);
    // Every description is also a tooltip.
    if (*spec.accessibleDescription != '\0') impl.native->SetTooltip(i, spec.accessibleDescription);
  }
}

Form::~Form() = default;

std::string Form::Text(std::string_view control) const {
  return impl_->native->Text(impl_->table.Find(control, Use::ReadText));
}

void Form::SetText(std::string_view control, std::string_view text) {
  Impl& impl = *impl_;
  const std::size_t index = impl.table.Find(control, Use::WriteText);
  const ControlSpec& spec = impl.table[index];
  const std::string before = impl.native->Text(index);
  if (before == text) return;
  impl.native->SetText(index, text);
  impl.Fit(index, text);
  impl.native->SetAccessible(index, ResultName(spec.accessibleName, text), spec.accessibleDescription);
  impl.announcements.Changed(spec.accessibleName, before, text);
}

CheckState Form::Check(std::string_view control) const {
  return impl_->native->Check(impl_->table.Find(control, Use::ReadCheck));
}

void Form::OnClick(std::string_view control, std::function<void()> handler) {
  impl_->handlers[impl_->table.Find(control, Use::Click)].push_back(std::move(handler));
}

void Form::Show() {
  const std::vector<std::size_t> stops = impl_->table.TabOrder();
  impl_->native->Show(stops.empty() ? std::nullopt : std::optional(stops.front()));
}

void Form::Warn(std::string_view title, std::string_view message) { impl_->Warn(title, message); }

void* Form::NativeWindow() const { return impl_->native->Handle(); }

}  // namespace velsona::platform
