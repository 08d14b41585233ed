// The interaction services on Qt: boxes and their keys, file dialogs and what
// a run leaves behind, the status line and the busy cursor.
#include <QAbstractItemView>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>

#include "ModalScript.h"
#include "ui/QtInteraction.h"

namespace tolvanix {
namespace {

using namespace testing;

// The box's buttons' texts from left to right; all of one width.
QStringList ButtonRow(QWidget* box) {
  QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
  std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
  QStringList texts;
  for (const QPushButton* b : buttons) {
    texts << b->text();
    EXPECT_EQ(b->width(), buttons[0]->width()) << b->text().toStdString();
  }
  return texts;
}

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
  void Touch(const char* name) { ASSERT_TRUE(QFile(At(name)).open(QIODevice::WriteOnly)); }
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

TEST_F(InteractionTest, BoxesShowCaptionIconButtonsAndWrappedTextCentredOnTheScreen) {
  const QString line = QStringLiteral("空き容量が足りません ").repeated(20);
  auto expect = [&](const char* caption, QMessageBox::Icon icon, const QStringList& buttons) {
    return [=](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->windowTitle(), QString::fromUtf8(caption));
      EXPECT_EQ(box->icon(), icon);
      EXPECT_EQ(box->text(), line + u'\n' + line);
      EXPECT_EQ(ButtonRow(box), buttons);
      EXPECT_EQ(box->defaultButton()->text(), buttons[0]);
      EXPECT_EQ(box->focusWidget(), box->defaultButton());
      EXPECT_EQ(box->pos(), Centred(box, box->size()));
      auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      EXPECT_LE(label->width(), box->screen()->geometry().width() / 2);  // wrapped
      EXPECT_GT(label->height(), 3 * label->fontMetrics().height());
      box->reject();
    };
  };
  ModalScript script;
  script.Then(expect("警告", QMessageBox::Warning, {"はい(&Y)", "いいえ(&N)", "ｷｬﾝｾﾙ"}))
      .Then(expect("Tolvanix", QMessageBox::NoIcon, {"OK"}));
  const std::string text = (line + QStringLiteral("\r\n") + line).toStdString();
  ui_.AskYesNoCancel(text);
  ui_.ShowNotice(text);
}

// Enter and Esc held with Shift, Ctrl or Alt do nothing: the warning still
// answers N after them, the notice stays open for its title bar to close
// (the notice's result here: idOk when a key closed it, else idCancel).
TEST_F(InteractionTest, BoxKeysGiveTheirResultUnderTheNormalPointer) {
  const std::vector<QKeyCombination> held = {Qt::SHIFT | Qt::Key_Return, Qt::CTRL | Qt::Key_Return,
                                             Qt::ALT | Qt::Key_Return, Qt::CTRL | Qt::Key_Escape,
                                             Qt::Key_N};
  // clang-format off
  const struct { bool ask; std::vector<QKeyCombination> keys; int result; } cases[] = {
      {true, {Qt::Key_Return}, idYes}, {true, {Qt::Key_N}, idNo},
      {true, {Qt::Key_Tab, Qt::Key_Return}, idNo}, {true, {Qt::Key_Escape}, idCancel},
      {true, {}, idCancel},  // no keys: the title bar's close
      {true, held, idNo}, {false, {Qt::Key_Return}, idOk}, {false, {Qt::Key_Escape}, idOk},
      {false, {}, idCancel}, {false, held, idCancel}};
  // clang-format on
  ui_.SetBusyCursor(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    const QCursor* inside = QGuiApplication::overrideCursor();
    int result = idOk;
    ModalScript script;
    script.Then([&](QWidget* box) {
      inside = QGuiApplication::overrideCursor();
      for (QKeyCombination k : c.keys)
        QTest::keyClick(box->focusWidget(), k.key(), k.keyboardModifiers());
      if (c.keys.empty() || (!c.ask && box->isVisible())) {
        result = idCancel;
        box->close();
      }
    });
    if (c.ask) {
      EXPECT_EQ(ui_.AskYesNoCancel("十分な余裕が有りません。"), c.result);
    } else {
      ui_.ShowNotice("次のメディア入れてください。");
      EXPECT_EQ(result, c.result);
    }
    EXPECT_EQ(inside, nullptr);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  ui_.SetBusyCursor(false);
}

TEST_F(InteractionTest, BusyCursorIsBalanced) {
  ui_.SetBusyCursor(true);
  ui_.SetBusyCursor(true);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  ui_.SetBusyCursor(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  QGuiApplication::setOverrideCursor(Qt::CrossCursor);
  ui_.SetBusyCursor(false);  // never on: someone else's cursor stays
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QGuiApplication::restoreOverrideCursor();

  QtInteraction(&window_, &status_).SetBusyCursor(true);  // left on: taken away at the end
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(InteractionTest, StatusTextIsPaintedBeforeReturning) {
  window_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  PaintWatch watch(&status_);
  ui_.SetStatusText("ファイル分割中です。  3/12");  // no return to the event loop after
  EXPECT_EQ(watch.painted, QStringList{"ファイル分割中です。  3/12"});
}

TEST(FileDialogSettings, FilterAndDefaultExtBecomeQtTypesAndSuffix) {
  EXPECT_EQ(QtNameFilters(""), QStringList());
  EXPECT_EQ(QtNameFilters("Text|*.txt; *.doc|All|*.*|Orphan"),
            (QStringList{"Text (*.txt *.doc)", "All (*)"}));
  EXPECT_EQ(QtDefaultSuffix("*.*"), QString());
  EXPECT_EQ(QtDefaultSuffix("*.001"), QStringLiteral("001"));
}

TEST_F(InteractionTest, WildcardProposalListsMatchingFilesInADialogAThirdDown) {
  for (const char* name : {"a.001", "a.002", "b.txt"}) Touch(name);
  TOpenDialog& d = dialogs_.OpenDialog2;  // FileName "*.001"
  d.Filter = "All|*.*";                   // the pattern alone must do the listing
  ModalScript script;
  script.Then([this](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"All (*)"});
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("001"));
    EXPECT_EQ(Folder(w) + u'/', At(""));
    EXPECT_EQ(NameBox(w)->text(), QStringLiteral("*.001"));
    EXPECT_EQ(w->pos(), Centred(w, w->size(), 3));

    auto* view = w->findChild<QAbstractItemView*>(QStringLiteral("listView"));
    QStringList listed;
    const auto listsTheMatch = [&] {
      listed.clear();
      for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r) {
        listed << view->model()->index(r, 0, view->rootIndex()).data().toString();
      }
      return listed.contains("sub") && listed.contains("a.001");
    };
    EXPECT_TRUE(QTest::qWaitFor(listsTheMatch, 5000)) << listed.join(u' ').toStdString();
    EXPECT_FALSE(listed.contains("a.002") || listed.contains("b.txt"));

    ChooseFile(w, QStringLiteral("*.txt"));  // a typed pattern lists, it does not confirm
    EXPECT_TRUE(w->isVisible());
    dialog->reject();
  });
  EXPECT_FALSE(ui_.RunOpenDialog(d));
  EXPECT_EQ(d.FileName, "*.001");
}

TEST_F(InteractionTest, OnlyAConfirmedRunSetsNameTypeIndexAndCurrentFolder) {
  TOpenDialog& d = dialogs_.OpenDialog3;
  d.FileName = "sub/missing.003";  // need not exist
  d.Filter = "Text|*.txt|All|*.*";
  d.FilterIndex = 2;
  auto pickText = [this](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("All"));  // details hidden
    EXPECT_EQ(Folder(w), At("sub"));                                 // the proposal's folder
    dialog->selectNameFilter(QStringLiteral("Text (*.txt)"));
  };
  ModalScript script;
  script
      .Then([&](QWidget* w) {
        pickText(w);
        NameBox(w)->setText(QStringLiteral("other"));
        QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
      })
      .Then([&](QWidget* w) {
        pickText(w);
        ChooseFile(w, QStringLiteral("missing.003"));
      });
  EXPECT_FALSE(ui_.RunOpenDialog(d));
  EXPECT_EQ(d.FileName, "sub/missing.003");
  EXPECT_EQ(d.FilterIndex, 2);
  EXPECT_EQ(QDir::currentPath() + u'/', At(""));
  ASSERT_TRUE(ui_.RunOpenDialog(d));
  EXPECT_EQ(d.FileName, At("sub/missing.003").toStdString());
  EXPECT_EQ(d.FilterIndex, 1);
  EXPECT_EQ(QDir::currentPath(), At("sub"));
}

// A typed name that names an existing file is that file, whatever dot or
// wildcard it holds; the default extension only completes a new name.
TEST_F(InteractionTest, TypedNameOfAnExistingFileIsTakenAsItIs) {
  for (const char* name : {"part", "part.001", "what?.001"}) Touch(name);
  const std::pair<const char*, const char*> cases[] = {
      {"part", "part"}, {"new", "new.001"}, {"what?.001", "what?.001"}};
  for (const auto& [typed, chosen] : cases) {
    ModalScript script;
    script.Then([typed = typed](QWidget* w) { ChooseFile(w, QString::fromUtf8(typed)); });
    TOpenDialog d = dialogs_.OpenDialog2;  // default extension "*.001"
    EXPECT_TRUE(ui_.RunOpenDialog(d)) << typed;
    EXPECT_EQ(d.FileName, At(chosen).toStdString());
  }
}

TEST_F(InteractionTest, OnlyASaveWithOverwritePromptAsksBeforeReplacing) {
  Touch("out.bin");
  dialogs_.SaveDialog2.Options = 0;
  ASSERT_TRUE(dialogs_.OpenDialog2.Options & dialogs_.SaveDialog1.Options & ofOverwritePrompt);
  ModalScript script;
  auto choose = [this](QWidget* w) { ChooseFile(w, At("out.bin")); };
  script.Then(choose).Then(choose).Then(choose).Then([](QWidget* question) {
    auto* box = qobject_cast<QMessageBox*>(question);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(ui_.RunOpenDialog(dialogs_.OpenDialog2));
  EXPECT_TRUE(ui_.RunSaveDialog(dialogs_.SaveDialog2));
  EXPECT_EQ(script.Answered(), 2);
  EXPECT_TRUE(ui_.RunSaveDialog(dialogs_.SaveDialog1));
  EXPECT_EQ(script.Answered(), 4);
  EXPECT_EQ(dialogs_.SaveDialog1.FileName, At("out.bin").toStdString());
}

}  // namespace
}  // namespace tolvanix
