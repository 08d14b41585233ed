// The boxes, with their texts and keys, and the names typed in file dialogs.
#include <QLabel>

#include "ModalScript.h"

namespace tolvanix {
namespace {

using namespace testing;

class InteractionTest : public InTempFolder {
 protected:
  QWidget window_;
  QLabel status_{&window_};
  QtInteraction ui_{&window_, &status_};
};

// Enter and Esc held with Shift, Ctrl or Alt do nothing: a notice stays open
// for its title bar to close (then idCancel here; by a key, idOk).
TEST_F(InteractionTest, EachBoxShowsItsTextsAndAnswersItsKeys) {
  enum Box { kNotice, kYesNoCancel, kYesNo };
  const QString held = QStringLiteral("Shift+Return Ctrl+Return Alt+Return Ctrl+Esc ");
  // clang-format off
  const BoxLook looks[] = {
      kNoticeBox, {"警告", QMessageBox::Warning, "はい(&Y)|いいえ(&N)|ｷｬﾝｾﾙ", "はい(&Y)"}, kYesNoBox};
  const struct { Box box; QString keys; int result; } rows[] = {
      {kNotice, "Return", idOk}, {kNotice, "Esc", idOk}, {kNotice, "", idCancel},
      {kNotice, held, idCancel}, {kYesNoCancel, "Return", idYes}, {kYesNoCancel, "N", idNo},
      {kYesNoCancel, "Tab Return", idNo}, {kYesNoCancel, "Esc", idCancel},
      {kYesNoCancel, "", idCancel}, {kYesNoCancel, held + "N", idNo}, {kYesNo, "Return", idNo},
      {kYesNo, "Y", idYes}, {kYesNo, "Esc", idNo}, {kYesNo, "", idNo},
      {kYesNo, "Tab Return", idYes}, {kYesNo, held + "Y", idYes}};
  // clang-format on
  const QString line = QStringLiteral("空き容量が足りません。");
  const std::string text = (line + QStringLiteral("\r\n") + line).toStdString();
  ui_.SetBusyCursor(true);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.keys.toStdString());
    const QCursor* inside = QGuiApplication::overrideCursor();
    int result = idOk;
    ModalScript script;
    script.Then([&](QWidget* box) {
      ExpectBox(box, looks[r.box], line + '\n' + line);
      inside = QGuiApplication::overrideCursor();
      for (const QString& k : r.keys.split(u' ', Qt::SkipEmptyParts)) {
        const QKeyCombination c = QKeySequence::fromString(k)[0];
        QTest::keyClick(box->focusWidget(), c.key(), c.keyboardModifiers());
      }
      if (r.keys.isEmpty() || (r.box == kNotice && box->isVisible())) {
        result = idCancel;
        box->close();
      }
    });
    if (r.box == kNotice) ui_.ShowNotice(text);
    if (r.box == kYesNoCancel) result = ui_.AskYesNoCancel(text);
    if (r.box == kYesNo) result = AskYesNo(&window_, text) ? idYes : idNo;
    EXPECT_EQ(result, r.result);
    EXPECT_EQ(inside, nullptr) << "the busy cursor is lifted while a box is open";
  }
  ui_.SetBusyCursor(false);
}

// A typed name of an existing file is that file, whatever dot or wildcard it
// holds; the default extension completes a new one. Only a confirmed dialog
// changes the name and the current folder; a save asks before it replaces.
TEST_F(InteractionTest, TypedNameBecomesTheFileName) {
  ASSERT_TRUE(QDir(root_).mkdir("sub"));
  for (const char* name : {"part", "part.001", "what?.001", "out.bin"}) WriteFile(Path(name), "");
  // The join's first prompt (default extension "*.001"), or the split's second.
  // clang-format off
  const struct { bool save; const char* typed; const char* chosen; } rows[] = {
      {false, "part", "part"}, {false, "new", "new.001"}, {false, "what?.001", "what?.001"},
      {false, "sub/x", "sub/x.001"}, {false, "out.bin", "out.bin"}, {false, nullptr, nullptr},
      {true, "out.bin", "out.bin"}};  // none typed: Esc
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.typed ? r.typed : "Esc");
    QDir::setCurrent(root_);
    FileDialogs d;
    ModalScript script;
    script.Then([&](QWidget* w) {
      NameBox(w)->setText(QStringLiteral("other"));
      r.typed ? ChooseFile(w, QString::fromUtf8(r.typed))
              : QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
    });
    if (r.save) {
      script.Then([](QWidget* question) {
        qobject_cast<QMessageBox*>(question)->button(QMessageBox::Yes)->click();
      });
    }
    EXPECT_EQ(r.save ? ui_.RunSaveDialog(d.SaveDialog1) : ui_.RunOpenDialog(d.OpenDialog2),
              r.typed != nullptr);
    EXPECT_EQ(r.save ? d.SaveDialog1.FileName : d.OpenDialog2.FileName,
              r.chosen ? Path(r.chosen) : "*.001");
    EXPECT_EQ(QDir::currentPath(), r.chosen ? QFileInfo(At(r.chosen)).path() : root_);
  }
}

}  // namespace
}  // namespace tolvanix
