// The piece-size field: reading, typing, stepping, the arrow buttons' repeat on
// a hand-driven clock, and what entering and leaving it does to the text.
#include <QClipboard>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <utility>

#include "ModalScript.h"
#include "ui/SpinEdit.h"

namespace tolvanix {
namespace {

TEST(SpinValue, ReadsOneSignDecimalOrDollarHexElseZero) {
  // clang-format off
  const std::pair<const char*, int32_t> cases[] = {
      {" 12", 12}, {"12 ", 0}, {"+12", 12}, {"-5", -5}, {"", 0}, {"-", 0}, {"+-1", 0}, {"1.5", 0},
      {"2147483647", INT32_MAX}, {"2147483648", 0}, {"-2147483648", 0}, {"$400", 1024},
      {" $Ff", 255}, {"$80000000", INT32_MIN}, {"$FFFFFFFF", -1}, {"$000000001", 1},
      {"$FFFFFFFFF", 0}, {"$", 0}, {"-$10", 0}, {"$1g", 0}};
  // clang-format on
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(ReadSpinValue(QString::fromUtf8(text)), value) << '"' << text << '"';
  }
}

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
    other_.setGeometry(100, 5, 80, 25);
    spin_.setGeometry(8, 5, 65, 21);
    spin_.setValue(1024);
    spin_.setBeep([this] { ++beeps_; });
    spin_.setRepeatTimer(std::unique_ptr<RepeatTimer>(timer_ = new ManualTimer));
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    other_.setFocus();
  }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }

  // A pointer move with the left button held, delivered as the window would.
  static void MoveTo(QWidget* w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
  }
  QLineEdit* edit() const { return spin_.editor(); }

  QWidget window_;
  QPushButton other_{QStringLiteral("other"), &window_};
  TSpinEdit spin_{&window_};
  ManualTimer* timer_ = nullptr;
  int beeps_ = 0;
};

TEST_F(SpinEditTest, TypingIsFilteredWithABeepPastingIsNot) {
  spin_.setFocus();
  spin_.setText(QString());
  QTest::keyClicks(edit(), QStringLiteral("-1+2.5"));  // C locale: a full stop
  QTest::keyClick(edit(), Qt::Key_Backspace);
  QTest::keyClick(edit(), Qt::Key_Home);
  QTest::sendKeyEvent(QTest::Click, edit(), Qt::Key_Delete, QChar(0x7f), {});  // as X11 gives it
  EXPECT_EQ(beeps_, 0);
  for (QKeyCombination k : std::initializer_list<QKeyCombination>{
           Qt::Key_A, Qt::Key_Dollar, Qt::Key_Space, Qt::Key_Return, Qt::ALT | Qt::Key_A,
           Qt::META | Qt::Key_B, Qt::CTRL | Qt::ALT | Qt::Key_C})
    QTest::keyClick(edit(), k.key(), k.keyboardModifiers());
  EXPECT_EQ(spin_.text(), QStringLiteral("1+2."));
  EXPECT_EQ(beeps_, 7);

  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  spin_.setText(QString());
  QTest::keyClicks(edit(), QStringLiteral("1,5."));
  EXPECT_EQ(spin_.text(), QStringLiteral("1,5"));
  EXPECT_EQ(beeps_, 8);

  // The clipboard keys still work: paste, cut, undo.
  edit()->selectAll();
  QApplication::clipboard()->setText(QStringLiteral("$400"));
  QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(spin_.value(), 1024);
  edit()->selectAll();
  QTest::keyClick(edit(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(spin_.text(), QString());
  QTest::keyClick(edit(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(spin_.text(), QStringLiteral("$400"));
  EXPECT_EQ(beeps_, 8);
}

TEST_F(SpinEditTest, ArrowKeysStepWithoutBoundsWrappingAround) {
  spin_.setFocus();
  // clang-format off
  const struct { const char* before; Qt::Key key; const char* after; } cases[] = {
      {"", Qt::Key_Up, "1"}, {"0", Qt::Key_Down, "-1"}, {" $10", Qt::Key_Up, "17"},
      {"2147483647", Qt::Key_Up, "-2147483648"}, {"-2147483647", Qt::Key_Down, "-2147483648"},
      {"-2147483648", Qt::Key_Up, "1"}};  // the last reads as 0
  // clang-format on
  for (const auto& c : cases) {
    spin_.setText(QString::fromUtf8(c.before));
    QTest::keyClick(edit(), c.key);
    EXPECT_EQ(spin_.text(), QString::fromUtf8(c.after)) << '"' << c.before << '"';
  }
  EXPECT_EQ(beeps_, 0);
}

TEST_F(SpinEditTest, HeldFor1050msAndReleasedOverTheButtonStepsEightTimes) {
  QWidget* up = spin_.upButton();
  const QPoint on = up->rect().center();
  QTest::mousePress(up, Qt::LeftButton, {}, on);
  EXPECT_TRUE(spin_.hasFocus());
  EXPECT_EQ(edit()->selectedText(), QStringLiteral("1024"));
  timer_->Advance(399);
  EXPECT_EQ(spin_.value(), 1024);  // nothing at the press, the first repeat at 400 ms
  timer_->Advance(1);
  EXPECT_EQ(spin_.value(), 1025);
  timer_->Advance(650);  // 500, 600, ..., 1000
  EXPECT_EQ(spin_.value(), 1031);
  QTest::mouseRelease(up, Qt::LeftButton, {}, on);
  EXPECT_EQ(spin_.value(), 1032);
  EXPECT_EQ(timer_->due, -1);
}

TEST_F(SpinEditTest, OnlyTheLeftButtonOverTheArrowSteps) {
  QWidget* down = spin_.downButton();
  const QPoint on = down->rect().center();
  const QPoint off(-20, -20);
  for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) QTest::mouseClick(down, b, {}, on);
  EXPECT_EQ(timer_->due, -1);
  EXPECT_TRUE(other_.hasFocus());

  QTest::mousePress(down, Qt::LeftButton, {}, on);
  timer_->Advance(450);  // 400
  MoveTo(down, off);
  timer_->Advance(300);  // 500, 600, 700 pass without a step
  EXPECT_EQ(spin_.value(), 1023);
  MoveTo(down, on);
  timer_->Advance(300);  // 800, 900, 1000: back at the 100 ms pace
  EXPECT_EQ(spin_.value(), 1020);
  MoveTo(down, off);
  QTest::mouseRelease(down, Qt::LeftButton, {}, off);
  EXPECT_EQ(spin_.value(), 1020);
  EXPECT_EQ(timer_->due, -1);
}

TEST_F(SpinEditTest, TabSelectsAllAClickPlacesTheCaretLeavingRewritesNothing) {
  QTest::keyClick(&other_, Qt::Key_Tab);
  ASSERT_TRUE(spin_.hasFocus());
  EXPECT_EQ(edit()->selectedText(), QStringLiteral("1024"));
  other_.setFocus();
  QTest::mouseClick(edit(), Qt::LeftButton, {}, QPoint(6, 10));
  ASSERT_TRUE(spin_.hasFocus());
  EXPECT_FALSE(edit()->hasSelectedText());

  spin_.setText(QStringLiteral("abc"));
  QTest::keyClick(edit(), Qt::Key_Tab);
  EXPECT_FALSE(spin_.hasFocus());
  EXPECT_EQ(spin_.text(), QStringLiteral("abc"));
}

}  // namespace
}  // namespace tolvanix
