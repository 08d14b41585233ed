// The window in English: a split and a join through its boxes and prompts; no text cut.
#include <QLabel>

#include "ModalScript.h"
#include "Unit2.h"
#include "support/FaultyFileSystem.h"
#include "ui/Controls.h"

using namespace tolvanix;
using namespace tolvanix::testing;

struct English {
  English() { UseLanguage("en"); }
  ~English() { UseLanguage(""); }
};
struct InEnglish : English, InWindow {};  // English first: the window is made in it

// The window's labels and buttons (a box's buttons) show their whole text inside the window;
// the status line cuts a long one by design.
static void ExpectNothingCut(const QWidget* window) {
  const bool box = qobject_cast<const QMessageBox*>(window);
  for (const QWidget* c : window->findChildren<QWidget*>()) {
    const QString name = c->objectName();
    if (box ? !qobject_cast<const QPushButton*>(c)
            : !name.contains(QRegularExpression("^(Label[^3]|Button)")))
      continue;
    SCOPED_TRACE(name.toStdString() + " " + c->property("text").toString().toStdString());
    EXPECT_GE(c->width(), NeededWidth(c));
    EXPECT_LE(c->mapTo(window, QPoint(c->width(), 0)).x(), window->width());
  }
}

// Pieces on a removable drive: a notice between them; the join finds the last in another folder.
TEST_F(InEnglish, SplitAndJoinGoThroughEnglishBoxesAndPromptsThatCutNoText) {
  EXPECT_EQ(form_.Button1->text() + form_.Label1->text(), QStringLiteral("SplitPiece size"));
  ExpectNothingCut(&form_);
  const TForm2 about(&form_);
  ExpectNothingCut(&about);
  FaultyFileSystem fs;
  fs.removable = true;
  form_.UseFileSystem(&fs);
  const std::string data = RandomBytes(250'000, 7);
  WriteFile(Path("photo.jpg"), data);
  form_.SpinEdit1->setText(QStringLiteral("100"));  // three pieces
  const auto nextMedium = [&](QWidget* w) {
    ExpectBox(w, kNoticeBox, QStringLiteral("Insert the next medium."));
    ExpectNothingCut(w);
    QTest::keyClick(w->focusWidget(), Qt::Key_Return);
  };
  ModalScript script;
  script.Then([&](QWidget* w) { ChooseFile(w, At("photo.jpg")); })
      .Then([&](QWidget* w) { ChooseFile(w, At("p.001")); })
      .Then([&](QWidget* w) {
        EXPECT_EQ(form_.Label3->text(), QStringLiteral("Splitting the file...  1/3"));
        nextMedium(w);
      })
      .Then(nextMedium);
  QTest::mouseClick(form_.Button1, Qt::LeftButton);
  ASSERT_TRUE(QDir(root_).mkdir("other"));
  ASSERT_TRUE(QFile::rename(At("p.003"), At("other/p.003")));
  script.Then([&](QWidget* w) { ChooseFile(w, At("p.001")); })
      .Then([&](QWidget* w) { ChooseFile(w, At("out")); })
      .Then(nextMedium)
      .Then([&](QWidget* w) { ChooseFile(w, At("other/p.003")); })
      .Then([&](QWidget* w) {  // and the warning, with its access keys
        ExpectBox(w, {"Warning", QMessageBox::Warning, "&Yes|&No|Cancel", "&Yes"},
                  QString::fromUtf8(Tr(kLowSpaceWarning)).replace("\r\n", "\n"));
        ExpectNothingCut(w);
        QTest::keyClick(w->focusWidget(), Qt::Key_N);
      });
  QTest::mouseClick(form_.Button2, Qt::LeftButton);
  EXPECT_TRUE(ReadFile(Path("out")) == data);
  EXPECT_EQ(QtInteraction(&form_, form_.Label3).AskYesNoCancel(Tr(kLowSpaceWarning)), idNo);
}
