// The piece-size field: what its text reads as, and typing and steps do.
#include "ModalScript.h"
#include "ui/SpinEdit.h"

namespace tolvanix {
namespace {

// Keys: ↑ ↓ the arrows, ⌫ Backspace, ⏎ Enter, ▲ ▼ a click on the arrow
// buttons, △ a right click on the up one, any other character typed.
TEST(SpinEdit, TextReadsAsOneSignDecimalOrDollarHexTypingIsFilteredStepsWrap) {
  // clang-format off
  const struct { const char *before, *keys; int32_t value; const char* after = {}; int beeps = 0; }
      rows[] = {
      {" 12", "", 12}, {"12 ", "", 0}, {"+12", "", 12}, {"-5", "", -5}, {"-", "", 0},
      {"+-1", "", 0}, {"1.5", "", 0}, {"2147483647", "", INT32_MAX}, {"2147483648", "", 0},
      {"$400", "", 1024}, {" $Ff", "", 255}, {"$80000000", "", INT32_MIN}, {"$FFFFFFFF", "", -1},
      {"$000000001", "", 1}, {"$FFFFFFFFF", "", 0}, {"$", "", 0}, {"-$10", "", 0}, {"$1g", "", 0},
      {"", "-1+2.5⌫", 0, "-1+2."},  // C locale: a full stop
      {"", "12a$ ⏎x", 12, "12", 5}, {"", "↑", 1, "1"}, {"0", "↓", -1, "-1"},
      {" $10", "↑", 17, "17"}, {"2147483647", "↑", 0, "-2147483648"},  // which reads as 0
      {"-2147483647", "↓", 0, "-2147483648"}, {"-2147483648", "↑", 1, "1"},
      {"1024", "▲▲", 1026, "1026"}, {"$10", "▼", 15, "15"}, {"7", "△", 7}};
  // clang-format on
  TSpinEdit spin;
  int beeps = 0;
  spin.setBeep([&] { ++beeps; });
  spin.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&spin));
  const Qt::Key keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Backspace, Qt::Key_Return};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string("\"") + r.before + "\" " + r.keys);
    spin.setText(QString::fromUtf8(r.before));
    beeps = 0;
    for (QChar c : QString::fromUtf8(r.keys)) {
      const qsizetype k = QStringLiteral("↑↓⌫⏎▲▼△").indexOf(c);
      k < 0   ? QTest::keyClick(spin.editor(), c.toLatin1())
      : k < 4 ? QTest::keyClick(spin.editor(), keys[k])
              : QTest::mouseClick(k == 5 ? spin.downButton() : spin.upButton(),
                                  k == 6 ? Qt::RightButton : Qt::LeftButton);
    }
    EXPECT_EQ(spin.text(), QString::fromUtf8(r.after ? r.after : r.before));  // none: unchanged
    EXPECT_EQ(spin.value(), r.value);
    EXPECT_EQ(beeps, r.beeps);
  }
}

}  // namespace
}  // namespace tolvanix
