#include "Unit2.h"

#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QUrl>
#include <algorithm>

#include "ui/OpenUrl.h"

// Resources of a static library are linked in only when something refers
// to them; this must stand outside any namespace.
static void InitProgramResources() { Q_INIT_RESOURCE(tolvanix); }

namespace tolvanix {
namespace {

// The maker's data. The web page address is held apart from its label:
// the browser button opens this constant, never the label's text.
constexpr char kCopyrightLine[] = "Copyright (C) 2026 Tolvanix project";  // fits 12 px
constexpr char kContactAddress[] = "tolvanix@example.org";
constexpr char kWebPageAddress[] = "https://www.example.org/tolvanix/";

constexpr char kProgramIcon[] = ":/tolvanix.png";  // 32 x 32

// Each font asks for the face of the window description first; the IPA face
// of the same kind stands in where that one is not installed.
QFont JapaneseFont(const QStringList& families, int pixels, QFont::StyleHint hint) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(hint);
  font.setPixelSize(pixels);
  font.setBold(false);
  font.setItalic(false);
  return font;
}

QFont ProportionalFont(int pixels) {
  return JapaneseFont({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")}, pixels,
                      QFont::SansSerif);
}

QFont FixedPitchFont(int pixels) {
  QFont font = JapaneseFont({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")}, pixels,
                            QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

// A label that sizes itself to its text, as it is shown in its own font.
void PlaceSelfSized(QLabel* label, int left, int top) {
  label->adjustSize();
  label->move(left, top);
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text,
                       const QRect& geometry) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(geometry);
  return button;
}

}  // namespace

TForm2::TForm2(QWidget* Owner) : QDialog(Owner) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Tolvanixについて"));
  // Fixed dialog frame with the close button only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(248, 147);
  // Set before the controls exist, so that they inherit it as they are made.
  setFont(ProportionalFont(12));

  InitProgramResources();
  const QPixmap icon(QString::fromLatin1(kProgramIcon));
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

  // Centre on the screen, not over the owner as a dialog would by default.
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  const QRect screen = (owner ? owner->screen() : this->screen())->geometry();
  QSize outer = frameGeometry().size();
  if (outer == size() && owner) {
    // The frame is unknown before the first mapping; the owner's frame is
    // of the same kind and stands in for it.
    outer += owner->frameGeometry().size() - owner->size();
  }
  move(screen.x() + std::max(0, (screen.width() - outer.width()) / 2),
       screen.y() + std::max(0, (screen.height() - outer.height()) / 2));
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
