#pragma once

// Numbers as the regional settings write them: "-38.4164" with the
// separator `separator` in place of each point.

#include <string>
#include <string_view>

namespace velsona::tests {

inline std::string Localised(std::string text, std::string_view separator) {
  for (std::size_t at = text.find('.'); at != std::string::npos; at = text.find('.', at + separator.size())) {
    text.replace(at, 1, separator);
  }
  return text;
}

}  // namespace velsona::tests
