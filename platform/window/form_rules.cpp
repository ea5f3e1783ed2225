#include "platform/window/form_rules.h"

#include <algorithm>
#include <stdexcept>

#include "platform/numeric/blanks.h"

namespace velsona::platform {
namespace {

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Frame: return "frame";
    case ControlKind::CaptionLabel: return "caption";
    case ControlKind::TextBox: return "text box";
    case ControlKind::ResultField: return "result field";
    case ControlKind::Button: return "button";
    case ControlKind::CheckBox: return "check box";
  }
  return "control";
}

bool Supports(ControlKind kind, Use use) {
  switch (use) {
    case Use::ReadText: return kind == ControlKind::TextBox || kind == ControlKind::ResultField;
    case Use::WriteText: return kind == ControlKind::ResultField;
    case Use::ReadCheck: return kind == ControlKind::CheckBox;
    case Use::Click: return kind == ControlKind::Button || kind == ControlKind::CheckBox;
  }
  return false;
}

const char* UseName(Use use) {
  switch (use) {
    case Use::ReadText: return "have its text read";
    case Use::WriteText: return "have its text set";
    case Use::ReadCheck: return "have its tick read";
    case Use::Click: return "be clicked";
  }
  return "be used";
}

[[noreturn]] void Refuse(std::string_view control, const std::string& why) {
  throw std::invalid_argument("control \"" + std::string(control) + "\" " + why);
}

std::string Owned(const char* text) { return text == nullptr ? std::string() : std::string(text); }

// The UTF-16 units of the UTF-8 character that starts with `lead`: two
// beyond the first 65,536 code points, none for a continuation byte.
std::size_t Utf16Units(unsigned char lead) {
  if ((lead & 0xC0) == 0x80) return 0;
  return lead >= 0xF0 ? 2 : 1;
}

std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (const char c : text) units += Utf16Units(static_cast<unsigned char>(c));
  return units;
}

// The byte where the character at UTF-16 position `units` starts; the end
// of the text beyond it.
std::size_t ByteOffset(std::string_view text, std::size_t units) {
  std::size_t i = 0;
  for (std::size_t counted = 0; i < text.size(); ++i) {
    const std::size_t width = Utf16Units(static_cast<unsigned char>(text[i]));
    if (width > 0 && counted >= units) break;
    counted += width;
  }
  return i;
}

// `text` without the blanks at its start and its end.
std::string_view WithoutBlanksAround(std::string_view text) {
  std::size_t start = 0;
  while (const std::size_t length = BlankLength(text.substr(start))) start += length;
  std::size_t end = start;  // after the last character that is not a blank
  for (std::size_t i = start; i < text.size();) {
    if (const std::size_t length = BlankLength(text.substr(i))) {
      i += length;
    } else {
      end = ++i;
    }
  }
  return text.substr(start, end - start);
}

}  // namespace

bool TakesTabFocus(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::Button || kind == ControlKind::CheckBox;
}

ControlTable::ControlTable(const std::vector<ControlSpec>& controls) {
  entries_.reserve(controls.size());
  for (const ControlSpec& spec : controls) {
    if (spec.name == nullptr || *spec.name == '\0') Refuse("", "has no name");
    if (spec.frame == nullptr || spec.text == nullptr || spec.accessibleName == nullptr ||
        spec.accessibleDescription == nullptr) {
      Refuse(spec.name, "has a null text; use \"\" for none");
    }
    entries_.push_back(Entry{spec, spec.name, spec.frame, spec.text, Owned(spec.accessibleName),
                             Owned(spec.accessibleDescription)});
  }
  // The strings are in their final place now.
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Entry& entry = entries_[i];
    entry.spec.name = entry.name.c_str();
    entry.spec.frame = entry.frame.c_str();
    entry.spec.text = entry.text.c_str();
    entry.spec.accessibleName = entry.accessibleName.c_str();
    entry.spec.accessibleDescription = entry.accessibleDescription.c_str();
    if (!byName_.emplace(entry.name, i).second) Refuse(entry.name, "appears twice in the table");
  }

  std::map<int, std::string_view> tabStops;
  for (const Entry& entry : entries_) {
    const ControlSpec& spec = entry.spec;
    if (spec.width <= 0 || spec.height <= 0) Refuse(entry.name, "has no area");
    if (!(spec.fontPoints > 0)) Refuse(entry.name, "has no font size");
    if (spec.kind == ControlKind::Frame) {
      if (!entry.frame.empty()) Refuse(entry.name, "is a frame inside a frame");
    } else if (entry.frame.empty()) {
      Refuse(entry.name, "is outside any frame");
    } else {
      const auto frame = byName_.find(entry.frame);
      if (frame == byName_.end()) Refuse(entry.name, "names no control as its frame: \"" + entry.frame + "\"");
      if (entries_[frame->second].spec.kind != ControlKind::Frame) {
        Refuse(entry.name, "has a " + std::string(KindName(entries_[frame->second].spec.kind)) + " as its frame");
      }
    }
    if (spec.maxLength != 0 && spec.kind != ControlKind::TextBox) Refuse(entry.name, "limits a text it cannot take");
    if (spec.maxLength < 0) Refuse(entry.name, "has a negative length limit");
    if (TakesTabFocus(spec.kind)) {
      const auto [other, added] = tabStops.emplace(spec.tabIndex, entry.name);
      if (!added) Refuse(entry.name, "shares its tab index with \"" + std::string(other->second) + "\"");
    }
  }
}

std::size_t ControlTable::Find(std::string_view name, Use use) const {
  const auto found = byName_.find(name);
  if (found == byName_.end()) Refuse(name, "is not in the window");
  const ControlKind kind = entries_[found->second].spec.kind;
  if (!Supports(kind, use)) Refuse(name, "is a " + std::string(KindName(kind)) + ", which cannot " + UseName(use));
  return found->second;
}

std::optional<std::size_t> ControlTable::FrameOf(std::size_t index) const {
  const std::string& frame = entries_.at(index).frame;
  if (frame.empty()) return std::nullopt;
  return byName_.find(frame)->second;
}

std::vector<std::size_t> ControlTable::CreationOrder() const {
  std::vector<std::size_t> order(entries_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
    const bool aFrame = entries_[a].spec.kind == ControlKind::Frame;
    const bool bFrame = entries_[b].spec.kind == ControlKind::Frame;
    if (aFrame != bFrame) return aFrame;
    return !aFrame && entries_[a].spec.tabIndex < entries_[b].spec.tabIndex;
  });
  return order;
}

std::vector<std::size_t> ControlTable::TabOrder() const {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (TakesTabFocus(entries_[i].spec.kind)) order.push_back(i);
  }
  std::sort(order.begin(), order.end(),
            [this](std::size_t a, std::size_t b) { return entries_[a].spec.tabIndex < entries_[b].spec.tabIndex; });
  return order;
}

double FittingFontSize(double own, double room, double smallest, double step,
                       const std::function<double(double size)>& width) {
  if (!(step > 0)) throw std::invalid_argument("a font size step must be positive");
  if (own <= smallest || width(own) <= room) return own;
  double size = own;
  do {
    size = std::max(smallest, size - step);
  } while (size > smallest && width(size) > room);
  return size;
}

std::string ResultTooltip(std::string_view description, std::string_view text, bool drawnSmaller) {
  if (!drawnSmaller || text.empty()) return std::string(description);
  if (description.empty()) return std::string(text);
  return std::string(description) + "\n" + std::string(text);
}

PasteOutcome Paste(std::string_view text, std::size_t selectionStart, std::size_t selectionEnd,
                   std::string_view pasted, int maxLength, std::string_view field) {
  PasteOutcome outcome;
  if (pasted.empty()) return outcome;
  // Blanks alone stay as they are, for the calculation to tell the user of.
  std::string_view inserted = WithoutBlanksAround(pasted);
  if (inserted.empty()) inserted = pasted;
  const std::size_t start = ByteOffset(text, std::min(selectionStart, selectionEnd));
  const std::size_t end = ByteOffset(text, std::max(selectionStart, selectionEnd));
  const std::string before(text.substr(0, start)), after(text.substr(end));
  const std::size_t length = Utf16Length(before) + Utf16Length(inserted) + Utf16Length(after);
  if (maxLength > 0 && length > static_cast<std::size_t>(maxLength)) {
    outcome.kind = PasteOutcome::Kind::Refused;
    const std::string limit = std::to_string(maxLength) + (maxLength == 1 ? " carattere" : " caratteri");
    outcome.message = "Il testo incollato non entra nel campo \"" + std::string(field) + "\", che accetta al massimo " +
                      limit + " (ne servirebbero " + std::to_string(length) + "): il campo resta com'era.";
    return outcome;
  }
  outcome.kind = PasteOutcome::Kind::Inserted;
  outcome.inserted = std::string(inserted);
  outcome.text = before + outcome.inserted + after;
  outcome.caret = Utf16Length(before) + Utf16Length(inserted);
  return outcome;
}

}  // namespace velsona::platform
