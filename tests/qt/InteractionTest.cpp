// The boxes, the names typed in file dialogs, the piece-size field.
#include <QInputMethodQueryEvent>

#include "ModalScript.h"

using namespace tolvanix;
using namespace tolvanix::testing;

struct InteractionTest : InWindow {
  QtInteraction ui_{&form_, form_.Label3};
};

// Keys held with Shift, Ctrl or Alt do nothing: then the box is closed. A wide line wraps.
TEST_F(InteractionTest, ABoxDrawsItsDescriptionAndAnswersItsKeys) {
  const QString line = QStringLiteral("空き容量が足りません。").repeated(6);
  const std::string text = (line + QStringLiteral("\r\n") + line).toStdString();
  const QString held = QStringLiteral("Shift+Return Ctrl+Return Alt+Return Ctrl+Esc");
  ui_.SetBusyCursor(true);
  for (const BoxDescription* box : {&NoticeBox(), &WarningBox(), &StopQuestionBox()}) {
    const auto answer = [&](size_t button) { return box->buttons[button].answer; };
    std::vector<std::pair<QString, Answer>> rows = {
        {"Return", answer(box->defaultButton)},
        {"Tab Return", answer((box->defaultButton + 1) % box->buttons.size())},
        {"Esc", answer(box->cancelButton)},
        {"", box->closeAnswer},
        {held, box->closeAnswer},
    };
    for (size_t i = 0; i < box->buttons.size(); ++i) {
      if (const char32_t key = AccessKey(Tr(box->buttons[i].caption))) {
        rows.push_back({QString(QChar(key)), answer(i)});
        rows.push_back({"Alt+" + QString(QChar(key)), answer(i)});
      }
    }
    for (const auto& [keys, expected] : rows) {
      SCOPED_TRACE(std::string(box->caption) + " " + keys.toStdString());
      const QCursor* inside = QGuiApplication::overrideCursor();
      ModalScript script;
      script.Then([&](QWidget* w) {
        ExpectBox(w, *box, line + '\n' + line);
        inside = QGuiApplication::overrideCursor();
        for (const QString& k : keys.split(u' ', Qt::SkipEmptyParts)) {
          const QKeyCombination c = QKeySequence::fromString(k)[0];
          QTest::keyClick(w->focusWidget(), c.key(), c.keyboardModifiers());
        }
        if (keys.isEmpty() || keys == held) w->close();
      });
      EXPECT_EQ(ShowBox(&form_, *box, text), expected);
      EXPECT_EQ(inside, nullptr) << "the busy cursor is lifted while a box is open";
    }
  }
  ui_.SetBusyCursor(false);
}

// The join's first prompt: only a confirmed dialog changes the name and the current folder.
TEST_F(InteractionTest, TypedNameBecomesTheFileName) {
  ASSERT_TRUE(QDir(root_).mkdir("sub"));
  for (const char* name : {"part", "part.001"}) WriteFile(Path(name), "");
  const std::pair<const char*, const char*> rows[] = {
      {"part", "part"},
      {"sub/x", "sub/x.001"},
      {nullptr, nullptr},
  };
  for (const auto& [typed, chosen] : rows) {
    SCOPED_TRACE(typed ? typed : "Esc");
    QDir::setCurrent(root_);
    FileDialogs d;
    ModalScript script;
    script.Then([&, typed = typed](QWidget* w) {
      EXPECT_EQ(NameBox(w)->text(), QStringLiteral("*.001"));
      NameBox(w)->setText(QStringLiteral("other"));
      typed ? ChooseFile(w, typed) : QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(ui_.RunOpenDialog(d.OpenDialog2), typed != nullptr);
    EXPECT_EQ(d.OpenDialog2.FileName, chosen ? Path(chosen) : "*.001");
    EXPECT_EQ(QDir::currentPath(), chosen ? QFileInfo(At(chosen)).path() : root_);
  }
}

// ↑ ↓ ⌫ ⏎: keys; ▲ ▼: clicks on the arrow buttons, △ a right click on the up one.
TEST(SpinEdit, TypingIsFilteredKeysAndArrowsStep) {
  struct Row {
    const char *before, *keys;
    int32_t value;
    const char* after = {};  // none: unchanged
    int beeps = 0;
  };
  const Row rows[] = {
      {"", "-1+2.5⌫", 0, "-1+2."},  // C locale: a full stop
      {"", "12a$ ⏎x", 12, "12", 5},
      {"", "↓↓↑", -1, "-1"},
      {"1024", "▲▲▼△", 1025, "1025"},
  };
  TSpinEdit spin;
  int beeps = 0;
  spin.setBeep([&] { ++beeps; });
  spin.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&spin));
  QInputMethodQueryEvent asked(Qt::ImEnabled);  // as the platform's input method asks
  QCoreApplication::sendEvent(spin.editor(), &asked);
  EXPECT_FALSE(asked.value(Qt::ImEnabled).toBool()) << "no input method: typing gives keys";
  const Qt::Key keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Backspace, Qt::Key_Return};
  for (const Row& r : rows) {
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
    EXPECT_EQ(spin.text(), QString::fromUtf8(r.after ? r.after : r.before));
    EXPECT_EQ(spin.value(), r.value);
    EXPECT_EQ(beeps, r.beeps);
  }
}
