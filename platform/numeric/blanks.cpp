#include "platform/numeric/blanks.h"

namespace velsona::platform {
namespace {

// The Unicode space separators beyond ASCII, as UTF-8: U+00A0, U+1680,
// U+2000 to U+200A, U+202F, U+205F, U+3000. Their length, 0 for none.
std::size_t UnicodeSpaceLength(std::string_view text) {
  const auto at = [&](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
  switch (at(0)) {
    case 0xC2: return at(1) == 0xA0 ? 2 : 0;
    case 0xE1: return at(1) == 0x9A && at(2) == 0x80 ? 3 : 0;
    case 0xE2:
      if (at(1) == 0x80) return (at(2) >= 0x80 && at(2) <= 0x8A) || at(2) == 0xAF ? 3 : 0;
      return at(1) == 0x81 && at(2) == 0x9F ? 3 : 0;
    case 0xE3: return at(1) == 0x80 && at(2) == 0x80 ? 3 : 0;
    default: return 0;
  }
}

// Space, tab, line feed, carriage return, vertical tab, form feed.
bool IsAsciiBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

// Spaces, tabs and line breaks (a cell copied from a spreadsheet ends in
// one), vertical tabs, form feeds, and the Unicode spaces.
std::size_t BlankLength(std::string_view text) {
  // ASCII is settled by its first byte, so the texts typed in the window
  // never reach the Unicode spaces.
  if (text.empty()) return 0;
  return IsAsciiBlank(text[0]) ? 1 : UnicodeSpaceLength(text);
}

}  // namespace velsona::platform
