// The About window as a user meets it: keys, clicks, placement and looks.
#include <QFontInfo>
#include <QPushButton>
#include <QRawFont>
#include <QUrl>

#include "ModalScript.h"
#include "Unit2.h"
#include "ui/OpenUrl.h"

namespace tolvanix {
namespace {

using testing::Centred;

class AboutWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetUrlOpener([this](const QUrl& url) { requests_.push_back(url.toString()); });
  }
  void TearDown() override { SetUrlOpener(previous_); }

  // Runs the window modally; whileOpen acts once it is shown, and a window
  // still open after that is closed with -1.
  int ExecWith(const std::function<void()>& whileOpen) {
    QTimer::singleShot(0, &form_, [&] {
      whileOpen();
      if (form_.isVisible()) form_.done(-1);
    });
    return form_.exec();
  }
  void Key(Qt::Key key) { QTest::keyClick(form_.focusWidget(), key); }

  TForm2 form_;
  std::vector<QString> requests_;
  UrlOpener previous_;
};

TEST_F(AboutWindow, EnterClosesWithOkEscDoesNothingTheTitleBarCloseCancels) {
  EXPECT_EQ(ExecWith([&] { Key(Qt::Key_Return); }), TForm2::mrOk);
  bool openAfterEsc = false;
  EXPECT_EQ(ExecWith([&] {
              Key(Qt::Key_Escape);
              openAfterEsc = form_.isVisible();
              form_.close();
            }),
            TForm2::mrCancel);
  EXPECT_TRUE(openAfterEsc);
}

TEST_F(AboutWindow, TabMovesBetweenTheButtonsAndEachBrowserClickRequestsThePage) {
  form_.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  EXPECT_EQ(QApplication::focusWidget(), form_.Button1);
  Key(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form_.Button2);
  Key(Qt::Key_Return);
  Key(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form_.Button1);
  QTest::mouseClick(form_.Button2, Qt::LeftButton);
  EXPECT_TRUE(form_.isVisible());
  const QString page = QStringLiteral("https://www.example.org/tolvanix/");
  EXPECT_EQ(requests_, std::vector<QString>({page, page}));
  EXPECT_EQ(form_.Label2->text(), u' ' + page);
}

TEST_F(AboutWindow, IsCentredOnTheScreenAtEveryShowingNotOverItsOwner) {
  QWidget owner;
  owner.setGeometry(0, 0, 291, 122);
  owner.show();
  TForm2 form(&owner);
  for (int showing = 0; showing < 2; ++showing) {
    form.show();
    EXPECT_EQ(form.frameGeometry().topLeft(), Centred(&owner, form.frameGeometry().size()));
    form.hide();
    form.move(3, 4);
  }
}

TEST_F(AboutWindow, HeadingIsGreenBoldItalicFixedPitchJapaneseAt19Pixels) {
  const QFontInfo info(form_.Label5->font());
  EXPECT_TRUE(info.family() == QStringLiteral("ＭＳ ゴシック") || info.family() == "IPAGothic")
      << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 19);
  EXPECT_TRUE(info.bold() && info.italic());
  const QFontMetrics metrics(form_.Label5->font());  // the database does not flag every face
  EXPECT_EQ(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W')) << "fixed pitch";
  EXPECT_TRUE(QRawFont::fromFont(form_.Label5->font()).supportsCharacter(U'ゴ'));
  const QImage shown = form_.Label5->grab().toImage().convertToFormat(QImage::Format_RGB32);
  int green = 0;
  for (int i = 0; i < shown.width() * shown.height(); ++i) {
    green += shown.pixel(i % shown.width(), i / shown.width()) == qRgb(0, 0x80, 0);
  }
  EXPECT_GT(green, 20) << "the heading is not drawn in clGreen";
}

}  // namespace
}  // namespace tolvanix
