// Answers the modal windows the code under test opens, one step per window,
// from a timer inside their own event loops. A window that never comes, or
// one left open with no step for it, fails the test after a few seconds and
// is dismissed. Also the small helpers the GUI tests share.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
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
    timer_.start(10);
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
  void Poll() {
    QWidget* w = QApplication::activeModalWidget();
    const bool fresh = w && w->isVisible() && last_ != w;
    // The offscreen platform does not hand activation back to a window when
    // the one over it closes; a window manager would.
    if (fresh && !w->isActiveWindow()) w->activateWindow();
    if (fresh && !steps_.empty() && w->isActiveWindow()) {
      last_ = w;
      waited_ = 0;
      ++answered_;
      // Apart from this timer: Qt does not fire a timer again while its last
      // timeout is still running, and a step may open a nested window.
      QTimer::singleShot(0, [step = std::move(steps_.front()), window = QPointer<QWidget>(w)] {
        if (window) step(window);
      });
      steps_.pop_front();
      return;
    }
    waited_ = (!w && steps_.empty()) ? 0 : waited_ + 1;
    if (waited_ < 500) return;  // 5 s
    waited_ = 0;
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
  int waited_ = 0;  // polls
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

// Checks a message box as the user sees it: `buttons` are their texts from
// left to right joined by "|", `byDefault` the one Enter clicks.
inline void ExpectBox(QWidget* w, const char* caption, QMessageBox::Icon icon, const QString& text,
                      const char* buttons, const char* byDefault) {
  auto* box = qobject_cast<QMessageBox*>(w);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->windowTitle(), QString::fromUtf8(caption));
  EXPECT_EQ(box->icon(), icon);
  EXPECT_EQ(box->text(), text);
  QList<QPushButton*> all = box->findChildren<QPushButton*>();
  std::sort(all.begin(), all.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
  QStringList texts;
  for (const QPushButton* b : all) texts << b->text();
  EXPECT_EQ(texts.join(u'|'), QString::fromUtf8(buttons));
  ASSERT_NE(box->defaultButton(), nullptr);
  EXPECT_EQ(box->defaultButton()->text(), QString::fromUtf8(byDefault));
}

}  // namespace tolvanix::testing

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
