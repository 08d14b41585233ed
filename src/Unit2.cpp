#include "Unit2.h"

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>

#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/OpenUrl.h"
#include "ui/Placement.h"
#include "ui/ProgramIcon.h"

namespace tolvanix {
namespace {

// The maker's data. The web page address is held apart from its label:
// the browser button opens this constant, never the label's text.
constexpr char kCopyrightLine[] = "Copyright (C) 2026 Tolvanix project";  // fits 12 px
constexpr char kContactAddress[] = "tolvanix@example.org";
constexpr char kWebPageAddress[] = "https://www.example.org/tolvanix/";

}  // namespace

TForm2::TForm2(QWidget* Owner) : QDialog(Owner) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Tolvanixについて"));
  // Fixed dialog frame with the close button only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(248, 147);
  // Set before the controls exist, so that they inherit it as they are made.
  setFont(WindowFont());

  const QPixmap icon = ProgramPixmap();
  setWindowIcon(icon);

  Label5 = NewLabel(this, "Label5", QStringLiteral("Tolvanix Ver1.0"));
  QFont headingFont = FixedPitchFont(19);
  headingFont.setBold(true);
  headingFont.setItalic(true);
  Label5->setFont(headingFont);
  QPalette headingPalette = Label5->palette();
  headingPalette.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x00));  // clGreen
  Label5->setPalette(headingPalette);
  Label5->setGeometry(56, 14, 177, 19);

  Label4 = NewLabel(this, "Label4", QString::fromLatin1(kCopyrightLine));
  PlaceSelfSized(Label4, 24, 53);

  Image1 = NewLabel(this, "Image1", QString());
  Image1->setPixmap(icon);
  Image1->setGeometry(8, 8, 32, 32);

  Label1 = NewLabel(this, "Label1", QStringLiteral("e-mail:") + QLatin1String(kContactAddress));
  Label1->setFont(FixedPitchFont(12));
  PlaceSelfSized(Label1, 32, 72);

  Label2 = NewLabel(this, "Label2", QStringLiteral(" ") + QLatin1String(kWebPageAddress));
  PlaceSelfSized(Label2, 16, 88);

  Button2 = NewButton(this, "Button2", QStringLiteral("ブラウザ"), QRect(56, 112, 81, 25));
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(Button2); });

  Button1 = NewButton(this, "Button1", QStringLiteral("OK"), QRect(152, 112, 80, 25));
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });

  setTabOrder(Button2, Button1);
  Button1->setFocus();
}

void TForm2::Button2Click(QObject* /*Sender*/) {
  OpenUrl(QUrl(QString::fromLatin1(kWebPageAddress)));
}

void TForm2::reject() { done(mrCancel); }

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored by the window system, not a new showing

  // Centred on the screen, not over the owner as a dialog would be.
  CentreOnScreen(this);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // There is no cancel button, so Esc must not close the window; the title
  // bar's close still does, through reject().
  if (event->matches(QKeySequence::Cancel)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tolvanix
