// The message boxes drawn as the program's own windows, so that their
// buttons, keys and texts are the program's in any system language. Built
// for one call and gone after.
#pragma once

#include <windows.h>

#include <string>

#include "forms/MessageBoxes.h"

namespace tolvanix::win32 {

// Shows `box` with `text` modally over `owner` and returns the answer given.
// The normal pointer is shown while it is open; the busy one comes back after.
Answer ShowBox(HWND owner, const BoxDescription& box, const std::string& text);

// Closes every modal window of this thread that stands over `owner` (boxes,
// file dialogs, the About window), each as if cancelled.
void CloseModalWindows(HWND owner);

}  // namespace tolvanix::win32
