// The About window as a user meets it: keys, clicks, placement and looks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <vector>

#include "Unit2.h"
#include "ui/OpenUrl.h"

namespace tolvanix {
namespace {

constexpr int kStillOpen = -1;

// Measured, since the font database does not flag every monospaced face.
bool IsFixedPitch(const QFont& font) {
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W'));
}

class AboutWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetUrlOpener([this](const QUrl& url) { requests_.push_back(url.toString()); });
  }
  void TearDown() override { SetUrlOpener(previous_); }

  // Runs the window modally; whileOpen acts once it is shown, and a window
  // still open after that is closed with kStillOpen.
  static int ExecWith(TForm2& form, const std::function<void()>& whileOpen) {
    QTimer::singleShot(0, &form, [&] {
      whileOpen();
      if (form.isVisible()) form.done(kStillOpen);
    });
    return form.exec();
  }

  static void Key(TForm2& form, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form.focusWidget(), Qt::Key(key), modifiers);
  }

  std::vector<QString> requests_;
  UrlOpener previous_;
};

TEST_F(AboutWindow, EnterRightAfterOpeningClosesWithOk) {
  TForm2 form;
  EXPECT_EQ(ExecWith(form, [&] { Key(form, Qt::Key_Return); }), TForm2::mrOk);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(AboutWindow, EscDoesNothingButTheTitleBarCloseCancels) {
  TForm2 form;
  bool openAfterEsc = false;
  const int result = ExecWith(form, [&] {
    Key(form, Qt::Key_Escape);
    openAfterEsc = form.isVisible();
    form.close();
  });
  EXPECT_TRUE(openAfterEsc);
  EXPECT_EQ(result, TForm2::mrCancel);
}

TEST_F(AboutWindow, TabMovesBetweenTheTwoButtonsAndEnterClicksTheFocusedOne) {
  TForm2 form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(QApplication::focusWidget(), form.Button1);
  Key(form, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.Button2);
  Key(form, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.Button1);
  Key(form, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), form.Button2);

  Key(form, Qt::Key_Return);
  EXPECT_EQ(requests_.size(), 1u);
  EXPECT_TRUE(form.isVisible());
}

TEST_F(AboutWindow, EachBrowserClickRequestsThePageOnceAndKeepsTheWindowOpen) {
  TForm2 form;
  form.show();
  QTest::mouseClick(form.Button2, Qt::LeftButton);
  EXPECT_TRUE(form.isVisible());
  QTest::mouseClick(form.Button2, Qt::LeftButton);
  EXPECT_TRUE(form.isVisible());

  const QString page = QStringLiteral("https://www.example.org/tolvanix/");
  EXPECT_EQ(requests_, std::vector<QString>({page, page}));
  EXPECT_EQ(form.Label2->text(), QStringLiteral(" ") + page);
}

TEST_F(AboutWindow, IsCentredOnTheScreenAtEveryShowingNotOverItsOwner) {
  QWidget owner;
  owner.setGeometry(0, 0, 291, 122);
  owner.show();
  TForm2 form(&owner);
  const QRect screen = owner.screen()->geometry();

  form.show();
  const QSize outer = form.frameGeometry().size();
  const QPoint centred((screen.width() - outer.width()) / 2,
                       (screen.height() - outer.height()) / 2);
  EXPECT_EQ(form.frameGeometry().topLeft(), centred);
  form.hide();
  form.move(3, 4);
  form.show();
  EXPECT_EQ(form.frameGeometry().topLeft(), centred);
}

TEST_F(AboutWindow, HeadingIsGreenBoldItalicFixedPitchJapaneseAt19Pixels) {
  TForm2 form;
  const QFont font = form.Label5->font();
  const QFontInfo info(font);
  EXPECT_TRUE(info.family() == QStringLiteral("ＭＳ ゴシック") ||
              info.family() == QStringLiteral("IPAGothic"))
      << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 19);
  EXPECT_TRUE(info.bold());
  EXPECT_TRUE(info.italic());
  EXPECT_TRUE(IsFixedPitch(font));
  EXPECT_TRUE(QRawFont::fromFont(font).supportsCharacter(U'ゴ'));

  EXPECT_EQ(form.Label5->text(), QStringLiteral("Tolvanix Ver1.0"));
  const QImage shown = form.Label5->grab().toImage().convertToFormat(QImage::Format_RGB32);
  int green = 0;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) green += shown.pixel(x, y) == qRgb(0, 0x80, 0);
  }
  EXPECT_GT(green, 20) << "the heading is not drawn in clGreen";
}

TEST_F(AboutWindow, OtherLinesUse12PixelJapaneseText) {
  TForm2 form;
  for (QWidget* control : std::initializer_list<QWidget*>{form.Label4, form.Label1, form.Label2,
                                                          form.Button2, form.Button1}) {
    SCOPED_TRACE(control->objectName().toStdString());
    const QFontInfo info(control->font());
    EXPECT_EQ(info.pixelSize(), 12);
    EXPECT_FALSE(info.bold());
    EXPECT_FALSE(info.italic());
    EXPECT_TRUE(QRawFont::fromFont(control->font()).supportsCharacter(U'ブ'));
    EXPECT_EQ(IsFixedPitch(control->font()), control == form.Label1);
  }
  EXPECT_TRUE(form.Label1->text().startsWith(QStringLiteral("e-mail:")));
  EXPECT_FALSE(form.Label1->text().contains(QLatin1Char(' ')));
}

TEST_F(AboutWindow, WindowAndControlsFollowTheDescription) {
  TForm2 form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Tolvanixについて"));
  EXPECT_EQ(form.minimumSize(), QSize(248, 147));
  EXPECT_EQ(form.maximumSize(), QSize(248, 147));
  const Qt::WindowFlags flags = form.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & (Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint));
  EXPECT_FALSE(form.windowIcon().isNull());
  EXPECT_EQ(form.Image1->pixmap().size(), QSize(32, 32));

  struct Place {
    const char* name;
    QRect rect;  // an empty size: sized to its own text
  };
  const Place places[] = {
      {"Label5", {56, 14, 177, 19}},   {"Label4", {24, 53, 0, 0}}, {"Image1", {8, 8, 32, 32}},
      {"Label1", {32, 72, 0, 0}},      {"Label2", {16, 88, 0, 0}}, {"Button2", {56, 112, 81, 25}},
      {"Button1", {152, 112, 80, 25}},
  };
  const QList<QWidget*> controls = form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(controls.size(), std::size(places));
  for (size_t i = 0; i < std::size(places); ++i) {
    const QWidget* control = controls[int(i)];
    SCOPED_TRACE(places[i].name);
    EXPECT_EQ(control->objectName(), QLatin1String(places[i].name));
    EXPECT_EQ(control->pos(), places[i].rect.topLeft());
    const QSize size = places[i].rect.isEmpty() ? control->sizeHint() : places[i].rect.size();
    EXPECT_EQ(control->size(), size);
    EXPECT_TRUE(form.rect().contains(control->geometry())) << "cut off by the window's edge";
  }
  EXPECT_TRUE(form.Button1->isDefault());
}

}  // namespace
}  // namespace tolvanix
