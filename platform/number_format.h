#pragma once

// How the user's regional settings write numbers. The window layer reads
// them from the system; the number rules take them as a plain value.

#include <string>

namespace velsona::platform {

struct NumberFormat {
  // UTF-8, usually "." or ",". Never empty.
  std::string decimalSeparator = ".";
};

}  // namespace velsona::platform
