// Answers modal windows from a timer in their loops; one never come or left open 5 s fails.
#pragma once

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>

#include "qt/QtInteraction.h"
#include "qt/SpinEdit.h"
#include "qt/Unit1.h"
#include "support/TestFiles.h"

namespace tolvanix::testing {

class ModalScript {
 public:
  ModalScript() {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }
  ~ModalScript() { EXPECT_TRUE(steps_.empty()) << steps_.size() << " modal window(s) never came"; }
  ModalScript& Then(std::function<void(QWidget* window)> step) {
    steps_.push_back(std::move(step));
    return *this;
  }

 private:
  void Poll() {
    QWidget* w = QApplication::activeModalWidget();
    const bool fresh = w && w->isVisible() && last_ != w;
    if (fresh && !w->isActiveWindow()) w->activateWindow();  // offscreen, a close activates none
    if (fresh && !steps_.empty() && w->isActiveWindow()) {
      last_ = w;
      waited_ = 0;
      // Not in this timeout: a window the step opens would stall the timer.
      QTimer::singleShot(0, [step = std::move(steps_.front()), window = QPointer<QWidget>(w)] {
        if (window) step(window);
      });
      return steps_.pop_front();
    }
    if ((waited_ = w ? waited_ + 1 : 0) < 500) return;
    waited_ = 0;
    ADD_FAILURE() << w->metaObject()->className() << " '" << w->windowTitle().toStdString()
                  << "' still open with nothing left to answer it";
    CloseModalWindows();
  }

  QTimer timer_;
  std::deque<std::function<void(QWidget*)>> steps_;
  QPointer<QWidget> last_;
  int waited_ = 0;
};

// The main window, shown, in a temporary folder made the current one.
class InWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    ASSERT_TRUE(QDir::setCurrent(root_ = QDir(tmp_.path()).canonicalPath()));
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  }
  void TearDown() override { EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); }
  QString At(const QString& name) const { return root_ + u'/' + name; }
  std::string Path(const std::string& name) const { return root_.toStdString() + '/' + name; }

  QTemporaryDir tmp_;
  QString root_;
  TForm1 form_;
};

inline QLineEdit* NameBox(QWidget* d) { return d->findChild<QLineEdit*>("fileNameEdit"); }
inline void ChooseFile(QWidget* dialog, const QString& name) {
  QLineEdit* edit = NameBox(dialog);
  edit->setFocus();
  edit->setText(name);
  QTest::keyClick(edit, Qt::Key_Return);
}

// Drops `data` on `target`'s centre, each event to it as the window system does; the action taken.
inline Qt::DropAction DragAndDrop(QWidget* target, const QMimeData& data, Qt::DropActions offered) {
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
  if (enter.isAccepted()) QApplication::sendEvent(target, &move);
  QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
  if (move.isAccepted()) QApplication::sendEvent(target, &drop);
  return drop.isAccepted() && move.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// The text in a column as wide as its widest line, up to half the screen.
inline void ExpectBox(QWidget* w, const BoxDescription& box, const QString& text) {
  auto* shown = qobject_cast<QMessageBox*>(w);
  ASSERT_NE(shown, nullptr);
  const auto* label = w->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  int widest = 0;
  for (const QString& line : text.split(u'\n'))
    widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
  EXPECT_EQ(label->width(), std::min(widest, w->screen()->geometry().width() / 2));
  QList<QPushButton*> all = shown->findChildren<QPushButton*>();
  std::sort(all.begin(), all.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
  QStringList seen{shown->windowTitle(), QString::number(shown->icon()), shown->text()};
  for (const QPushButton* b : all) seen << b->text();
  const auto icon = box.icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon;
  QStringList described{Tr(box.caption), QString::number(icon), text};
  for (const BoxButton& b : box.buttons) described << Tr(b.caption);
  EXPECT_EQ(seen, described);
}

}  // namespace tolvanix::testing

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
