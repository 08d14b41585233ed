#include "Unit1.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "Unit2.h"
#include "core/PieceFormat.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/Placement.h"
#include "ui/ProgramIcon.h"
#include "ui/QtInteraction.h"
#include "ui/SpinEdit.h"

using tolvanix::NewButton;
using tolvanix::NewLabel;
using tolvanix::PlaceSelfSized;

TForm1::TForm1(QWidget* Owner)
    : QWidget(Owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      OpenDialog1(dialogs_.OpenDialog1),
      SaveDialog1(dialogs_.SaveDialog1),
      OpenDialog2(dialogs_.OpenDialog2),
      SaveDialog2(dialogs_.SaveDialog2),
      OpenDialog3(dialogs_.OpenDialog3) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(tolvanix::kApplicationTitle));
  setWindowIcon(tolvanix::ProgramIcon());
  setFont(tolvanix::WindowFont());
  setFixedSize(291, 122);

  // Creation order is drawing order, back to front: Label3 lies over Bevel1.
  Bevel1 = new QFrame(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  // Lowered: one dark line top and left, one light line bottom and right.
  Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Bevel1->setLineWidth(1);
  Bevel1->setGeometry(0, 88, 289, 33);

  Label1 = NewLabel(this, "Label1", QStringLiteral("分割サイズ"));
  PlaceSelfSized(Label1, 8, 40);
  Label2 = NewLabel(this, "Label2", QStringLiteral("KB"));
  PlaceSelfSized(Label2, 80, 72);

  // One line, cut off at its right edge.
  Label3 = new QLabel(this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setWordWrap(false);
  Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label3->setTextFormat(Qt::PlainText);
  Label3->setGeometry(8, 96, 273, 17);

  Button1 = NewButton(this, "Button1", QStringLiteral("分割"), {8, 8, 129, 25});
  Button2 = NewButton(this, "Button2", QStringLiteral("結合"), {152, 8, 129, 25});
  Button3 = NewButton(this, "Button3", QStringLiteral("終了"), {200, 56, 81, 25});

  SpinEdit1 = new tolvanix::TSpinEdit(this);
  SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
  SpinEdit1->setGeometry(8, 56, 65, 21);
  SpinEdit1->setValue(1024);

  Button4 = NewButton(this, "Button4", QStringLiteral("About"), {120, 56, 73, 25});

  setTabOrder(Button1, Button2);
  setTabOrder(Button2, Button3);
  setTabOrder(Button3, SpinEdit1);
  setTabOrder(SpinEdit1, Button4);
  Button1->setFocus();

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(Button2); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(Button3); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(Button4); });
}

TForm1::~TForm1() = default;

void TForm1::Button3Click(QObject*) { close(); }

void TForm1::Button1Click(QObject*) {
  tolvanix::QtInteraction ui(this, Label3);
  const auto fs = tolvanix::MakeLinuxFileSystem();
  tolvanix::RunSplit({ui, *fs, dialogs_, handles_}, SpinEdit1->value());
}

std::string TForm1::IntToStrl(int64_t n, int width) const { return tolvanix::IntToStrl(n, width); }

void TForm1::Button2Click(QObject*) {
  tolvanix::QtInteraction ui(this, Label3);
  const auto fs = tolvanix::MakeLinuxFileSystem();
  tolvanix::RunJoin({ui, *fs, dialogs_, handles_});
}

void TForm1::Button4Click(QObject*) {
  // Built anew for every showing, gone when closed.
  tolvanix::TForm2 about(this);
  about.exec();
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placed_ || event->spontaneous()) return;
  placed_ = true;
  tolvanix::CentreOnScreen(this);
}
