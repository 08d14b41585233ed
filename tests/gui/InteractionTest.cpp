// The interaction services on Qt: each box with its texts and keys, and what
// a name typed in a file dialog becomes.
#include <QLabel>
#include <QTemporaryDir>

#include "ModalScript.h"
#include "ui/QtInteraction.h"

namespace tolvanix {
namespace {

using namespace testing;

// Services on a window with a status line, run in a temporary current folder.
class InteractionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid() && QDir(tmp_.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QDir::setCurrent(At("")));
  }
  void TearDown() override {
    QDir::setCurrent(previous_);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
  QString At(const char* name) const {
    return QDir(tmp_.path()).canonicalPath() + u'/' + QString::fromUtf8(name);
  }

  QWidget window_;
  QLabel status_{&window_};
  QtInteraction ui_{&window_, &status_};
  const QString previous_ = QDir::currentPath();
  QTemporaryDir tmp_;
  FileDialogs dialogs_;
};

// Under the busy cursor, lifted while a box is open. Enter and Esc held
// with Shift, Ctrl or Alt do nothing: a notice stays open for its title bar
// to close (kept: idCancel here, closed by a key: idOk).
TEST_F(InteractionTest, EachBoxShowsItsTextsAndAnswersItsKeys) {
  enum Box { kNotice, kYesNoCancel, kYesNo };
  const std::vector<QKeyCombination> held = {Qt::SHIFT | Qt::Key_Return, Qt::CTRL | Qt::Key_Return,
                                             Qt::ALT | Qt::Key_Return, Qt::CTRL | Qt::Key_Escape};
  auto then = [held](QKeyCombination k) {
    auto keys = held;
    keys.push_back(k);
    return keys;
  };
  // clang-format off
  const struct { Box box; std::vector<QKeyCombination> keys; int result; } rows[] = {
      {kNotice, {Qt::Key_Return}, idOk}, {kNotice, {Qt::Key_Escape}, idOk},
      {kNotice, {}, idCancel}, {kNotice, held, idCancel},
      {kYesNoCancel, {Qt::Key_Return}, idYes}, {kYesNoCancel, {Qt::Key_N}, idNo},
      {kYesNoCancel, {Qt::Key_Tab, Qt::Key_Return}, idNo},
      {kYesNoCancel, {Qt::Key_Escape}, idCancel}, {kYesNoCancel, {}, idCancel},
      {kYesNoCancel, then(Qt::Key_N), idNo}, {kYesNo, {Qt::Key_Return}, idNo},
      {kYesNo, {Qt::Key_Y}, idYes}, {kYesNo, {Qt::Key_Escape}, idNo}, {kYesNo, {}, idNo},
      {kYesNo, {Qt::Key_Tab, Qt::Key_Return}, idYes}, {kYesNo, then(Qt::Key_Y), idYes}};
  // clang-format on
  const QString line = QStringLiteral("空き容量が足りません。");
  const std::string text = (line + QStringLiteral("\r\n") + line).toStdString();
  ui_.SetBusyCursor(true);
  for (const auto& r : rows) {
    SCOPED_TRACE(&r - rows);
    const QCursor* inside = QGuiApplication::overrideCursor();
    int result = idOk;
    ModalScript script;
    script.Then([&](QWidget* box) {
      if (r.box == kNotice)
        ExpectBox(box, "Tolvanix", QMessageBox::NoIcon, line + '\n' + line, "OK", "OK");
      if (r.box == kYesNoCancel)
        ExpectBox(box, "警告", QMessageBox::Warning, line + '\n' + line,
                  "はい(&Y)|いいえ(&N)|ｷｬﾝｾﾙ", "はい(&Y)");
      if (r.box == kYesNo)
        ExpectBox(box, "Tolvanix", QMessageBox::Warning, line + '\n' + line, "はい(&Y)|いいえ(&N)",
                  "いいえ(&N)");
      inside = QGuiApplication::overrideCursor();
      for (QKeyCombination k : r.keys)
        QTest::keyClick(box->focusWidget(), k.key(), k.keyboardModifiers());
      if (r.keys.empty() || (r.box == kNotice && box->isVisible())) {
        result = idCancel;
        box->close();
      }
    });
    if (r.box == kNotice) ui_.ShowNotice(text);
    if (r.box == kYesNoCancel) result = ui_.AskYesNoCancel(text);
    if (r.box == kYesNo) result = AskYesNo(&window_, text) ? idYes : idNo;
    EXPECT_EQ(result, r.result);
    EXPECT_EQ(inside, nullptr);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  ui_.SetBusyCursor(false);
}

// A typed name that names an existing file is that file, whatever dot or
// wildcard it holds; the default extension only completes a new name. Only
// a confirmed dialog changes the name and the current folder, and only a
// save with the overwrite prompt asks before replacing a file.
TEST_F(InteractionTest, TypedNameBecomesTheFileName) {
  for (const char* name : {"part", "part.001", "what?.001", "out.bin"})
    ASSERT_TRUE(QFile(At(name)).open(QIODevice::WriteOnly));
  enum { kJoinFirst, kSaveNoPrompt, kSave };  // the first with the default extension "*.001"
  // clang-format off
  const struct { int dialog; const char* typed; const char* chosen; bool asks; } rows[] = {
      {kJoinFirst, "part", "part", false}, {kJoinFirst, "new", "new.001", false},
      {kJoinFirst, "what?.001", "what?.001", false}, {kJoinFirst, "sub/x", "sub/x.001", false},
      {kJoinFirst, "out.bin", "out.bin", false}, {kJoinFirst, nullptr, nullptr, false},  // Esc
      {kSaveNoPrompt, "out.bin", "out.bin", false}, {kSave, "out.bin", "out.bin", true}};
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.typed ? r.typed : "Esc");
    QDir::setCurrent(At(""));
    FileDialogs d;
    d.SaveDialog2.Options = 0;
    ModalScript script;
    script.Then([&](QWidget* w) {
      NameBox(w)->setText(QStringLiteral("other"));
      r.typed ? ChooseFile(w, QString::fromUtf8(r.typed))
              : QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
    });
    if (r.asks) {
      script.Then([](QWidget* question) {
        qobject_cast<QMessageBox*>(question)->button(QMessageBox::Yes)->click();
      });
    }
    const bool confirmed =
        r.dialog == kJoinFirst
            ? ui_.RunOpenDialog(d.OpenDialog2)
            : ui_.RunSaveDialog(r.dialog == kSave ? d.SaveDialog1 : d.SaveDialog2);
    EXPECT_EQ(confirmed, r.typed != nullptr);
    const TFileDialog& used = r.dialog == kJoinFirst ? static_cast<TFileDialog&>(d.OpenDialog2)
                              : r.dialog == kSave    ? d.SaveDialog1
                                                     : d.SaveDialog2;
    EXPECT_EQ(used.FileName, r.chosen ? At(r.chosen).toStdString() : "*.001");
    EXPECT_EQ(QDir::currentPath(), r.chosen ? QFileInfo(At(r.chosen)).path() : At("").chopped(1));
  }
}

}  // namespace
}  // namespace tolvanix
