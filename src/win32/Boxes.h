// The notice and warning boxes, and the question before a close during a
// run: the program's own windows, so that their buttons, keys and texts are
// the program's in any system language. Built for one call and gone after.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvanix::win32 {

struct BoxButton {
  const char* caption;  // "&" marks the access key
  int result;
};

struct BoxLook {
  const char* caption;
  bool warningIcon;
  std::vector<BoxButton> buttons;  // left to right
  size_t defaultButton;            // what Enter clicks when no button has the focus
  int escResult;                   // Esc clicks the cancel button
  int closeResult;                 // the title bar's close, Alt+F4
};

const BoxLook& NoticeLook();
const BoxLook& WarningLook();
// Yes and No, No the default and the cancel: asked before a run is stopped.
const BoxLook& StopQuestionLook();

// Shows a box modally over `owner` and returns its result. The normal
// pointer is shown while it is open; the busy one comes back after.
int ShowBox(HWND owner, const BoxLook& look, const std::string& text);

// Closes every modal window of this thread that stands over `owner` (boxes,
// file dialogs, the About window), each as if cancelled.
void CloseModalWindows(HWND owner);

}  // namespace tolvanix::win32
