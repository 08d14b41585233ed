// TForm1, the main window: the split and join buttons, the piece-size field,
// the status line, the exit and About buttons, and the five file dialogs the
// commands work with. A click starts the command in the run session, on a
// worker thread, while the window stays alive, shows the progress (the fill
// behind the status line, the taskbar button) and can stop it. A file handed
// over (the command line, a drop) starts the same commands with their first
// prompt answered.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Interaction.h"
#include "forms/Handover.h"
#include "forms/RunSession.h"
#include "win32/Controls.h"
#include "win32/Fonts.h"
#include "win32/Taskbar.h"
#include "win32/Win32Handover.h"
#include "win32/Win32Interaction.h"
#include "win32/Wnd.h"

namespace tolvanix::win32 {

class TForm2;

class TForm1 final : public Wnd, private RunWindow {
 private:
  // The run of a split or a join, and the storage of the five dialog fields
  // below and of the two handle fields the commands hold their files in.
  RunSession session_;

 public:
  TForm1();
  ~TForm1() override;

  Button Button1;  // split
  Button Button2;  // join
  Button Button3;  // exit
  TOpenDialog& OpenDialog1;
  SpinEdit SpinEdit1;  // piece size in KB
  Label Label1;
  TSaveDialog& SaveDialog1;
  Label Label2;
  TOpenDialog& OpenDialog2;
  TSaveDialog& SaveDialog2;
  TOpenDialog& OpenDialog3;
  StatusLine Label3;  // status line
  Button Button4;     // About
  Bevel Bevel1;

  void Button3Click(Control* Sender);
  void Button1Click(Control* Sender);
  std::string IntToStrl(int64_t n, int width) const;
  void Button2Click(Control* Sender);
  void Button4Click(Control* Sender);

  // Creates the window, hidden, and shows it centred with the focus on Button1.
  bool Create();
  void Show();

  // What the program's arguments ask for: the file opened, or the notice
  // of what cannot be taken.
  void StartWith(const Handover& handover);

  // Runs a command with the file as the one chosen in its first prompt, once
  // the window's message loop has it. Refused during a run.
  void OpenFile(const HandedFile& file);

  bool CommandRunning() const { return session_.Running(); }
  // The progress on the taskbar button, from 0 to 1; -1: none.
  double TaskbarShown() const { return taskbar_.Shown(); }
  // For tests: the commands work on `fs` instead of the real disk.
  void UseFileSystem(FileSystem* fs) { session_.UseFileSystem(fs); }

  bool PreTranslate(MSG& msg) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // During a run the close asks first, and then waits for the run to stop.
  bool OnClose() override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR id) override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;

 private:
  void Layout();
  // The control of that name in the description (null: Bevel1), its window.
  Control* Named(std::string_view name);
  HWND At(std::string_view name);
  // A run has started: the progress shown.
  void RunStarted(bool started);
  // A drop is taken or refused by the shared rules (forms/Handover.h).
  DropAnswer AnswerDrop(const std::vector<std::string>& entries, POINT screen, DWORD offered);

  // The window's side of the run.
  void WakeForRun() override;
  Interaction& RunInteraction() override { return *gui_; }
  bool AskToStopRun(const std::string& text) override;
  void RunEnded() override;

  Font font_;
  std::unique_ptr<Win32Interaction> gui_;  // made with the window
  TaskbarButton taskbar_;
  DropTarget dropTarget_;
  bool closeWhenStopped_ = false;
  bool endsProgram_ = true;  // closed, not destroyed with the object
  HandedFile pendingFile_;
  std::string pendingNotice_;
};

}  // namespace tolvanix::win32
