#pragma once

// What a screen reader is told when result fields change, decided once for
// every implementation of forms.h. A click handler may blank a result and
// set it again, or set several; the listener hears one utterance with the
// net change of each field, once the handler has returned (or before a
// warning opens, which the reader speaks next). Each implementation only
// delivers that utterance through its toolkit's channel.

#include <string>
#include <string_view>
#include <vector>

namespace velsona::platform {

// The word for a result that became empty.
inline constexpr std::string_view kNoValue = "nessun valore";

class Announcements {
 public:
  // Notes that the result field `name` (what the field is, as a listener
  // knows it: "Risultato in mV/Pa") went from `before` to `after`. A field
  // without a name is never announced.
  void Changed(std::string_view name, std::string_view before, std::string_view after);

  // The one utterance for every change noted since the last call, and
  // forgets them: "name: value" for each field whose text is not what it was
  // before its first change ("name: nessun valore" for one now empty), in
  // the order they first changed, joined by ". "; "" when there is nothing
  // to tell.
  std::string Take();

 private:
  struct Change {
    std::string name, before, after;
  };
  std::vector<Change> pending_;
};

}  // namespace velsona::platform
