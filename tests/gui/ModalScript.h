// Answers the modal windows that the code under test opens, one step per
// window, from a timer that runs inside their own event loops, as a user
// would. A window that never comes, or one that stays open with no step left
// for it, fails the test after a few seconds and is dismissed instead of
// hanging the run.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

namespace tolvanix::testing {

class ModalScript {
 public:
  using Step = std::function<void(QWidget* window)>;

  ModalScript() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(kPollMs);
  }
  ~ModalScript() {
    timer_.stop();
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " modal window(s) never came";
  }
  Q_DISABLE_COPY_MOVE(ModalScript)

  // The next modal window, once shown and active, is handed to `step`.
  ModalScript& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  // Modal windows handed to a step so far.
  int Answered() const { return answered_; }

 private:
  static constexpr int kPollMs = 10;
  static constexpr int kPatienceMs = 5000;

  void Poll() {
    QWidget* w = QApplication::activeModalWidget();
    const bool fresh = w && (last_.isNull() || last_.data() != w);
    // The offscreen platform does not hand activation back to a window when
    // the one over it closes; a window manager would.
    if (fresh && w->isVisible() && !w->isActiveWindow()) w->activateWindow();
    if (fresh && !steps_.empty() && w->isVisible() && w->isActiveWindow()) {
      last_ = w;
      waitedMs_ = 0;
      ++answered_;
      // Run apart from this timer: Qt does not fire a timer again while its
      // last timeout is still running, and a step may open a nested window.
      QTimer::singleShot(0, [step = std::move(steps_.front()), window = QPointer<QWidget>(w)] {
        if (window) step(window);
      });
      steps_.pop_front();
      return;
    }
    if (!w && steps_.empty()) {
      waitedMs_ = 0;
      return;
    }
    waitedMs_ += kPollMs;
    if (waitedMs_ < kPatienceMs) return;
    waitedMs_ = 0;
    if (w) {
      ADD_FAILURE() << w->metaObject()->className() << " '" << w->windowTitle().toStdString()
                    << "' still open with nothing left to answer it"
                    << (w->isActiveWindow() ? "" : " (never active)");
      Dismiss();
    } else {
      ADD_FAILURE() << "expected a modal window, none came";
      steps_.clear();
    }
  }

  static void Dismiss() {
    for (int i = 0; i < 8; ++i) {
      QWidget* w = QApplication::activeModalWidget();
      if (!w) return;
      if (auto* dialog = qobject_cast<QDialog*>(w)) {
        dialog->done(QDialog::Rejected);
      } else {
        w->close();
      }
    }
  }

  QTimer timer_;
  std::deque<Step> steps_;
  QPointer<QWidget> last_;
  int waitedMs_ = 0;
  int answered_ = 0;
};

// A key as the user presses it: to the window's focused control.
inline void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* target = window->focusWidget() ? window->focusWidget() : window;
  QTest::keyClick(target, key, mods);
}

// Types a name into a file dialog's name box and confirms it with Enter.
inline void ChooseFile(QWidget* dialog, const QString& name) {
  auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  edit->setText(name);
  QTest::keyClick(edit, Qt::Key_Return);
}

inline void Reject(QWidget* dialog) {
  auto* d = qobject_cast<QDialog*>(dialog);
  ASSERT_NE(d, nullptr);
  d->reject();
}

}  // namespace tolvanix::testing

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
