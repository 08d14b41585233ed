// How the Windows file layer hands a core path (UTF-8) to the system.
#pragma once

#include <string>

namespace tolvanix {

// UTF-16, made full the way Windows resolves it, in the "\\?\" form that lifts
// the 260-character limit ("\\?\UNC\server\share\..." for a network path);
// device paths ("\\.\NUL") as they are. Empty for an empty path or bytes that
// are not UTF-8.
std::wstring Win32Path(const std::string& utf8);

}  // namespace tolvanix
