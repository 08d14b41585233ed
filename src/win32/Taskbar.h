// The program's taskbar button: the share of a run done, drawn by the shell
// as a bar across the button.
#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <shobjidl.h>

namespace tolvanix::win32 {

class TaskbarButton {
 public:
  TaskbarButton() = default;
  ~TaskbarButton();
  TaskbarButton(const TaskbarButton&) = delete;
  TaskbarButton& operator=(const TaskbarButton&) = delete;

  // Shows `fraction` (0 to 1) of a run done on `window`'s button.
  void Show(HWND window, double fraction);
  // Takes the progress away.
  void Hide(HWND window);
  // The progress last shown, from 0 to 1; -1: none.
  double Shown() const { return shown_; }

 private:
  ITaskbarList3* list_ = nullptr;  // made at the first showing
  double shown_ = -1;
};

}  // namespace tolvanix::win32
