// Runs a split or a join on a worker thread while the GUI thread's event loop
// goes on: the window repaints and answers the desktop, shows how far the run
// is, and can stop it. The command itself stays sequential: every call it
// makes to the user is carried to the GUI thread, in order, and the command
// waits for the answer, so the dialogue is the same as on one thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/Commands.h"
#include "qt/LauncherEntry.h"

class QDialog;
class QWidget;

namespace tolvanix {

class QtInteraction;
class StatusLine;

class CommandRunner final : public QObject {
  Q_OBJECT

 public:
  enum class Kind { Split, Join };
  // The command, run on the worker thread with the user and the watcher it
  // must talk to.
  using Work = std::function<void(Interaction& ui, RunControl& control)>;

  // `window` owns the run's boxes and dialogs; its input is dropped while a
  // run goes on. `statusLine` shows the progress.
  CommandRunner(QWidget* window, StatusLine* statusLine);
  // A run still going is stopped and waited for.
  ~CommandRunner() override;
  Q_DISABLE_COPY_MOVE(CommandRunner)

  // Runs `work` and returns when it has ended, handling the GUI thread's
  // events meanwhile. Refused (returns at once) while another run goes on.
  void Run(Kind kind, Work work);
  bool Running() const { return control_ != nullptr; }
  bool Stopping() const;

  // Asks the run to stop at its next chunk or prompt; a prompt of the run that
  // is open is closed as if cancelled.
  void RequestStop();
  // The question before a close during a run: true for Yes, stop and end.
  bool AskToStop();

  // How often the progress is shown, at most.
  static constexpr int kProgressMs = 100;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Control;
  class Marshal;
  void ShowProgress();
  // Called before a prompt of the run: while the close question is open, the
  // prompt waits until it is answered.
  void WaitForCloseQuestion();

  QWidget* window_;
  StatusLine* statusLine_;
  Kind kind_ = Kind::Split;
  std::unique_ptr<Control> control_;
  std::unique_ptr<QtInteraction> gui_;
  QTimer progressTimer_;
  double shown_ = 0;
  LauncherEntry launcher_;
  QPointer<QDialog> question_;
};

}  // namespace tolvanix
