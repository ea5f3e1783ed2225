#include "platform/window/form_rules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

std::string Mistake(std::string_view control, const std::string& why) {
  return "control \"" + std::string(control) + "\" " + why;
}

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

// "al massimo 3 caratteri": the limit of a text box, in words.
std::string AtMost(int maxLength) {
  return "al massimo " + std::to_string(maxLength) + (maxLength == 1 ? " carattere" : " caratteri");
}

}  // namespace

void StopOnMisuse(const std::string& what) { StopOnFailure("misuse of the window: " + what); }

void StopOnFailure(const std::string& what) {
  std::fprintf(stderr, "velsona: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

bool TakesTabFocus(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::Button || kind == ControlKind::CheckBox;
}

std::optional<std::string> ControlTable::FirstMistake(const std::vector<ControlSpec>& controls) {
  std::map<std::string_view, const ControlSpec*, std::less<>> byName;
  for (const ControlSpec& spec : controls) {
    if (spec.name == nullptr || *spec.name == '\0') return Mistake("", "has no name");
    if (spec.frame == nullptr || spec.text == nullptr || spec.accessibleName == nullptr ||
        spec.accessibleDescription == nullptr) {
      return Mistake(spec.name, "has a null text; use \"\" for none");
    }
    if (!byName.emplace(spec.name, &spec).second) return Mistake(spec.name, "appears twice in the table");
  }

  std::map<int, std::string_view> tabStops;
  for (const ControlSpec& spec : controls) {
    const std::string_view frameName = spec.frame;
    if (spec.width <= 0 || spec.height <= 0) return Mistake(spec.name, "has no area");
    if (!(spec.fontPoints > 0)) return Mistake(spec.name, "has no font size");
    if (spec.kind == ControlKind::Frame) {
      if (!frameName.empty()) return Mistake(spec.name, "is a frame inside a frame");
    } else if (frameName.empty()) {
      return Mistake(spec.name, "is outside any frame");
    } else {
      const auto frame = byName.find(frameName);
      if (frame == byName.end()) {
        return Mistake(spec.name, "names no control as its frame: \"" + std::string(frameName) + "\"");
      }
      if (frame->second->kind != ControlKind::Frame) {
        return Mistake(spec.name, "has a " + std::string(KindName(frame->second->kind)) + " as its frame");
      }
    }
    if (spec.maxLength != 0 && spec.kind != ControlKind::TextBox) {
      return Mistake(spec.name, "limits a text it cannot take");
    }
    if (spec.maxLength < 0) return Mistake(spec.name, "has a negative length limit");
    if (TakesTabFocus(spec.kind)) {
      const auto [other, added] = tabStops.emplace(spec.tabIndex, spec.name);
      if (!added) return Mistake(spec.name, "shares its tab index with \"" + std::string(other->second) + "\"");
    }
  }
  return std::nullopt;
}

ControlTable::ControlTable(const std::vector<ControlSpec>& controls) {
  if (const auto mistake = FirstMistake(controls)) StopOnMisuse(*mistake);
  entries_.reserve(controls.size());
  for (const ControlSpec& spec : controls) {
    entries_.push_back(Entry{spec, spec.name, spec.frame, spec.text, spec.accessibleName, spec.accessibleDescription});
  }
  // The strings are in their final place now.
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Entry& entry = entries_[i];
    entry.spec.name = entry.name.c_str();
    entry.spec.frame = entry.frame.c_str();
    entry.spec.text = entry.text.c_str();
    entry.spec.accessibleName = entry.accessibleName.c_str();
    entry.spec.accessibleDescription = entry.accessibleDescription.c_str();
    byName_.emplace(entry.name, i);
  }
}

std::optional<std::string> ControlTable::Misuse(std::string_view name, Use use) const {
  const auto found = byName_.find(name);
  if (found == byName_.end()) return Mistake(name, "is not in the window");
  const ControlKind kind = entries_[found->second].spec.kind;
  if (!Supports(kind, use)) {
    return Mistake(name, "is a " + std::string(KindName(kind)) + ", which cannot " + UseName(use));
  }
  return std::nullopt;
}

std::size_t ControlTable::Find(std::string_view name, Use use) const {
  if (const auto misuse = Misuse(name, use)) StopOnMisuse(*misuse);
  return byName_.find(name)->second;
}

std::optional<std::size_t> ControlTable::FrameOf(std::size_t index) const {
  if (index >= entries_.size()) StopOnMisuse("no control at index " + std::to_string(index));
  const std::string& frame = entries_[index].frame;
  if (frame.empty()) return std::nullopt;
  return byName_.find(frame)->second;
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

std::vector<std::size_t> ControlTable::ReadingOrder() const {
  std::vector<std::size_t> order;
  order.reserve(entries_.size());
  for (std::size_t frame = 0; frame < entries_.size(); ++frame) {
    if (entries_[frame].spec.kind != ControlKind::Frame) continue;
    order.push_back(frame);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].frame == entries_[frame].name) order.push_back(i);
    }
  }
  return order;
}

std::optional<std::size_t> ControlTable::NextTabStop(std::optional<std::size_t> from, bool backwards,
                                                     bool round) const {
  const std::vector<std::size_t> stops = TabOrder();
  if (stops.empty()) return std::nullopt;
  if (!from) return backwards ? stops.back() : stops.front();
  if (*from >= entries_.size()) StopOnMisuse("no control at index " + std::to_string(*from));
  const int index = entries_[*from].spec.tabIndex;
  const bool stop = TakesTabFocus(entries_[*from].spec.kind);
  const std::optional<std::size_t> roundAgain = round ? std::optional(backwards ? stops.back() : stops.front())
                                                      : std::nullopt;
  if (backwards) {
    // The last stop before `from`.
    for (auto it = stops.rbegin(); it != stops.rend(); ++it) {
      if (entries_[*it].spec.tabIndex < index) return *it;
    }
    return roundAgain;
  }
  for (const std::size_t candidate : stops) {
    const int other = entries_[candidate].spec.tabIndex;
    if (other > index || (!stop && other == index)) return candidate;
  }
  return roundAgain;
}

double FittingFontSize(double own, double room, double smallest, double step,
                       const std::function<double(double size)>& width) {
  if (!(step > 0)) StopOnMisuse("a font size step must be positive");
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
    outcome.message = "Il testo incollato non entra nel campo \"" + std::string(field) + "\", che accetta " +
                      AtMost(maxLength) + " (ne servirebbero " + std::to_string(length) + "): il campo resta com'era.";
    return outcome;
  }
  outcome.kind = PasteOutcome::Kind::Inserted;
  outcome.inserted = std::string(inserted);
  outcome.text = before + outcome.inserted + after;
  outcome.caret = Utf16Length(before) + Utf16Length(inserted);
  return outcome;
}

std::string FullFieldMessage(std::string_view field, int maxLength) {
  return "Il campo \"" + std::string(field) + "\" accetta " + AtMost(maxLength) + ".";
}

}  // namespace velsona::platform
