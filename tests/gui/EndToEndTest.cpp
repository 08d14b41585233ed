// A split and then a join through the real main window, its real message
// boxes and file dialogs, answered as a user would; the rebuilt file must be
// the source byte for byte.
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
  for (const char* dir : {"pieces", "joined"}) ASSERT_TRUE(QDir(root).mkdir(dir));
  const QString source = root + QStringLiteral("/元ファイル.bin");
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
    EXPECT_EQ(NameBox(w)->text(), QStringLiteral("元ファイル.001"));
    ChooseFile(w, root + QStringLiteral("/pieces/元ファイル.001"));
  });
  {
    PaintWatch status(form.Label3);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(status.painted, (QStringList{"ファイル分割中です。  1/3", "ファイル分割中です。  2/3",
                                           "ファイル分割中です。  3/3"}));
  }
  EXPECT_EQ(QFileInfo(root + QStringLiteral("/pieces/元ファイル.001")).size(), 100 * 1024);

  script
      .Then([&](QWidget* w) {
        // "*.001" in the folder the last confirmed dialog left.
        EXPECT_EQ(NameBox(w)->text(), QStringLiteral("*.001"));
        EXPECT_EQ(Folder(w), root + QStringLiteral("/pieces"));
        ChooseFile(w, QStringLiteral("元ファイル.001"));
      })
      .Then([&](QWidget* w) {
        EXPECT_EQ(NameBox(w)->text(), QStringLiteral("元ファイル.bin"));  // the stored name
        ChooseFile(w, root + QStringLiteral("/joined/元ファイル.bin"));
      });
  PaintWatch status(form.Label3);
  QTest::mouseClick(form.Button2, Qt::LeftButton);
  EXPECT_EQ(status.painted.size(), 3);
  QFile joined(root + QStringLiteral("/joined/元ファイル.bin"));
  ASSERT_TRUE(joined.open(QIODevice::ReadOnly));
  EXPECT_EQ(joined.readAll(), data);
  EXPECT_TRUE(form.Label3->text().isEmpty());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  QDir::setCurrent(previous);
}

}  // namespace
