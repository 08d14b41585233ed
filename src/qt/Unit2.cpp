#include "qt/Unit2.h"

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>

#include "forms/FormDescriptions.h"
#include "forms/Texts.h"
#include "qt/Controls.h"
#include "qt/Fonts.h"
#include "qt/OpenUrl.h"
#include "qt/Placement.h"
#include "qt/ProgramIcon.h"

namespace tolvanix {

TForm2::TForm2(QWidget* Owner) : QDialog(Owner) {
  const FormDescription& form = Form2Description();
  setObjectName(QString::fromLatin1(form.name));
  setWindowTitle(QString::fromUtf8(Tr(form.caption)));
  // Fixed dialog frame with the close button only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(form.clientWidth, form.clientHeight);
  // Set before the controls exist, so that they inherit it as they are made.
  setFont(WindowFont());

  const QPixmap icon = ProgramPixmap();
  setWindowIcon(icon);

  // A label's own font, set before it sizes itself to its text.
  const auto label = [this, &form](const char* name) {
    const ControlDescription& c = form.Control(name);
    QLabel* l = NewLabel(this, name, QString::fromUtf8(Tr(c.text)));
    if (const FontDescription* f = c.font) {
      QFont font = FixedPitchFont(f->pixels);
      font.setBold(f->bold);
      font.setItalic(f->italic);
      l->setFont(font);
      if (f->rgb != clWindowText) {  // else the palette's, as the theme gives it
        QPalette colour = l->palette();
        colour.setColor(QPalette::WindowText, QColor(static_cast<QRgb>(f->rgb)));
        l->setPalette(colour);
      }
    }
    c.autoSize ? PlaceSelfSized(l, c.rect.left, c.rect.top) : l->setGeometry(Geometry(c));
    return l;
  };
  Label5 = label("Label5");
  Label4 = label("Label4");

  Image1 = NewLabel(this, form.Control("Image1"));
  Image1->setPixmap(icon);

  Label1 = label("Label1");
  Label2 = label("Label2");

  Button2 = NewButton(this, form.Control("Button2"));
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(Button2); });

  Button1 = NewButton(this, form.Control("Button1"));
  Button1->setDefault(form.Control("Button1").isDefault);
  connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });

  PlaceAll(this, form);

  setTabOrder(Button2, Button1);
  findChild<QWidget*>(QLatin1String(form.activeControl))->setFocus();
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
