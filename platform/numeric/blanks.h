#pragma once

// The blanks that may stand around a number in a text: known to the number
// reader, and to the window, which drops them around a pasted text.

#include <cstddef>
#include <string_view>

namespace velsona::platform {

// The length in bytes of the blank that `text` starts with, 0 for none.
// Blanks may stand before and after a number: space, tab, line feed,
// carriage return, vertical tab, form feed, and the Unicode space separators
// in UTF-8 (no-break space, the typographic spaces such as the thin and the
// figure space, the ideographic space), which a value copied from a web page
// or a formatted cell brings along.
std::size_t BlankLength(std::string_view text);

}  // namespace velsona::platform
