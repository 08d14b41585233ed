// Answers the modal windows the code under test opens, one step per window,
// from a timer inside their own event loops. A window that never comes, or
// one left open with no step for it, fails the test after a few seconds and
// is dismissed. Also the small helpers the GUI tests share.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
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
  ~ModalScript() { EXPECT_TRUE(steps_.empty()) << steps_.size() << " modal window(s) never came"; }
  Q_DISABLE_COPY_MOVE(ModalScript)

  // The next modal window, once shown and active, is handed to `step`.
  ModalScript& Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  int Answered() const { return answered_; }

 private:
  static constexpr int kPollMs = 10;
  static constexpr int kPatienceMs = 5000;

  void Poll() {
    QWidget* w = QApplication::activeModalWidget();
    const bool fresh = w && w->isVisible() && last_ != w;
    // The offscreen platform does not hand activation back to a window when
    // the one over it closes; a window manager would.
    if (fresh && !w->isActiveWindow()) w->activateWindow();
    if (fresh && !steps_.empty() && w->isActiveWindow()) {
      last_ = w;
      waitedMs_ = 0;
      ++answered_;
      // Apart from this timer: Qt does not fire a timer again while its last
      // timeout is still running, and a step may open a nested window.
      QTimer::singleShot(0, [step = std::move(steps_.front()), window = QPointer<QWidget>(w)] {
        if (window) step(window);
      });
      steps_.pop_front();
      return;
    }
    waitedMs_ = (!w && steps_.empty()) ? 0 : waitedMs_ + kPollMs;
    if (waitedMs_ < kPatienceMs) return;
    waitedMs_ = 0;
    if (!w) {
      ADD_FAILURE() << "expected a modal window, none came";
      steps_.clear();
      return;
    }
    ADD_FAILURE() << w->metaObject()->className() << " '" << w->windowTitle().toStdString()
                  << "' still open with nothing left to answer it";
    for (int i = 0; i < 8 && (w = QApplication::activeModalWidget()); ++i) {
      auto* dialog = qobject_cast<QDialog*>(w);
      dialog ? dialog->done(QDialog::Rejected) : void(w->close());
    }
  }

  QTimer timer_;
  std::deque<Step> steps_;
  QPointer<QWidget> last_;
  int waitedMs_ = 0;
  int answered_ = 0;
};

inline QLineEdit* NameBox(QWidget* dialog) {
  auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  EXPECT_NE(edit, nullptr);
  return edit;
}

inline QString Folder(QWidget* dialog) {
  return QDir(qobject_cast<QFileDialog*>(dialog)->directory()).canonicalPath();
}

// Types a name into a file dialog's name box and confirms it with Enter.
inline void ChooseFile(QWidget* dialog, const QString& name) {
  QLineEdit* edit = NameBox(dialog);
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  edit->setText(name);
  QTest::keyClick(edit, Qt::Key_Return);
}

// Where a window of outer size `outer` stands when centred across its
// screen, with 1/`above` of the remaining height above it.
inline QPoint Centred(const QWidget* w, QSize outer, int above = 2) {
  const QRect s = w->screen()->geometry();
  return {s.x() + (s.width() - outer.width()) / 2, s.y() + (s.height() - outer.height()) / above};
}

// The texts a label shows each time it is painted with a new one.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QLabel* label) : label_(label) { label->installEventFilter(this); }
  ~PaintWatch() override { label_->removeEventFilter(this); }
  Q_DISABLE_COPY_MOVE(PaintWatch)
  bool eventFilter(QObject*, QEvent* e) override {
    const QString text = label_->text();
    if (e->type() == QEvent::Paint && !text.isEmpty() && !painted.endsWith(text)) painted << text;
    return false;
  }
  QStringList painted;

 private:
  QLabel* label_;
};

}  // namespace tolvanix::testing

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
