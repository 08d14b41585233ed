// TForm1, the main window: the split and join buttons, the piece-size field,
// the status line, the exit and About buttons, and the five file dialogs and
// two handle fields the commands work with. A click starts the command on a
// worker thread (Runner) while the window stays alive, shows the progress
// and can stop it. A file handed over (the command line, a drop) starts the
// same commands with their first prompt answered.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Commands.h"
#include "core/Interaction.h"
#include "forms/Handover.h"
#include "win32/Controls.h"
#include "win32/Fonts.h"
#include "win32/Runner.h"
#include "win32/Win32Handover.h"
#include "win32/Win32Interaction.h"
#include "win32/Wnd.h"

namespace tolvanix::win32 {

class TForm2;

class TForm1 final : public Wnd {
 private:
  // Storage of the five dialog fields below, with their settings at start.
  FileDialogs dialogs_;

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

 private:
  // The first and the second handle field: the two files a command holds.
  HandleFields handles_;

 public:
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

  bool CommandRunning() const { return runner_ && runner_->Running(); }
  Runner& RunnerForTest() { return *runner_; }
  // For tests: the commands work on `fs` instead of the real disk.
  void UseFileSystem(FileSystem* fs) { fileSystem_ = fs; }

  bool PreTranslate(MSG& msg) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // During a run the close asks first, and then waits for the run to stop.
  bool OnClose() override;
  void OnDestroy() override;
  void OnDpiChanged(UINT dpi, const RECT& suggested) override;

 private:
  void Layout();
  // The control of that name in the description (null: Bevel1), its window.
  Control* Named(std::string_view name);
  HWND At(std::string_view name);
  // The only calls of the two commands; null: the first prompt is shown.
  void RunSplitWith(const std::string* source);
  void RunJoinWith(const std::string* firstPiece);
  void RunEnded();
  // A drop is taken or refused by the shared rules (forms/Handover.h).
  DropAnswer AnswerDrop(const std::vector<std::string>& entries, POINT screen, DWORD offered);

  Font font_;
  std::unique_ptr<Win32Interaction> gui_;  // made with the window
  std::unique_ptr<Runner> runner_;
  DropTarget dropTarget_;
  FileSystem* fileSystem_ = nullptr;
  bool closeWhenStopped_ = false;
  bool endsProgram_ = true;  // closed, not destroyed with the object
  std::string handedOver_;   // the file a run was handed, alive as long as the run
  HandedFile pendingFile_;
  std::string pendingNotice_;
};

}  // namespace tolvanix::win32
