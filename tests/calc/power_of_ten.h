#pragma once

#include <string>

namespace velsona::calc {

// A power of ten that the Single nearest to it misses from below by more
// than half a unit of the 7th digit there: the digits below a power of ten
// are ten times finer than those above, so such a Single writes as
// 9.999999E+nn though a larger one wrote the power itself. `text` is the
// first writing, `again` the writing of what it reads back as.
inline bool IsPowerOfTenFromBelow(const std::string& text, const std::string& again) {
  const std::size_t start = text[0] == '-' ? 1 : 0;
  return text.compare(start, 2, "1E") == 0 && again.compare(start, 9, "9.999999E") == 0;
}

}  // namespace velsona::calc
