// A split and then a join through the real main window, its real message
// boxes and file dialogs, answered as a user would; the rebuilt file must be
// the source byte for byte. The source's name holds characters that are no
// folder break here, and the pieces lie in a Japanese folder tree deeper than
// 300 bytes.
#include <QGuiApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include "ModalScript.h"
#include "Unit1.h"
#include "ui/SpinEdit.h"

namespace {

using namespace tolvanix::testing;

TEST(EndToEnd, SplitThenJoinRebuildsTheSourceByteForByte) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QString root = QDir(tmp.path()).canonicalPath();
  QString pieces = root;
  while (pieces.toUtf8().size() < 300) pieces += QStringLiteral("/分割したファイルの置き場");
  ASSERT_TRUE(QDir().mkpath(pieces));
  const QString source = root + QStringLiteral("/元 12:30 a\\b*?.bin");
  QByteArray data;
  for (int i = 0; i < 250'000; ++i) data += static_cast<char>(i * 31 % 251);
  QFile f(source);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
  f.close();

  const QString previous = QDir::currentPath();
  QDir::setCurrent(root);
  TForm1 form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.SpinEdit1->setText(QStringLiteral("100"));  // 100 KB: three pieces

  ModalScript script;
  script.Then([&](QWidget* w) { ChooseFile(w, source); }).Then([&](QWidget* w) {
    EXPECT_EQ(NameBox(w)->text(), QStringLiteral("元 12:30 a\\b__.001"));
    ChooseFile(w, pieces + u'/' + NameBox(w)->text());
  });
  {
    PaintWatch status(form.Label3);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(status.painted, (QStringList{"ファイル分割中です。  1/3", "ファイル分割中です。  2/3",
                                           "ファイル分割中です。  3/3"}));
  }
  QFile first(pieces + QStringLiteral("/元 12:30 a\\b__.001"));
  ASSERT_TRUE(first.open(QIODevice::ReadOnly));
  EXPECT_EQ(first.size(), 100 * 1024);
  EXPECT_EQ(first.read(19), QByteArray("\x8c\xb3 12:30 a\\b*?.bin\0", 19));  // the name as it is

  script
      .Then([&](QWidget* w) {
        // "*.001" in the folder the last confirmed dialog left.
        EXPECT_EQ(NameBox(w)->text(), QStringLiteral("*.001"));
        EXPECT_EQ(Folder(w), pieces);
        ChooseFile(w, QStringLiteral("元 12:30 a\\b__.001"));
      })
      .Then([&](QWidget* w) {
        // The stored name, confirmed as it stands.
        EXPECT_EQ(NameBox(w)->text(), QStringLiteral("元 12:30 a\\b__.bin"));
        QTest::keyClick(NameBox(w), Qt::Key_Return);
      });
  PaintWatch status(form.Label3);
  QTest::mouseClick(form.Button2, Qt::LeftButton);
  EXPECT_EQ(status.painted.size(), 3);
  QFile joined(pieces + QStringLiteral("/元 12:30 a\\b__.bin"));
  ASSERT_TRUE(joined.open(QIODevice::ReadOnly));
  EXPECT_EQ(joined.readAll(), data);
  EXPECT_TRUE(form.Label3->text().isEmpty());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  QDir::setCurrent(previous);
}

}  // namespace
