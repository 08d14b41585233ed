// The main window as a user meets it: its controls, keys, fonts and icon.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QSet>

#include "ModalScript.h"
#include "Unit1.h"
#include "Unit2.h"
#include "ui/ProgramIcon.h"
#include "ui/QtInteraction.h"
#include "ui/SpinEdit.h"

namespace {

using tolvanix::testing::ModalScript;
using tolvanix::testing::PressKey;
using tolvanix::testing::Reject;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  }
  QWidget* Child(const char* name) {
    auto* w = form_.findChild<QWidget*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  TForm1 form_;
};

TEST_F(MainWindowTest, WindowIsAFixedDialogFrameCentredOnTheScreen) {
  EXPECT_EQ(form_.windowTitle(), QStringLiteral("Tolvanix"));
  EXPECT_EQ(form_.size(), QSize(291, 122));
  EXPECT_EQ(form_.minimumSize(), form_.maximumSize());
  const Qt::WindowFlags f = form_.windowFlags();
  EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(f & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(f & Qt::WindowMaximizeButtonHint);
  const QRect s = form_.screen()->geometry();
  const QRect frame = form_.frameGeometry();
  EXPECT_EQ(frame.x(), (s.width() - frame.width()) / 2);
  EXPECT_EQ(frame.y(), (s.height() - frame.height()) / 2);
}

TEST_F(MainWindowTest, ControlsStandWhereTheDescriptionPutsThem) {
  const struct {
    const char* name;
    const char* text;
    QRect geometry;
  } controls[] = {
      {"Button1", "分割", {8, 8, 129, 25}},   {"Button2", "結合", {152, 8, 129, 25}},
      {"Button3", "終了", {200, 56, 81, 25}}, {"Button4", "About", {120, 56, 73, 25}},
      {"SpinEdit1", "1024", {8, 56, 65, 21}}, {"Label3", "", {8, 96, 273, 17}},
  };
  for (const auto& c : controls) {
    QWidget* w = Child(c.name);
    if (!w) continue;
    EXPECT_EQ(w->geometry(), c.geometry) << c.name;
    const auto* spin = qobject_cast<tolvanix::TSpinEdit*>(w);
    const QString text = spin ? spin->text() : w->property("text").toString();
    EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.name;
  }
  EXPECT_EQ(Child("Bevel1")->geometry(), QRect(0, 88, 289, 33));
  auto* bevel = qobject_cast<QFrame*>(Child("Bevel1"));
  EXPECT_EQ(bevel->frameShape(), QFrame::Box);
  EXPECT_EQ(bevel->frameShadow(), QFrame::Sunken);
  // Labels 1 and 2 size themselves to their text.
  for (auto [name, text, at] : {std::tuple{"Label1", "分割サイズ", QPoint(8, 40)},
                                std::tuple{"Label2", "KB", QPoint(80, 72)}}) {
    auto* label = qobject_cast<QLabel*>(Child(name));
    EXPECT_EQ(label->text(), QString::fromUtf8(text));
    EXPECT_EQ(label->pos(), at);
    EXPECT_EQ(label->size(), label->sizeHint()) << name;
  }
  EXPECT_EQ(form_.SpinEdit1->value(), 1024);
}

TEST_F(MainWindowTest, CreationOrderPutsTheStatusLineOverTheBevel) {
  QStringList order;
  for (QObject* o : form_.children()) {
    if (o->isWidgetType() && !o->objectName().isEmpty()) order << o->objectName();
  }
  EXPECT_EQ(order, (QStringList{"Bevel1", "Label1", "Label2", "Label3", "Button1", "Button2",
                                "Button3", "SpinEdit1", "Button4"}));
}

TEST_F(MainWindowTest, TabWalksTheControlsInOrderBothWays) {
  EXPECT_TRUE(form_.Button1->hasFocus());
  QWidget* const forward[] = {form_.Button2, form_.Button3, form_.SpinEdit1, form_.Button4,
                              form_.Button1};
  for (QWidget* next : forward) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus()) << next->objectName().toStdString();
  }
  QWidget* const backward[] = {form_.Button4, form_.SpinEdit1, form_.Button3, form_.Button2,
                               form_.Button1};
  for (QWidget* next : backward) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(next->hasFocus()) << next->objectName().toStdString();
  }
}

TEST_F(MainWindowTest, OnlyTheFocusedButtonAnswersEnterAndEscDoesNothing) {
  int beeps = 0;
  form_.SpinEdit1->setBeep([&beeps] { ++beeps; });
  form_.SpinEdit1->setFocus();
  for (auto* b : form_.findChildren<QPushButton*>()) EXPECT_FALSE(b->isDefault());
  ModalScript script;  // any window opened by a button would fail the test
  QTest::keyClick(form_.SpinEdit1->editor(), Qt::Key_Return);
  QTest::keyClick(form_.SpinEdit1->editor(), Qt::Key_Escape);
  form_.Button2->setFocus();
  QTest::keyClick(form_.Button2, Qt::Key_Escape);
  EXPECT_EQ(beeps, 1);  // Enter in the field is a refused key
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(form_.SpinEdit1->text(), QStringLiteral("1024"));
}

TEST_F(MainWindowTest, EnterAtStartRunsTheSplit) {
  ModalScript script;
  QString caption;
  script.Then([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("すべてのファイル (*)")});
    Reject(w);  // a cancelled source prompt ends the split silently
  });
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(script.Answered(), 1);
  EXPECT_TRUE(form_.Label3->text().isEmpty());
}

TEST_F(MainWindowTest, EnterOrSpaceOnExitClosesTheWindowWithoutAQuestion) {
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
    form_.show();
    form_.Button3->setFocus();
    QTest::keyClick(form_.Button3, key);
    EXPECT_FALSE(form_.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
}

TEST_F(MainWindowTest, AboutOpensModallyEachTime) {
  ModalScript script;
  auto close = [](QWidget* w) {
    EXPECT_NE(qobject_cast<tolvanix::TForm2*>(w), nullptr);
    EXPECT_TRUE(w->isModal());
    qobject_cast<QDialog*>(w)->done(1);
  };
  script.Then(close).Then(close);
  QTest::mouseClick(form_.Button4, Qt::LeftButton);
  QTest::mouseClick(form_.Button4, Qt::LeftButton);
  EXPECT_EQ(script.Answered(), 2);
  EXPECT_TRUE(form_.findChildren<tolvanix::TForm2*>().isEmpty());
}

TEST_F(MainWindowTest, StatusLineStaysOneLineCutAt273Pixels) {
  tolvanix::QtInteraction ui(&form_, form_.Label3);
  const std::string wide(200, 'W');
  ui.SetStatusText("ファイル分割中です。  " + wide);
  EXPECT_EQ(form_.Label3->geometry(), QRect(8, 96, 273, 17));
  EXPECT_FALSE(form_.Label3->wordWrap());
  EXPECT_TRUE(form_.Label3->text().endsWith(QString::fromStdString(wide)));  // cut, not elided
  ui.SetStatusText("");
}

TEST_F(MainWindowTest, EveryTextRendersInAJapaneseFaceAt12Pixels) {
  for (const char* name : {"Button1", "Button2", "Button3", "Label1", "SpinEdit1", "Label3"}) {
    const QFont font = Child(name)->font();
    EXPECT_EQ(QFontInfo(font).pixelSize(), 12) << name;
    const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::Japanese);
    for (QChar c : QStringLiteral("分割結合終了サイズ")) {
      EXPECT_TRUE(raw.supportsCharacter(c)) << name << " lacks U+" << std::hex << int(c.unicode());
    }
  }
}

TEST(ProgramIcon, Is32By32InBlackGreySilverAndWhite) {
  const QImage image = tolvanix::ProgramPixmap().toImage();
  ASSERT_EQ(image.size(), QSize(32, 32));
  const QSet<QRgb> allowed{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(192, 192, 192),
                           qRgb(255, 255, 255)};
  QSet<QRgb> used;
  int opaque = 0;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const QRgb p = image.pixel(x, y);
      if (qAlpha(p) == 0) continue;
      ++opaque;
      used.insert(qRgb(qRed(p), qGreen(p), qBlue(p)));
    }
  }
  EXPECT_TRUE(used.subtract(allowed).isEmpty());
  EXPECT_GT(opaque, 32 * 32 / 2);
  TForm1 form;
  EXPECT_FALSE(form.windowIcon().isNull());
}

}  // namespace
