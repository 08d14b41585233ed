// A split and then a join through the real main window, its real message
// boxes and file dialogs, answered as a user would; the rebuilt file must be
// the source byte for byte.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "ModalScript.h"
#include "Unit1.h"
#include "ui/SpinEdit.h"

namespace {

using tolvanix::testing::ChooseFile;
using tolvanix::testing::ModalScript;
using tolvanix::testing::PressKey;

// The status line's text each time it is painted.
class StatusWatch : public QObject {
 public:
  explicit StatusWatch(QLabel* label) : label_(label) { label->installEventFilter(this); }
  ~StatusWatch() override { label_->removeEventFilter(this); }
  Q_DISABLE_COPY_MOVE(StatusWatch)
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && !label_->text().isEmpty() &&
        (painted.isEmpty() || painted.last() != label_->text())) {
      painted << label_->text();
    }
    return false;
  }
  QStringList painted;

 private:
  QLabel* label_;
};

QString NameBox(QWidget* dialog) {
  return dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    root_ = QDir(tmp_.path()).canonicalPath();
    for (const char* dir : {"pieces", "disk2", "joined"}) ASSERT_TRUE(QDir(root_).mkdir(dir));
    source_ = root_ + QStringLiteral("/元ファイル.bin");
    data_.resize(250'000);
    QRandomGenerator rng(20240611);
    for (char& c : data_) c = static_cast<char>(rng.bounded(256));
    QFile f(source_);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(data_), data_.size());
    f.close();

    previous_ = QDir::currentPath();
    QDir::setCurrent(root_);
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
    form_.SpinEdit1->setText(QStringLiteral("100"));  // 100 KB: three pieces
  }
  void TearDown() override { QDir::setCurrent(previous_); }

  // Splits the source into root/pieces through the window.
  void Split() {
    ModalScript script;
    script
        .Then([this](QWidget* w) {
          ASSERT_NE(qobject_cast<QFileDialog*>(w), nullptr);
          ChooseFile(w, source_);
        })
        .Then([this](QWidget* w) {
          EXPECT_EQ(NameBox(w), QStringLiteral("元ファイル.001"));
          ChooseFile(w, root_ + QStringLiteral("/pieces/元ファイル.001"));
        });
    StatusWatch status(form_.Label3);
    QTest::mouseClick(form_.Button1, Qt::LeftButton);
    EXPECT_EQ(status.painted, (QStringList{QStringLiteral("ファイル分割中です。  1/3"),
                                           QStringLiteral("ファイル分割中です。  2/3"),
                                           QStringLiteral("ファイル分割中です。  3/3")}));
    EXPECT_EQ(script.Answered(), 2);
  }

  QByteArray Read(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
  }

  QTemporaryDir tmp_;
  QString root_;
  QString source_;
  QString previous_;
  QByteArray data_;
  TForm1 form_;
};

TEST_F(EndToEnd, SplitThenJoinRebuildsTheSourceByteForByte) {
  Split();
  for (const char* n : {"001", "002", "003"}) {
    EXPECT_TRUE(QFile::exists(root_ + QStringLiteral("/pieces/元ファイル.") + n)) << n;
  }
  EXPECT_EQ(QFileInfo(root_ + QStringLiteral("/pieces/元ファイル.001")).size(), 100 * 1024);

  ModalScript script;
  script
      .Then([this](QWidget* w) {
        // Proposes "*.001" in the folder the last confirmed dialog left.
        EXPECT_EQ(NameBox(w), QStringLiteral("*.001"));
        EXPECT_EQ(QDir(qobject_cast<QFileDialog*>(w)->directory()).canonicalPath(),
                  root_ + QStringLiteral("/pieces"));
        ChooseFile(w, QStringLiteral("元ファイル.001"));
      })
      .Then([this](QWidget* w) {
        EXPECT_EQ(NameBox(w), QStringLiteral("元ファイル.bin"));  // the stored name
        ChooseFile(w, root_ + QStringLiteral("/joined/元ファイル.bin"));
      });
  StatusWatch status(form_.Label3);
  QTest::mouseClick(form_.Button2, Qt::LeftButton);
  EXPECT_EQ(script.Answered(), 2);
  EXPECT_EQ(status.painted.size(), 3);
  EXPECT_EQ(Read(root_ + QStringLiteral("/joined/元ファイル.bin")), data_);
  EXPECT_TRUE(form_.Label3->text().isEmpty());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(EndToEnd, JoinAsksForAMissingPieceAndFindsItInAnotherFolder) {
  Split();
  ASSERT_TRUE(QFile::rename(root_ + QStringLiteral("/pieces/元ファイル.003"),
                            root_ + QStringLiteral("/disk2/元ファイル.003")));
  form_.OpenDialog2.FileName = (root_ + QStringLiteral("/pieces/元ファイル.001")).toStdString();

  ModalScript script;
  const Qt::CursorShape noShape = Qt::BitmapCursor;
  Qt::CursorShape underNotice = noShape;
  script
      .Then([](QWidget* w) { PressKey(w, Qt::Key_Return); })  // the proposed first piece
      .Then([this](QWidget* w) { ChooseFile(w, root_ + QStringLiteral("/joined/out.bin")); })
      .Then([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QStringLiteral("次のメディアを入れてください。"));
        const QCursor* c = QGuiApplication::overrideCursor();
        underNotice = c ? c->shape() : Qt::ArrowCursor;
        PressKey(w, Qt::Key_Escape);
      })
      .Then([this](QWidget* w) {
        // Proposes where the piece was expected; the user points at its folder.
        EXPECT_EQ(NameBox(w), QStringLiteral("元ファイル.003"));
        ChooseFile(w, root_ + QStringLiteral("/disk2/元ファイル.003"));
      });
  QTest::mouseClick(form_.Button2, Qt::LeftButton);
  EXPECT_EQ(script.Answered(), 4);
  EXPECT_EQ(underNotice, Qt::ArrowCursor);  // the busy cursor is lifted inside the box
  EXPECT_EQ(Read(root_ + QStringLiteral("/joined/out.bin")), data_);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
