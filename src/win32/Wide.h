// The window speaks UTF-16 to the system and UTF-8 to the core.
#pragma once

#include "core/windows/Utf16.h"

namespace tolvanix::win32 {

using tolvanix::Narrow;
using tolvanix::Widen;

}  // namespace tolvanix::win32
