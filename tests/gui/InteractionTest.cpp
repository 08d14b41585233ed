// The interaction services on Qt: what the boxes and file dialogs show, how
// their keys answer, what a dialog run leaves in its settings and in the
// process's current folder, the status line and the busy cursor.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>

#include "ModalScript.h"
#include "ui/QtInteraction.h"

namespace tolvanix {
namespace {

using testing::ChooseFile;
using testing::ModalScript;
using testing::PressKey;
using testing::Reject;

// Buttons of a box from left to right.
QList<QPushButton*> ButtonRow(QWidget* box) {
  QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
  std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) {
    return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
  });
  return buttons;
}

QRect Screen(QWidget* w) { return w->screen()->geometry(); }

class InteractionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(300, 120);
    status_.setGeometry(8, 96, 273, 17);
  }
  void TearDown() override { EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr); }

  QWidget window_;
  QLabel status_{&window_};
  QtInteraction ui_{&window_, &status_};
};

// --- message boxes ---------------------------------------------------------

TEST_F(InteractionTest, WarningBoxShowsCaptionIconAndButtonsInOrder) {
  ModalScript script;
  script.Then([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("警告"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->text(), QStringLiteral("一行目\n二行目"));
    const auto row = ButtonRow(box);
    ASSERT_EQ(row.size(), 3);
    EXPECT_EQ(row[0]->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(row[1]->text(), QStringLiteral("いいえ(&N)"));
    EXPECT_EQ(row[2]->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_EQ(row[0]->width(), row[1]->width());
    EXPECT_EQ(row[1]->width(), row[2]->width());
    EXPECT_TRUE(row[0]->isDefault());
    EXPECT_TRUE(row[0]->hasFocus());
    // Centred on the screen.
    const QRect s = Screen(box);
    EXPECT_EQ(box->x(), s.x() + (s.width() - box->width()) / 2);
    EXPECT_EQ(box->y(), s.y() + (s.height() - box->height()) / 2);
    box->done(QDialog::Rejected);
  });
  ui_.AskYesNoCancel("一行目\r\n二行目");
}

TEST_F(InteractionTest, NoticeBoxHasTheTitleNoIconAndOneOkButton) {
  ModalScript script;
  script.Then([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Tolvanix"));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    const auto row = ButtonRow(box);
    ASSERT_EQ(row.size(), 1);
    EXPECT_EQ(row[0]->text(), QStringLiteral("OK"));
    EXPECT_TRUE(row[0]->hasFocus());
    const QRect s = Screen(box);
    EXPECT_EQ(box->x(), s.x() + (s.width() - box->width()) / 2);
    PressKey(box, Qt::Key_Return);
  });
  ui_.ShowNotice("ファイルのオープンに失敗しました。");
  EXPECT_EQ(script.Answered(), 1);
}

struct BoxAnswer {
  const char* name;
  std::function<void(QWidget*)> act;
  int result;
};

void PrintTo(const BoxAnswer& a, std::ostream* os) { *os << a.name; }

class WarningBoxAnswers : public InteractionTest,
                          public ::testing::WithParamInterface<BoxAnswer> {};

TEST_P(WarningBoxAnswers, YieldTheirResult) {
  ModalScript script;
  script.Then(GetParam().act);
  EXPECT_EQ(ui_.AskYesNoCancel("選択されているコピー先に十分な余裕が有りません。"),
            GetParam().result);
}

QPushButton* Nth(QWidget* box, qsizetype i) { return ButtonRow(box).at(i); }

INSTANTIATE_TEST_SUITE_P(
    Keys, WarningBoxAnswers,
    ::testing::Values(
        BoxAnswer{"EnterAtOnceIsYes", [](QWidget* b) { PressKey(b, Qt::Key_Return); }, idYes},
        BoxAnswer{"KeypadEnterIsYes",
                  [](QWidget* b) { PressKey(b, Qt::Key_Enter, Qt::KeypadModifier); }, idYes},
        BoxAnswer{"SpaceOnYesIsYes", [](QWidget* b) { PressKey(b, Qt::Key_Space); }, idYes},
        BoxAnswer{"YKeyIsYes", [](QWidget* b) { PressKey(b, Qt::Key_Y); }, idYes},
        BoxAnswer{"NKeyIsNo", [](QWidget* b) { PressKey(b, Qt::Key_N); }, idNo},
        BoxAnswer{"AltNIsNo", [](QWidget* b) { PressKey(b, Qt::Key_N, Qt::AltModifier); }, idNo},
        BoxAnswer{"TabThenEnterIsNo",
                  [](QWidget* b) {
                    PressKey(b, Qt::Key_Tab);
                    PressKey(b, Qt::Key_Return);
                  },
                  idNo},
        BoxAnswer{"EscIsCancel", [](QWidget* b) { PressKey(b, Qt::Key_Escape); }, idCancel},
        BoxAnswer{"CloseIsCancel", [](QWidget* b) { b->close(); }, idCancel},
        BoxAnswer{"ClickYes", [](QWidget* b) { QTest::mouseClick(Nth(b, 0), Qt::LeftButton); },
                  idYes},
        BoxAnswer{"ClickNo", [](QWidget* b) { QTest::mouseClick(Nth(b, 1), Qt::LeftButton); },
                  idNo},
        BoxAnswer{"ClickCancel", [](QWidget* b) { QTest::mouseClick(Nth(b, 2), Qt::LeftButton); },
                  idCancel}),
    [](const auto& info) { return std::string(info.param.name); });

class NoticeBoxCloses : public InteractionTest, public ::testing::WithParamInterface<BoxAnswer> {};

// A key that does not close the box leaves it open until the script's
// patience runs out, which fails the test.
TEST_P(NoticeBoxCloses, By) {
  ModalScript script;
  script.Then(GetParam().act);
  ui_.ShowNotice("次のメディア入れてください。");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, NoticeBoxCloses,
    ::testing::Values(BoxAnswer{"Enter", [](QWidget* b) { PressKey(b, Qt::Key_Return); }, 0},
                      BoxAnswer{"Esc", [](QWidget* b) { PressKey(b, Qt::Key_Escape); }, 0},
                      BoxAnswer{"Space", [](QWidget* b) { PressKey(b, Qt::Key_Space); }, 0},
                      BoxAnswer{"CloseButton", [](QWidget* b) { b->close(); }, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InteractionTest, BoxShowsTheNormalPointerAndGivesTheBusyOneBack) {
  ui_.SetBusyCursor(true);
  ModalScript script;
  const QCursor* inside = reinterpret_cast<const QCursor*>(1);
  auto peek = [&inside](QWidget* b) {
    inside = QGuiApplication::overrideCursor();
    PressKey(b, Qt::Key_Escape);
  };
  script.Then(peek).Then(peek);
  ui_.ShowNotice("x");
  EXPECT_EQ(inside, nullptr);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

  inside = reinterpret_cast<const QCursor*>(1);
  ui_.AskYesNoCancel("x");
  EXPECT_EQ(inside, nullptr);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui_.SetBusyCursor(false);
}

TEST_F(InteractionTest, LongTextWrapsWithinHalfTheScreen) {
  ModalScript script;
  script.Then([](QWidget* box) {
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_LE(label->width(), Screen(box).width() / 2);
    EXPECT_GT(label->height(), 3 * label->fontMetrics().height());
    PressKey(box, Qt::Key_Escape);
  });
  std::string text;
  for (int i = 0; i < 20; ++i) text += "空き容量が足りません ";
  ui_.ShowNotice(text);
}

// --- busy cursor -----------------------------------------------------------

TEST_F(InteractionTest, BusyCursorIsBalanced) {
  ui_.SetBusyCursor(false);  // never on: nothing to take away
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  ui_.SetBusyCursor(true);
  ui_.SetBusyCursor(true);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui_.SetBusyCursor(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // Someone else's cursor is not ours to take.
  QGuiApplication::setOverrideCursor(Qt::CrossCursor);
  ui_.SetBusyCursor(false);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QGuiApplication::restoreOverrideCursor();
}

TEST_F(InteractionTest, BusyCursorLeftOnIsTakenAwayWithTheServices) {
  {
    QtInteraction ui(&window_, &status_);
    ui.SetBusyCursor(true);
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// --- status line -----------------------------------------------------------

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(InteractionTest, StatusTextIsPaintedBeforeReturning) {
  window_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  PaintCounter counter;
  status_.installEventFilter(&counter);
  ui_.SetStatusText("ファイル分割中です。  3/12");
  EXPECT_EQ(status_.text(), QStringLiteral("ファイル分割中です。  3/12"));
  EXPECT_GE(counter.paints, 1);  // no return to the event loop in between
  status_.removeEventFilter(&counter);
}

// --- file dialogs: conversions ---------------------------------------------

TEST(FileDialogSettings, FilterBecomesQtTypeList) {
  EXPECT_EQ(QtNameFilters(""), QStringList());
  EXPECT_EQ(QtNameFilters("すべてのファイル|*.*"),
            QStringList{QStringLiteral("すべてのファイル (*)")});
  EXPECT_EQ(QtNameFilters("Tolvanixﾌｧｲﾙ|*.001"),
            QStringList{QStringLiteral("Tolvanixﾌｧｲﾙ (*.001)")});
  EXPECT_EQ(QtNameFilters("Text|*.txt; *.doc|All|*.*"),
            (QStringList{QStringLiteral("Text (*.txt *.doc)"), QStringLiteral("All (*)")}));
  EXPECT_EQ(QtNameFilters("Text|*.txt|Orphan"), QStringList{QStringLiteral("Text (*.txt)")});
}

TEST(FileDialogSettings, DefaultExtBecomesQtSuffix) {
  EXPECT_EQ(QtDefaultSuffix(""), QString());
  EXPECT_EQ(QtDefaultSuffix("*.*"), QString());
  EXPECT_EQ(QtDefaultSuffix("*.001"), QStringLiteral("001"));
  EXPECT_EQ(QtDefaultSuffix(".txt"), QStringLiteral("txt"));
  EXPECT_EQ(QtDefaultSuffix("bin"), QStringLiteral("bin"));
}

// --- file dialogs: runs ----------------------------------------------------

class FileDialogRun : public InteractionTest {
 protected:
  void SetUp() override {
    InteractionTest::SetUp();
    ASSERT_TRUE(tmp_.isValid());
    root_ = QDir(tmp_.path()).canonicalPath();
    ASSERT_TRUE(QDir(root_).mkpath(QStringLiteral("sub")));
    previous_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root_));
  }
  void TearDown() override {
    QDir::setCurrent(previous_);
    InteractionTest::TearDown();
  }
  void Touch(const QString& name) {
    QFile f(root_ + u'/' + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
  }
  std::string Path(const QString& name) const { return (root_ + u'/' + name).toStdString(); }

  QTemporaryDir tmp_;
  QString root_;
  QString previous_;
};

TEST_F(FileDialogRun, OpenDialogShowsItsSettingsAndIsPlacedAThirdDown) {
  FileDialogs dialogs;
  ModalScript script;
  script.Then([this](QWidget* w) {
    auto* d = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(d->fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("Tolvanixﾌｧｲﾙ (*.001)")});
    EXPECT_EQ(d->defaultSuffix(), QStringLiteral("001"));
    EXPECT_EQ(QDir(d->directory()).canonicalPath(), root_);  // the current folder
    EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
              QStringLiteral("*.001"));
    const QRect s = Screen(w);
    EXPECT_EQ(w->x(), s.x() + (s.width() - w->width()) / 2);
    EXPECT_EQ(w->y(), s.y() + (s.height() - w->height()) / 3);
    Reject(w);
  });
  EXPECT_FALSE(ui_.RunOpenDialog(dialogs.OpenDialog2));
  EXPECT_EQ(dialogs.OpenDialog2.FileName, "*.001");
}

TEST_F(FileDialogRun, WildcardProposalListsOnlyMatchingFiles) {
  Touch(QStringLiteral("a.001"));
  Touch(QStringLiteral("a.002"));
  Touch(QStringLiteral("b.txt"));
  FileDialogs dialogs;
  dialogs.OpenDialog2.Filter.clear();  // the pattern alone must do the listing
  ModalScript script;
  script.Then([](QWidget* w) {
    auto* view = w->findChild<QAbstractItemView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    QStringList listed;
    auto collect = [&] {
      listed.clear();
      const QAbstractItemModel* m = view->model();
      for (int r = 0; r < m->rowCount(view->rootIndex()); ++r) {
        listed << m->index(r, 0, view->rootIndex()).data().toString();
      }
      return listed.contains(QStringLiteral("sub")) && listed.contains(QStringLiteral("a.001"));
    };
    EXPECT_TRUE(QTest::qWaitFor(collect, 5000)) << listed.join(u' ').toStdString();
    EXPECT_FALSE(listed.contains(QStringLiteral("a.002")));
    EXPECT_FALSE(listed.contains(QStringLiteral("b.txt")));
    Reject(w);
  });
  EXPECT_FALSE(ui_.RunOpenDialog(dialogs.OpenDialog2));
}

TEST_F(FileDialogRun, ConfirmSetsFullPathAndMovesTheCurrentFolder) {
  Touch(QStringLiteral("sub/source.bin"));
  FileDialogs dialogs;
  ModalScript script;
  script.Then([this](QWidget* w) { ChooseFile(w, root_ + QStringLiteral("/sub/source.bin")); });
  ASSERT_TRUE(ui_.RunOpenDialog(dialogs.OpenDialog1));
  EXPECT_EQ(dialogs.OpenDialog1.FileName, Path(QStringLiteral("sub/source.bin")));
  EXPECT_EQ(dialogs.OpenDialog1.FilterIndex, 1);
  EXPECT_EQ(QDir::currentPath(), root_ + QStringLiteral("/sub"));

  // Run again: proposes that path and opens in its folder, even from elsewhere.
  QDir::setCurrent(root_);
  script.Then([this](QWidget* w) {
    EXPECT_EQ(QDir(qobject_cast<QFileDialog*>(w)->directory()).canonicalPath(),
              root_ + QStringLiteral("/sub"));
    EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
              QStringLiteral("source.bin"));
    Reject(w);
  });
  EXPECT_FALSE(ui_.RunOpenDialog(dialogs.OpenDialog1));
}

TEST_F(FileDialogRun, CancelKeepsNameAndTypeIndex) {
  FileDialogs dialogs;
  dialogs.SaveDialog2.FileName = "joined.bin";
  dialogs.SaveDialog2.Filter = "Text|*.txt|All|*.*";
  dialogs.SaveDialog2.FilterIndex = 2;
  ModalScript script;
  script.Then([](QWidget* w) {
    auto* d = qobject_cast<QFileDialog*>(w);
    EXPECT_EQ(d->selectedNameFilter(), QStringLiteral("All"));  // details hidden
    d->selectNameFilter(QStringLiteral("Text (*.txt)"));
    w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("other"));
    PressKey(w, Qt::Key_Escape);
  });
  EXPECT_FALSE(ui_.RunSaveDialog(dialogs.SaveDialog2));
  EXPECT_EQ(dialogs.SaveDialog2.FileName, "joined.bin");
  EXPECT_EQ(dialogs.SaveDialog2.FilterIndex, 2);
  EXPECT_EQ(QDir::currentPath(), root_);
}

TEST_F(FileDialogRun, ConfirmKeepsTheTypeTheUserEndedWith) {
  FileDialogs dialogs;
  dialogs.SaveDialog1.Filter = "Text|*.txt|All|*.*";
  ModalScript script;
  script.Then([this](QWidget* w) {
    qobject_cast<QFileDialog*>(w)->selectNameFilter(QStringLiteral("All (*)"));
    ChooseFile(w, root_ + QStringLiteral("/piece.001"));
  });
  ASSERT_TRUE(ui_.RunSaveDialog(dialogs.SaveDialog1));
  EXPECT_EQ(dialogs.SaveDialog1.FilterIndex, 2);
}

TEST_F(FileDialogRun, SaveAsksBeforeReplacingAnExistingFile) {
  Touch(QStringLiteral("out.bin"));
  FileDialogs dialogs;
  ModalScript script;
  script.Then([this](QWidget* w) { ChooseFile(w, root_ + QStringLiteral("/out.bin")); })
      .Then([](QWidget* question) {
        EXPECT_NE(qobject_cast<QMessageBox*>(question), nullptr);
        QTest::keyClick(question, Qt::Key_Escape);  // No: back to the dialog
      })
      .Then([this](QWidget* w) {
        EXPECT_NE(qobject_cast<QFileDialog*>(w), nullptr);
        ChooseFile(w, root_ + QStringLiteral("/out.bin"));
      })
      .Then([](QWidget* question) {
        auto* box = qobject_cast<QMessageBox*>(question);
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Yes)->click();
      });
  ASSERT_TRUE(ui_.RunSaveDialog(dialogs.SaveDialog1));
  EXPECT_EQ(dialogs.SaveDialog1.FileName, Path(QStringLiteral("out.bin")));
  EXPECT_EQ(script.Answered(), 4);
}

TEST_F(FileDialogRun, OpenDialogNeverAsksAboutReplacing) {
  Touch(QStringLiteral("a.001"));
  FileDialogs dialogs;  // OpenDialog2 carries ofOverwritePrompt all the same
  ModalScript script;
  script.Then([this](QWidget* w) { ChooseFile(w, root_ + QStringLiteral("/a.001")); });
  ASSERT_TRUE(ui_.RunOpenDialog(dialogs.OpenDialog2));
  EXPECT_EQ(dialogs.OpenDialog2.FileName, Path(QStringLiteral("a.001")));
  EXPECT_EQ(script.Answered(), 1);
}

TEST_F(FileDialogRun, OpenAcceptsAFileThatDoesNotExist) {
  FileDialogs dialogs;
  dialogs.OpenDialog3.FileName = "sub/missing.003";
  ModalScript script;
  script.Then([this](QWidget* w) {
    EXPECT_EQ(QDir(qobject_cast<QFileDialog*>(w)->directory()).canonicalPath(),
              root_ + QStringLiteral("/sub"));
    PressKey(w, Qt::Key_Return);
  });
  ASSERT_TRUE(ui_.RunOpenDialog(dialogs.OpenDialog3));
  EXPECT_EQ(dialogs.OpenDialog3.FileName, Path(QStringLiteral("sub/missing.003")));
}

TEST_F(FileDialogRun, PathLongerThan259BytesIsNotConfirmed) {
  QString deep = root_;
  while (deep.toUtf8().size() < 250) deep += u'/' + QString(60, u'd');
  ASSERT_TRUE(QDir().mkpath(deep));
  FileDialogs dialogs;
  dialogs.SaveDialog2.FileName = "before";
  ModalScript script;
  script.Then([&](QWidget* w) { ChooseFile(w, deep + QStringLiteral("/joined.bin")); });
  EXPECT_FALSE(ui_.RunSaveDialog(dialogs.SaveDialog2));
  EXPECT_EQ(dialogs.SaveDialog2.FileName, "before");
  EXPECT_EQ(QDir::currentPath(), root_);
}

TEST_F(FileDialogRun, TypedPatternListsInsteadOfConfirming) {
  FileDialogs dialogs;
  ModalScript script;
  script.Then([this](QWidget* w) {
    ChooseFile(w, QStringLiteral("*.txt"));
    EXPECT_TRUE(w->isVisible());  // still open, now listing *.txt
    ChooseFile(w, root_ + QStringLiteral("/sub/picked.txt"));
  });
  ASSERT_TRUE(ui_.RunOpenDialog(dialogs.OpenDialog1));
  EXPECT_EQ(dialogs.OpenDialog1.FileName, Path(QStringLiteral("sub/picked.txt")));
}

}  // namespace
}  // namespace tolvanix
