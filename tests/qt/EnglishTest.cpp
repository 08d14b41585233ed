// The window in English: a split and a join through its boxes and prompts; no text cut.
#include <QUrl>

#include "ModalScript.h"
#include "qt/Controls.h"
#include "qt/QtHandover.h"
#include "qt/Unit2.h"
#include "support/FaultyFileSystem.h"

using namespace tolvanix;
using namespace tolvanix::testing;

struct English {
  English() { UseLanguage("en"); }
  ~English() { UseLanguage(""); }
};
struct InEnglish : English, InWindow {};  // English first: the window is made in it

// The status line cuts a long text by design.
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

// A folder tree deeper than 300 bytes, a name with characters that break no folder here.
TEST_F(InEnglish, SplitAndJoinGoThroughEnglishBoxesAndPromptsThatCutNoText) {
  ExpectNothingCut(&form_);
  const TForm2 about(&form_);
  ExpectNothingCut(&about);
  FaultyFileSystem fs;
  fs.removable = true;
  form_.UseFileSystem(&fs);
  QString pieces = root_;
  while (pieces.toUtf8().size() < 300) pieces += QStringLiteral("/分割したファイルの置き場");
  ASSERT_TRUE(QDir().mkpath(pieces));
  ASSERT_TRUE(QDir().mkpath(At("other")));
  const QString source = QStringLiteral("元 12:30 a\\b*?.bin"),
                name = QStringLiteral("元 12:30 a\\b__");
  const std::string data = RandomBytes(250'000, 7);
  WriteFile(Path(source.toStdString()), data);
  WriteFile(Path("out"), "");                       // replaced once the save dialog has asked
  form_.SpinEdit1->setText(QStringLiteral("100"));  // three pieces
  const auto nextMedium = [&](QWidget* w) {
    ExpectBox(w, NoticeBox(), QStringLiteral("Insert the next medium."));
    ExpectNothingCut(w);
    QTest::keyClick(w->focusWidget(), Qt::Key_Return);
  };
  ModalScript script;
  script.Then([&](QWidget* w) { ChooseFile(w, At(source)); })
      .Then([&](QWidget* w) {
        EXPECT_EQ(NameBox(w)->text(), name + ".001");
        ChooseFile(w, pieces + u'/' + name + ".001");
      })
      .Then([&](QWidget* w) {
        EXPECT_EQ(form_.Label3->text(), QStringLiteral("Splitting the file...  1/3"));
        nextMedium(w);
      })
      .Then(nextMedium);
  QTest::mouseClick(form_.Button1, Qt::LeftButton);
  ASSERT_TRUE(QFile::rename(pieces + u'/' + name + ".003", At("other/" + name + ".003")));
  ASSERT_TRUE(QDir::setCurrent(root_));
  script
      .Then([&](QWidget* w) {  // in the folder of the piece, made current by its opening
        EXPECT_EQ(NameBox(w)->text(), name + ".bin") << "the stored name";
        EXPECT_EQ(qobject_cast<QFileDialog*>(w)->directory().path(), pieces);
        ChooseFile(w, At("out"));
      })
      .Then([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); })
      .Then(nextMedium)
      .Then([&](QWidget* w) { ChooseFile(w, At("other/" + name + ".003")); })
      .Then([&](QWidget* w) {  // and the warning, with its access keys
        ExpectBox(w, WarningBox(), QString::fromUtf8(Tr(kLowSpaceWarning)).replace("\r\n", "\n"));
        ExpectNothingCut(w);
        QTest::keyClick(w->focusWidget(), Qt::Key_N);
      });
  const QString first = QUrl::fromLocalFile(pieces + u'/' + name + ".001").toEncoded();
  form_.StartWith(
      ReadArguments(ArgumentsOf({"tolvanix", first}), QtFileFacts(), OptionStyle::Posix, ""));
  QCoreApplication::processEvents();
  EXPECT_TRUE(ReadFile(Path("out")) == data);
  EXPECT_EQ(QtInteraction(&form_, form_.Label3).AskYesNoCancel(Tr(kLowSpaceWarning)), Answer::No);
}
