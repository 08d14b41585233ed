// The six interaction operations on the window's thread: the program's own
// boxes, the system's file dialogs, the status line and the busy cursor.
#pragma once

#include <windows.h>

#include "core/Interaction.h"

namespace tolvanix::win32 {

class StatusLine;

class Win32Interaction final : public Interaction {
 public:
  // `window` owns the boxes and dialogs and is repainted with `statusLine`.
  Win32Interaction(HWND window, StatusLine& statusLine) : window_(window), status_(statusLine) {}

  void ShowNotice(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  bool RunFileDialog(TFileDialog& dialog) override;
  void SetStatusText(const std::string& text) override;
  void SetBusyCursor(bool on) override;

 private:
  HWND window_;
  StatusLine& status_;
};

}  // namespace tolvanix::win32
