#pragma once

// Text between the program's UTF-8 and the UTF-16 of the Win32 API.

#include <string>
#include <string_view>

namespace velsona::platform {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace velsona::platform
