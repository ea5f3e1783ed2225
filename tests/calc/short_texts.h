#pragma once

// Every short text a user can type from the characters that make numbers:
// the inputs that exhaustive checks of the calculations walk through.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velsona::calc {

// Digits, signs, both decimal separators, the exponent letters and a blank.
inline constexpr std::string_view kNumberCharacters = "0123456789+-.,eE ";

// Every text of up to `maxLength` characters of kNumberCharacters, the empty
// one first, then by length, each length in the order of kNumberCharacters.
inline std::vector<std::string> TextsUpTo(std::size_t maxLength) {
  std::vector<std::string> texts{""};
  std::size_t first = 0;  // the texts of the previous length start here
  for (std::size_t length = 1; length <= maxLength; ++length) {
    const std::size_t end = texts.size();
    for (std::size_t i = first; i < end; ++i) {
      for (const char c : kNumberCharacters) texts.push_back(texts[i] + c);
    }
    first = end;
  }
  return texts;
}

}  // namespace velsona::calc
