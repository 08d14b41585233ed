// The main window as a user meets it: its controls, keys, fonts and icon.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QPushButton>
#include <QRawFont>

#include "ModalScript.h"
#include "Unit1.h"
#include "Unit2.h"
#include "ui/ProgramIcon.h"
#include "ui/SpinEdit.h"

namespace {

using namespace tolvanix::testing;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  }
  TForm1 form_;
};

TEST_F(MainWindowTest, FixedFrameCentredWithEveryControlInPlace) {
  EXPECT_EQ(form_.windowTitle(), QStringLiteral("Tolvanix"));
  EXPECT_EQ(form_.minimumSize(), QSize(291, 122));
  EXPECT_EQ(form_.maximumSize(), QSize(291, 122));
  EXPECT_EQ(form_.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint),
            Qt::WindowCloseButtonHint);
  EXPECT_EQ(form_.frameGeometry().topLeft(), Centred(&form_, form_.frameGeometry().size()));
  // In creation order; an empty size: sized to its own text.
  // clang-format off
  const struct { const char* name; QRect rect; const char* text; } controls[] = {
      {"Bevel1", {0, 88, 289, 33}, nullptr}, {"Label1", {8, 40, 0, 0}, "分割サイズ"},
      {"Label2", {80, 72, 0, 0}, "KB"}, {"Label3", {8, 96, 273, 17}, ""},
      {"Button1", {8, 8, 129, 25}, "分割"}, {"Button2", {152, 8, 129, 25}, "結合"},
      {"Button3", {200, 56, 81, 25}, "終了"}, {"SpinEdit1", {8, 56, 65, 21}, nullptr},
      {"Button4", {120, 56, 73, 25}, "About"}};
  // clang-format on
  const QList<QWidget*> made = form_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(made.size(), qsizetype(std::size(controls)));
  for (size_t i = 0; i < std::size(controls); ++i) {
    const auto& c = controls[i];
    const QWidget* w = made[qsizetype(i)];
    EXPECT_EQ(w->objectName(), QLatin1String(c.name));
    const QSize size = c.rect.isEmpty() ? w->sizeHint() : c.rect.size();
    EXPECT_EQ(w->geometry(), QRect(c.rect.topLeft(), size)) << c.name;
    EXPECT_TRUE(!c.text || w->property("text").toString() == QString::fromUtf8(c.text)) << c.name;
  }
  EXPECT_EQ(form_.SpinEdit1->text(), QStringLiteral("1024"));
  // A lowered box: one dark line at the top and left, one light line at the
  // bottom and right, and nothing more inside.
  const QImage bevel = form_.Bevel1->grab().toImage();
  const int w = bevel.width(), h = bevel.height();
  const QRgb dark = form_.Bevel1->palette().color(QPalette::Dark).rgb(),
             light = form_.Bevel1->palette().color(QPalette::Light).rgb(),
             inside = bevel.pixel(w / 2, h / 2);
  EXPECT_EQ((std::vector{bevel.pixel(w / 2, 0), bevel.pixel(0, h / 2), bevel.pixel(w / 2, h - 1),
                         bevel.pixel(w - 1, h / 2), bevel.pixel(w / 2, 1), bevel.pixel(1, h / 2),
                         bevel.pixel(w / 2, h - 2), bevel.pixel(w - 2, h / 2)}),
            (std::vector{dark, dark, light, light, inside, inside, inside, inside}));
  EXPECT_FALSE(form_.Label3->wordWrap());  // one line, cut off at its edge
}

TEST_F(MainWindowTest, TabWalksTheControlsInOrder) {
  EXPECT_TRUE(form_.Button1->hasFocus());
  for (QWidget* next : std::initializer_list<QWidget*>{
           form_.Button2, form_.Button3, form_.SpinEdit1, form_.Button4, form_.Button1}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(next->hasFocus()) << next->objectName().toStdString();
  }
}

TEST_F(MainWindowTest, EnterClicksOnlyTheFocusedButtonAndEscDoesNothing) {
  {
    ModalScript script;  // any window opened here fails the test
    form_.Button2->setFocus();
    QTest::keyClick(form_.Button2, Qt::Key_Escape);
    EXPECT_TRUE(form_.isVisible());
  }
  ModalScript script;
  script.Then([](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"すべてのファイル (*)"});  // the split's source
    dialog->reject();
  });
  form_.Button1->setFocus();
  QTest::keyClick(form_.Button1, Qt::Key_Return);

  form_.Button3->setFocus();
  QTest::keyClick(form_.Button3, Qt::Key_Return);
  EXPECT_FALSE(form_.isVisible());
}

TEST_F(MainWindowTest, AboutOpensANewModalWindowEachTime) {
  ModalScript script;
  auto close = [](QWidget* w) {
    EXPECT_NE(qobject_cast<tolvanix::TForm2*>(w), nullptr);
    qobject_cast<QDialog*>(w)->done(1);
  };
  script.Then(close).Then(close);
  for (int click = 0; click < 2; ++click) {
    QTest::mouseClick(form_.Button4, Qt::LeftButton);
    EXPECT_TRUE(form_.findChildren<tolvanix::TForm2*>().isEmpty());  // gone when closed
  }
}

TEST_F(MainWindowTest, EveryTextRendersInAJapaneseFaceAt12Pixels) {
  for (QWidget* w : std::initializer_list<QWidget*>{form_.Button1, form_.Label1, form_.SpinEdit1,
                                                    form_.Label3}) {
    EXPECT_EQ(QFontInfo(w->font()).pixelSize(), 12) << w->objectName().toStdString();
    const QRawFont raw = QRawFont::fromFont(w->font(), QFontDatabase::Japanese);
    for (QChar c : QStringLiteral("分割結合終了サイズ")) {
      EXPECT_TRUE(raw.supportsCharacter(c))
          << w->objectName().toStdString() << " lacks " << int(c.unicode());
    }
  }
}

TEST(ProgramIcon, Is32By32InBlackGreySilverAndWhite) {
  const QImage image = tolvanix::ProgramPixmap().toImage();
  ASSERT_EQ(image.size(), QSize(32, 32));
  const QList<QRgb> palette{0xff000000, 0xff808080, 0xffc0c0c0, 0xffffffff};
  int opaque = 0;
  for (int i = 0; i < 32 * 32; ++i) {
    const QRgb p = image.pixel(i % 32, i / 32);
    opaque += qAlpha(p) != 0;
    EXPECT_TRUE(qAlpha(p) == 0 || palette.contains(p)) << i % 32 << ',' << i / 32;
  }
  EXPECT_GT(opaque, 32 * 32 / 2);
}

// The icon theme's larger sizes are the same picture with each pixel drawn as
// a sharp block: a smoothing scaler would leave blended colours at the edges.
TEST(ProgramIcon, ThemeSizesAreThePictureWithoutBlur) {
  const QImage base = tolvanix::ProgramPixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  for (int size : {64, 128, 256}) {
    const QString path =
        QStringLiteral(TOLVANIX_ICON_DIR "/%1x%1/" TOLVANIX_APP_ID ".png").arg(size);
    const QImage icon = QImage(path).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(size, size)) << path.toStdString();
    int differing = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        differing += icon.pixel(x, y) != base.pixel(x * 32 / size, y * 32 / size);
      }
    }
    EXPECT_EQ(differing, 0) << path.toStdString();
  }
}

}  // namespace
