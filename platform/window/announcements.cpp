#include "platform/window/announcements.h"

#include <algorithm>

namespace velsona::platform {

void Announcements::Changed(std::string_view name, std::string_view before, std::string_view after) {
  if (name.empty()) return;
  const auto known = std::find_if(pending_.begin(), pending_.end(), [&](const Change& c) { return c.name == name; });
  if (known != pending_.end()) {
    known->after = after;
  } else {
    pending_.push_back({std::string(name), std::string(before), std::string(after)});
  }
}

std::string Announcements::Take() {
  std::string utterance;
  for (const Change& change : pending_) {
    if (change.after == change.before) continue;
    if (!utterance.empty()) utterance += ". ";
    utterance += change.name;
    utterance += ": ";
    utterance += change.after.empty() ? kNoValue : std::string_view(change.after);
  }
  pending_.clear();
  return utterance;
}

}  // namespace velsona::platform
