#include "win32/Win32Interaction.h"

#include "win32/Boxes.h"
#include "win32/Controls.h"
#include "win32/Cursor.h"
#include "win32/FileDialogs.h"
#include "win32/Wide.h"

namespace tolvanix::win32 {

void Win32Interaction::ShowNotice(const std::string& text) { ShowBox(window_, NoticeBox(), text); }

Answer Win32Interaction::AskYesNoCancel(const std::string& text) {
  return ShowBox(window_, WarningBox(), text);
}

bool Win32Interaction::RunFileDialog(TFileDialog& dialog) {
  return win32::RunFileDialog(window_, dialog);
}

void Win32Interaction::SetStatusText(const std::string& text) {
  // Now: the caller does not return to the message loop first.
  status_.Show(Widen(text));
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Win32Interaction::SetBusyCursor(bool on) { BusyCursor::Set(on); }

}  // namespace tolvanix::win32
