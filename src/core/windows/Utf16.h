// The core speaks UTF-8, the Win32 API UTF-16: the two conversions, for the
// programs built on the core.
#pragma once

#include <string>
#include <string_view>

namespace tolvanix {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace tolvanix
