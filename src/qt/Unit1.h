// TForm1, the main window: the split and join buttons, the piece-size field,
// the status line, the exit and About buttons, and the five file dialogs the
// commands work with. The split and the join run whole inside their click
// handlers: the run session does the work on a worker thread while the
// window stays alive, shows the progress and can stop it. A file handed over
// by the desktop (the program's argument, a drop) starts the same commands
// with their first prompt answered.
#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Interaction.h"
#include "forms/Handover.h"
#include "forms/RunSession.h"
#include "qt/Controls.h"
#include "qt/LauncherEntry.h"
#include "qt/StatusLine.h"

class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QEventLoop;
class QLabel;
class QObject;
class QPaintEvent;
class QPushButton;
class QShowEvent;

namespace tolvanix {
class QtInteraction;
class TSpinEdit;
}  // namespace tolvanix

class TForm1 : public QWidget, private tolvanix::RunWindow {
  Q_OBJECT

 private:
  // The run of a split or a join, and the storage of the five dialog fields
  // below and of the two handle fields the commands hold their files in.
  tolvanix::RunSession session_;

 public:
  explicit TForm1(QWidget* Owner = nullptr);
  ~TForm1() override;
  Q_DISABLE_COPY_MOVE(TForm1)

  QPushButton* Button1;  // split
  QPushButton* Button2;  // join
  QPushButton* Button3;  // exit
  tolvanix::TOpenDialog& OpenDialog1;
  tolvanix::TSpinEdit* SpinEdit1;  // piece size in KB
  QLabel* Label1;
  tolvanix::TSaveDialog& SaveDialog1;
  QLabel* Label2;
  tolvanix::TOpenDialog& OpenDialog2;
  tolvanix::TSaveDialog& SaveDialog2;
  tolvanix::TOpenDialog& OpenDialog3;
  tolvanix::StatusLine* Label3;  // status line
  QPushButton* Button4;          // About
  tolvanix::Bevel Bevel1;

  void Button3Click(QObject* Sender);
  void Button1Click(QObject* Sender);
  std::string IntToStrl(int64_t n, int width) const;
  void Button2Click(QObject* Sender);
  void Button4Click(QObject* Sender);

  // What the program's arguments ask for, once the event loop runs: the
  // notice of refused arguments, or the file opened.
  void StartWith(const tolvanix::Handover& handover);

  // Whether a split or a join is in work.
  bool CommandRunning() const { return session_.Running(); }
  // Ends the program as a close does, without a question: a run in work is
  // stopped first, its files flushed and closed (SIGTERM, SIGINT, SIGHUP).
  void StopAndClose();
  // For tests: the commands work on `fs` instead of the real disk.
  void UseFileSystem(tolvanix::FileSystem* fs) { session_.UseFileSystem(fs); }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;  // the bevel
  // During a run the close asks first, and then waits for the run to stop.
  void closeEvent(QCloseEvent* event) override;
  // A drop is taken or refused by the shared rules (forms/Handover.h).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // While a run goes on, the window takes no input from the user.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Accepts the drop when it may be taken, refuses it otherwise.
  tolvanix::DropAnswer AnswerDrop(QDropEvent* event);
  // Runs a command with the file as the one chosen in its first prompt.
  void OpenFile(const tolvanix::HandedFile& file);
  // Handles this thread's events until the run just started has ended.
  void AwaitRun(bool started);

  // The window's side of the run.
  void WakeForRun() override;
  tolvanix::Interaction& RunInteraction() override;
  bool AskToStopRun(const std::string& text) override;
  void RunEnded() override;

  std::unique_ptr<tolvanix::QtInteraction> gui_;
  QEventLoop* runLoop_ = nullptr;  // while a run goes on
  QTimer progressTimer_;
  tolvanix::LauncherEntry launcher_;
  bool closeWhenStopped_ = false;
  bool placed_ = false;
};
