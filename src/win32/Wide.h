// The core speaks UTF-8, the Win32 API UTF-16: the two conversions.
#pragma once

#include <string>
#include <string_view>

namespace tolvanix::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace tolvanix::win32
