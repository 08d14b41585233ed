// TForm1, the main window: the split and join buttons, the piece-size field,
// the status line, the exit and About buttons, and the five file dialogs and
// two handle fields the commands work with. The split and the join run whole
// inside their click handlers: the core commands do the work on a worker
// thread while the window stays alive, shows the progress and can stop them.
// A file handed over by the desktop (the program's argument, a drop) starts
// the same commands with their first prompt answered.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "core/Commands.h"
#include "core/Interaction.h"
#include "forms/Handover.h"
#include "qt/Controls.h"
#include "qt/StatusLine.h"

class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QObject;
class QPaintEvent;
class QPushButton;
class QShowEvent;

namespace tolvanix {
class CommandRunner;
class TSpinEdit;
}  // namespace tolvanix

class TForm1 : public QWidget {
  Q_OBJECT

 private:
  // Storage of the five dialog fields below, with their settings at start.
  tolvanix::FileDialogs dialogs_;

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

 private:
  // The first and the second handle field: the two files a command holds.
  tolvanix::HandleFields handles_;

 public:
  void Button3Click(QObject* Sender);
  void Button1Click(QObject* Sender);
  std::string IntToStrl(int64_t n, int width) const;
  void Button2Click(QObject* Sender);
  void Button4Click(QObject* Sender);

  // What the program's arguments ask for, once the event loop runs: the
  // notice of refused arguments, or the file opened.
  void StartWith(const tolvanix::Handover& handover);

  // Whether a split or a join is in work.
  bool CommandRunning() const;
  // Ends the program as a close does, without a question: a run in work is
  // stopped first, its files flushed and closed (SIGTERM, SIGINT, SIGHUP).
  void StopAndClose();
  // For tests: the commands work on `fs` instead of the real disk.
  void UseFileSystem(tolvanix::FileSystem* fs) { fileSystem_ = fs; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;  // the bevel
  // During a run the close asks first, and then waits for the run to stop.
  void closeEvent(QCloseEvent* event) override;
  // A drop is taken or refused by the shared rules (forms/Handover.h).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Accepts the drop when it may be taken, refuses it otherwise.
  tolvanix::DropAnswer AnswerDrop(QDropEvent* event);
  // Runs a command with the file as the one chosen in its first prompt.
  void OpenFile(const tolvanix::HandedFile& file);
  // The only calls of the two commands; null: the first prompt is shown.
  void RunSplitWith(const std::string* source);
  void RunJoinWith(const std::string* firstPiece);

  tolvanix::CommandRunner* runner_;
  tolvanix::FileSystem* fileSystem_ = nullptr;
  bool closeWhenStopped_ = false;
  bool placed_ = false;
};
