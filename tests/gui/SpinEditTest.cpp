// The piece-size field as a user meets it: the value its text reads as,
// typing, the arrow keys, and an arrow button held on a hand-driven clock.
#include <QMouseEvent>
#include <utility>

#include "ModalScript.h"
#include "ui/SpinEdit.h"

namespace tolvanix {
namespace {

// Fires the repeat steps when the test moves time on.
struct ManualTimer : RepeatTimer {
  void Start(int ms, std::function<void()> f) override {
    due = now + ms;
    fire = std::move(f);
  }
  void Stop() override { due = -1; }
  void Advance(int ms) {
    const int end = now + ms;
    while (due >= 0 && due <= end) {
      now = std::exchange(due, -1);
      const auto f = fire;  // replaced while it runs
      f();
    }
    now = end;
  }
  int now = 0;
  int due = -1;  // none
  std::function<void()> fire;
};

class SpinEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    spin_.setGeometry(8, 5, 65, 21);
    spin_.setBeep([this] { ++beeps_; });
    spin_.setRepeatTimer(std::unique_ptr<RepeatTimer>(timer_ = new ManualTimer));
    spin_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&spin_));
    spin_.setFocus();
  }
  TSpinEdit spin_;
  ManualTimer* timer_ = nullptr;
  int beeps_ = 0;
};

// Keys: ↑ ↓ the arrows, ⌫ Backspace, ⏎ Enter, any other character typed.
TEST_F(SpinEditTest, TextReadsAsOneSignDecimalOrDollarHexTypingIsFilteredArrowsWrap) {
  // clang-format off
  const struct { const char* before; const char* keys; const char* after; int32_t value; int beeps; }
      rows[] = {
      {" 12", "", " 12", 12, 0}, {"12 ", "", "12 ", 0, 0}, {"+12", "", "+12", 12, 0},
      {"-5", "", "-5", -5, 0}, {"-", "", "-", 0, 0}, {"+-1", "", "+-1", 0, 0},
      {"2147483647", "", "2147483647", INT32_MAX, 0}, {"2147483648", "", "2147483648", 0, 0},
      {"$400", "", "$400", 1024, 0}, {" $Ff", "", " $Ff", 255, 0},
      {"$80000000", "", "$80000000", INT32_MIN, 0}, {"$FFFFFFFF", "", "$FFFFFFFF", -1, 0},
      {"$000000001", "", "$000000001", 1, 0}, {"$FFFFFFFFF", "", "$FFFFFFFFF", 0, 0},
      {"$", "", "$", 0, 0}, {"-$10", "", "-$10", 0, 0}, {"$1g", "", "$1g", 0, 0},
      {"", "-1+2.5⌫", "-1+2.", 0, 0},  // C locale: a full stop
      {"", "12a$ ⏎x", "12", 12, 5}, {"", "↑", "1", 1, 0}, {"0", "↓", "-1", -1, 0},
      {" $10", "↑", "17", 17, 0}, {"2147483647", "↑", "-2147483648", 0, 0},  // reads as 0
      {"-2147483647", "↓", "-2147483648", 0, 0}, {"-2147483648", "↑", "1", 1, 0}};
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string("\"") + r.before + "\" " + r.keys);
    spin_.setText(QString::fromUtf8(r.before));
    beeps_ = 0;
    for (QChar c : QString::fromUtf8(r.keys)) {
      const Qt::Key key = c == u'↑'   ? Qt::Key_Up
                          : c == u'↓' ? Qt::Key_Down
                          : c == u'⌫' ? Qt::Key_Backspace
                          : c == u'⏎' ? Qt::Key_Return
                                      : Qt::Key_unknown;
      key == Qt::Key_unknown ? QTest::keyClick(spin_.editor(), c.toLatin1())
                             : QTest::keyClick(spin_.editor(), key);
    }
    EXPECT_EQ(spin_.text(), QString::fromUtf8(r.after));
    EXPECT_EQ(spin_.value(), r.value);
    EXPECT_EQ(beeps_, r.beeps);
  }
}

// Held 1050 ms: nothing at the press, a step at 400 ms and every 100 ms
// after while the pointer stays over the button, one more at the release.
TEST_F(SpinEditTest, ArrowButtonHeldStepsOnARepeatOnlyWhileThePointerIsOverIt) {
  spin_.setValue(1024);
  QWidget* up = spin_.upButton();
  const QPoint on = up->rect().center(), off(-20, -20);
  auto moveTo = [up](QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, up->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(up, &move);
  };
  QTest::mousePress(up, Qt::LeftButton, {}, on);
  timer_->Advance(399);
  EXPECT_EQ(spin_.value(), 1024);
  timer_->Advance(451);  // 400, 500, ..., 800
  EXPECT_EQ(spin_.value(), 1029);
  moveTo(off);
  timer_->Advance(200);  // 900, 1000 pass without a step
  moveTo(on);
  timer_->Advance(100);
  EXPECT_EQ(spin_.value(), 1030);
  QTest::mouseRelease(up, Qt::LeftButton, {}, on);
  EXPECT_EQ(spin_.value(), 1031);
  EXPECT_EQ(timer_->due, -1);
  QTest::mouseClick(up, Qt::RightButton, {}, on);
  EXPECT_EQ(spin_.value(), 1031);
}

}  // namespace
}  // namespace tolvanix
