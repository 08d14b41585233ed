// The piece-size field: how its text reads, which keys it takes, stepping
// without bounds, the arrow buttons' repeat on a hand-driven clock, and what
// entering and leaving it does to the text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "ui/SpinEdit.h"

namespace tolvanix {
namespace {

// --- reading the value -----------------------------------------------------

struct Reading {
  const char* text;
  int32_t value;
};

void PrintTo(const Reading& r, std::ostream* os) { *os << '"' << r.text << "\" -> " << r.value; }

class SpinValueReading : public ::testing::TestWithParam<Reading> {};

TEST_P(SpinValueReading, ReadsAs) {
  EXPECT_EQ(ReadSpinValue(QString::fromUtf8(GetParam().text)), GetParam().value)
      << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Decimal, SpinValueReading,
    ::testing::Values(Reading{"1024", 1024}, Reading{" 12", 12}, Reading{"   7", 7},
                      Reading{"12 ", 0}, Reading{"+12", 12}, Reading{"-5", -5}, Reading{"", 0},
                      Reading{"   ", 0}, Reading{"+", 0}, Reading{"-", 0}, Reading{"--1", 0},
                      Reading{"+-1", 0}, Reading{"- 1", 0}, Reading{"1.5", 0}, Reading{"1,5", 0},
                      Reading{"12a", 0}, Reading{"abc", 0}, Reading{"1-2", 0}, Reading{"\t12", 0},
                      Reading{"１２", 0}, Reading{"007", 7}, Reading{"-0", 0},
                      Reading{"2147483647", 2147483647}, Reading{"2147483648", 0},
                      Reading{"-2147483647", -2147483647}, Reading{"-2147483648", 0},
                      Reading{"99999999999999999999", 0}));

INSTANTIATE_TEST_SUITE_P(Hexadecimal, SpinValueReading,
                         ::testing::Values(Reading{"$400", 1024}, Reading{" $ff", 255},
                                           Reading{"$Ff", 255}, Reading{"$7FFFFFFF", 2147483647},
                                           Reading{"$80000000", INT32_MIN},
                                           Reading{"$FFFFFFFF", -1}, Reading{"$000000001", 1},
                                           Reading{"$100000000", 0}, Reading{"$", 0},
                                           Reading{"$g", 0}, Reading{"-$10", 0}, Reading{"+$10", 0},
                                           Reading{"$10 ", 0}, Reading{"$$1", 0}));

// --- the field -------------------------------------------------------------

// Fires the repeat steps when the test moves time on.
class ManualTimer : public RepeatTimer {
 public:
  void Start(int ms, std::function<void()> fire) override {
    due_ = now_ + ms;
    fire_ = std::move(fire);
    ++starts_;
  }
  void Stop() override { due_ = -1; }
  void Advance(int ms) {
    const int end = now_ + ms;
    while (due_ >= 0 && due_ <= end) {
      now_ = due_;
      due_ = -1;
      const auto fire = fire_;
      fire();
    }
    now_ = end;
  }
  bool Running() const { return due_ >= 0; }
  int Starts() const { return starts_; }

 private:
  int now_ = 0;
  int due_ = -1;
  int starts_ = 0;
  std::function<void()> fire_;
};

class SpinEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(200, 60);
    other_.setGeometry(100, 5, 80, 25);
    spin_.setGeometry(8, 5, 65, 21);
    spin_.setValue(1024);
    spin_.setBeep([this] { ++beeps_; });
    auto timer = std::make_unique<ManualTimer>();
    timer_ = timer.get();
    spin_.setRepeatTimer(std::move(timer));
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    other_.setFocus();
  }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }

  // Pointer moves while a button is held, delivered as the window would.
  static void MoveTo(QWidget* w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
  }
  QPoint Centre(QWidget* w) const { return w->rect().center(); }
  QLineEdit* edit() const { return spin_.editor(); }

  QWidget window_;
  QPushButton other_{QStringLiteral("other"), &window_};
  TSpinEdit spin_{&window_};
  ManualTimer* timer_ = nullptr;
  int beeps_ = 0;
};

TEST_F(SpinEditTest, RefusedKeysBeepAndChangeNothing) {
  spin_.setFocus();
  spin_.setText(QStringLiteral("12"));
  edit()->end(false);
  QTest::keyClick(edit(), Qt::Key_A);
  QTest::keyClick(edit(), Qt::Key_Dollar);
  QTest::keyClick(edit(), Qt::Key_Space);
  QTest::keyClick(edit(), Qt::Key_Return);
  QTest::keyClick(edit(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(spin_.text(), QStringLiteral("12"));
  EXPECT_EQ(beeps_, 5);
}

TEST_F(SpinEditTest, AcceptedKeysTypeWithoutBeep) {
  spin_.setFocus();
  spin_.setText(QString());
  QTest::keyClicks(edit(), QStringLiteral("-1+2.5"));
  EXPECT_EQ(spin_.text(), QStringLiteral("-1+2.5"));  // C locale: a full stop
  EXPECT_EQ(spin_.value(), 0);
  QTest::keyClick(edit(), Qt::Key_Backspace);
  QTest::keyClick(edit(), Qt::Key_Home);
  QTest::keyClick(edit(), Qt::Key_Delete);
  EXPECT_EQ(spin_.text(), QStringLiteral("1+2."));
  EXPECT_EQ(beeps_, 0);
}

TEST_F(SpinEditTest, DecimalSeparatorFollowsTheLocale) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  spin_.setFocus();
  spin_.setText(QString());
  QTest::keyClicks(edit(), QStringLiteral("1,5"));
  QTest::keyClick(edit(), Qt::Key_Period);
  EXPECT_EQ(spin_.text(), QStringLiteral("1,5"));
  EXPECT_EQ(beeps_, 1);
}

TEST_F(SpinEditTest, PasteIsNotFiltered) {
  spin_.setFocus();
  edit()->selectAll();
  QApplication::clipboard()->setText(QStringLiteral("$400"));
  QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(spin_.text(), QStringLiteral("$400"));
  EXPECT_EQ(spin_.value(), 1024);
  EXPECT_EQ(beeps_, 0);
}

TEST_F(SpinEditTest, ArrowKeysStepWithoutBoundsWrappingAround) {
  spin_.setFocus();
  const struct {
    const char* before;
    Qt::Key key;
    const char* after;
  } cases[] = {
      {"", Qt::Key_Up, "1"},
      {"0", Qt::Key_Down, "-1"},
      {"abc", Qt::Key_Down, "-1"},
      {" $10", Qt::Key_Up, "17"},
      {"2147483647", Qt::Key_Up, "-2147483648"},
      {"-2147483647", Qt::Key_Down, "-2147483648"},
      {"-2147483648", Qt::Key_Up, "1"},  // reads as 0
  };
  for (const auto& c : cases) {
    spin_.setText(QString::fromUtf8(c.before));
    QTest::keyClick(edit(), c.key);
    EXPECT_EQ(spin_.text(), QString::fromUtf8(c.after)) << '"' << c.before << '"';
  }
  EXPECT_EQ(spin_.value(), 1);
  EXPECT_EQ(beeps_, 0);
}

TEST_F(SpinEditTest, ArrowButtonStepsOnceAtTheRelease) {
  QWidget* up = spin_.upButton();
  QTest::mousePress(up, Qt::LeftButton, {}, Centre(up));
  EXPECT_EQ(spin_.value(), 1024);
  QTest::mouseRelease(up, Qt::LeftButton, {}, Centre(up));
  EXPECT_EQ(spin_.value(), 1025);
  EXPECT_FALSE(timer_->Running());

  QWidget* down = spin_.downButton();
  QTest::mouseClick(down, Qt::LeftButton, {}, Centre(down));
  QTest::mouseClick(down, Qt::LeftButton, {}, Centre(down));
  EXPECT_EQ(spin_.value(), 1023);
}

TEST_F(SpinEditTest, HeldFor1050msAndReleasedOverTheButtonStepsEightTimes) {
  QWidget* up = spin_.upButton();
  QTest::mousePress(up, Qt::LeftButton, {}, Centre(up));
  timer_->Advance(399);
  EXPECT_EQ(spin_.value(), 1024);  // first repeat only at 400 ms
  timer_->Advance(1);
  EXPECT_EQ(spin_.value(), 1025);
  timer_->Advance(650);  // 500, 600, ..., 1000
  EXPECT_EQ(spin_.value(), 1031);
  QTest::mouseRelease(up, Qt::LeftButton, {}, Centre(up));
  EXPECT_EQ(spin_.value(), 1032);
  EXPECT_FALSE(timer_->Running());
}

TEST_F(SpinEditTest, RepeatPausesOffTheButtonAndNoStepAtAReleaseElsewhere) {
  QWidget* down = spin_.downButton();
  QTest::mousePress(down, Qt::LeftButton, {}, Centre(down));
  timer_->Advance(450);  // 400
  MoveTo(down, QPoint(-20, -20));
  timer_->Advance(300);  // 500, 600, 700 pass without a step
  EXPECT_EQ(spin_.value(), 1023);
  MoveTo(down, Centre(down));
  timer_->Advance(300);  // 800, 900, 1000: back at the 100 ms pace
  EXPECT_EQ(spin_.value(), 1020);
  MoveTo(down, QPoint(-20, -20));
  QTest::mouseRelease(down, Qt::LeftButton, {}, QPoint(-20, -20));
  EXPECT_EQ(spin_.value(), 1020);
  EXPECT_FALSE(timer_->Running());
}

TEST_F(SpinEditTest, OnlyTheLeftButtonActs) {
  QWidget* up = spin_.upButton();
  for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
    QTest::mousePress(up, b, {}, Centre(up));
    QTest::mouseRelease(up, b, {}, Centre(up));
  }
  EXPECT_EQ(spin_.value(), 1024);
  EXPECT_EQ(timer_->Starts(), 0);
  EXPECT_TRUE(other_.hasFocus());
}

TEST_F(SpinEditTest, PressingAnArrowFocusesTheFieldAndSelectsItsText) {
  QWidget* up = spin_.upButton();
  QTest::mousePress(up, Qt::LeftButton, {}, Centre(up));
  EXPECT_TRUE(spin_.hasFocus());
  EXPECT_EQ(edit()->selectedText(), QStringLiteral("1024"));
  QTest::mouseRelease(up, Qt::LeftButton, {}, Centre(up));
}

TEST_F(SpinEditTest, TabSelectsAllAClickPlacesTheCaret) {
  QTest::keyClick(&other_, Qt::Key_Tab);
  ASSERT_TRUE(spin_.hasFocus());
  EXPECT_EQ(edit()->selectedText(), QStringLiteral("1024"));

  other_.setFocus();
  QTest::mouseClick(edit(), Qt::LeftButton, {}, QPoint(6, 10));
  ASSERT_TRUE(spin_.hasFocus());
  EXPECT_FALSE(edit()->hasSelectedText());
}

TEST_F(SpinEditTest, LeavingKeepsTextThatIsNoNumber) {
  spin_.setFocus();
  spin_.setText(QStringLiteral("abc"));
  QTest::keyClick(edit(), Qt::Key_Tab);
  EXPECT_FALSE(spin_.hasFocus());
  EXPECT_EQ(spin_.text(), QStringLiteral("abc"));
  EXPECT_EQ(spin_.value(), 0);
}

}  // namespace
}  // namespace tolvanix
