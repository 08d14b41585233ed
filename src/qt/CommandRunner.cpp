#include "qt/CommandRunner.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <atomic>

#include "qt/QtInteraction.h"
#include "qt/StatusLine.h"

namespace tolvanix {

// Written by the worker between chunks and read by the GUI thread's timer,
// or the other way round: plain atomics, no waiting either side. Only before
// it creates a file does the worker wait, for an answer to the close question.
class CommandRunner::Control final : public RunControl {
 public:
  explicit Control(CommandRunner& runner) : runner_(runner) {}
  void Progress(double fraction) override { fraction_.store(fraction, std::memory_order_relaxed); }
  bool StopRequested() override { return stop_.load(std::memory_order_relaxed); }
  bool Proceed() override {
    bool go = false;
    QMetaObject::invokeMethod(
        &runner_,
        [&] {
          runner_.WaitForCloseQuestion();
          go = !runner_.Stopping();
        },
        Qt::BlockingQueuedConnection);
    return go;
  }
  double Fraction() const { return fraction_.load(std::memory_order_relaxed); }
  void Stop() { stop_.store(true, std::memory_order_relaxed); }

 private:
  CommandRunner& runner_;
  std::atomic<double> fraction_{0};
  std::atomic<bool> stop_{false};
};

// The worker's side of the user: each call is handed to the GUI thread and
// waited for. Once a stop is asked a prompt is not shown and answers as
// cancelled; the status line and the cursor still follow the run to its end.
class CommandRunner::Marshal final : public Interaction {
 public:
  explicit Marshal(CommandRunner& runner) : runner_(runner) {}

  void ShowNotice(const std::string& text) override {
    Prompt([&] { runner_.gui_->ShowNotice(text); });
  }
  Answer AskYesNoCancel(const std::string& text) override {
    Answer answer = Answer::Cancel;
    Prompt([&] { answer = runner_.gui_->AskYesNoCancel(text); });
    return answer;
  }
  bool RunFileDialog(TFileDialog& dialog) override {
    bool confirmed = false;
    Prompt([&] { confirmed = runner_.gui_->RunFileDialog(dialog); });
    return confirmed;
  }
  void SetStatusText(const std::string& text) override {
    OnGuiThread([&] { runner_.gui_->SetStatusText(text); });
  }
  void SetBusyCursor(bool on) override {
    OnGuiThread([&] { runner_.gui_->SetBusyCursor(on); });
  }

 private:
  void Prompt(const std::function<void()>& show) {
    if (runner_.Stopping()) return;
    OnGuiThread([&] {
      runner_.WaitForCloseQuestion();
      if (!runner_.Stopping()) show();
    });
  }
  void OnGuiThread(const std::function<void()>& call) {
    QMetaObject::invokeMethod(&runner_, call, Qt::BlockingQueuedConnection);
  }

  CommandRunner& runner_;
};

CommandRunner::CommandRunner(QWidget* window, StatusLine* statusLine)
    : QObject(window), window_(window), statusLine_(statusLine) {
  connect(&progressTimer_, &QTimer::timeout, this, &CommandRunner::ShowProgress);
}

CommandRunner::~CommandRunner() = default;

bool CommandRunner::Stopping() const { return control_ && control_->StopRequested(); }

void CommandRunner::Run(Kind kind, Work work) {
  if (control_) return;
  kind_ = kind;
  control_ = std::make_unique<Control>(*this);
  gui_ = std::make_unique<QtInteraction>(window_, statusLine_);
  Marshal user(*this);
  std::unique_ptr<QThread> worker(QThread::create([&] { work(user, *control_); }));
  QEventLoop loop;
  connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  qApp->installEventFilter(this);
  shown_ = 0;
  progressTimer_.start(kProgressMs);
  worker->start();
  loop.exec();
  // The loop also ends when the application quits: the run must still end
  // before its user and watcher go, and it may need this thread to get there.
  while (!worker->wait(QDeadlineTimer(10))) {
    control_->Stop();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  progressTimer_.stop();
  qApp->removeEventFilter(this);
  statusLine_->SetFill(0);
  launcher_.Hide();
  gui_.reset();
  control_.reset();
  // A box open while the run ended may have put back the busy cursor it had
  // lifted; nothing else of this program sets one.
  while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

void CommandRunner::RequestStop() {
  if (!control_) return;
  control_->Stop();
  // The run's open prompt, or the close question, answers as if cancelled.
  CloseModalWindows();
}

bool CommandRunner::AskToStop() {
  const char* text = Tr(kind_ == Kind::Split ? kStopSplitQuestion : kStopJoinQuestion);
  // はい stops the run the moment it is given: a prompt of the run waiting
  // for the answer must not show itself afterwards.
  return AskYesNo(window_, text, &question_, [this](bool yes) {
    if (yes && control_) control_->Stop();
  });
}

void CommandRunner::WaitForCloseQuestion() {
  if (!question_ || !question_->isVisible()) return;
  QEventLoop wait;
  connect(question_.data(), &QDialog::finished, &wait, &QEventLoop::quit);
  wait.exec();
}

void CommandRunner::ShowProgress() {
  const double fraction = control_ ? control_->Fraction() : 0;
  if (fraction == shown_) return;
  shown_ = fraction;
  statusLine_->SetFill(fraction);
  launcher_.Show(fraction);
}

// While a run goes on, the window takes no input from the user: it only
// repaints and answers the desktop. Its own boxes and dialogs are windows of
// their own and are not touched.
bool CommandRunner::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
      break;
    default:
      return false;
  }
  const auto* widget = qobject_cast<const QWidget*>(watched);
  return widget && widget->window() == window_;
}

}  // namespace tolvanix
