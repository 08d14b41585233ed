#include "qt/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "core/PieceFormat.h"
#include "forms/FormDescriptions.h"
#include "qt/Controls.h"
#include "qt/Fonts.h"
#include "qt/Placement.h"
#include "qt/ProgramIcon.h"
#include "qt/QtHandover.h"
#include "qt/QtInteraction.h"
#include "qt/SpinEdit.h"
#include "qt/StatusLine.h"
#include "qt/Unit2.h"

using tolvanix::Geometry;
using tolvanix::NewButton;
using tolvanix::NewLabel;

TForm1::TForm1(QWidget* Owner)
    : QWidget(Owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      session_(*this),
      OpenDialog1(session_.Dialogs().OpenDialog1),
      SaveDialog1(session_.Dialogs().SaveDialog1),
      OpenDialog2(session_.Dialogs().OpenDialog2),
      SaveDialog2(session_.Dialogs().SaveDialog2),
      OpenDialog3(session_.Dialogs().OpenDialog3) {
  tolvanix::InstallAccessibility();
  const tolvanix::FormDescription& form = tolvanix::Form1Description();
  setObjectName(QString::fromLatin1(form.name));
  setWindowTitle(QString::fromUtf8(tolvanix::Tr(form.caption)));
  setWindowIcon(tolvanix::ProgramIcon());
  setFont(tolvanix::WindowFont());
  setFixedSize(form.clientWidth, form.clientHeight);
  setAcceptDrops(true);

  // Creation order is drawing order, back to front: Label3 lies over Bevel1,
  // which the window draws itself.
  Bevel1.geometry = Geometry(form.Control("Bevel1"));

  Label1 = NewLabel(this, form.Control("Label1"));
  Label2 = NewLabel(this, form.Control("Label2"));

  // One line, cut off at its right edge, over the bar of a run's progress.
  Label3 = new tolvanix::StatusLine(this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setGeometry(Geometry(form.Control("Label3")));

  Button1 = NewButton(this, form.Control("Button1"));
  Button2 = NewButton(this, form.Control("Button2"));
  Button3 = NewButton(this, form.Control("Button3"));

  const tolvanix::ControlDescription& spin = form.Control("SpinEdit1");
  SpinEdit1 = new tolvanix::TSpinEdit(this);
  SpinEdit1->setObjectName(QString::fromLatin1(spin.name));
  SpinEdit1->setGeometry(Geometry(spin));
  SpinEdit1->setText(QString::fromStdString(spin.text));

  Button4 = NewButton(this, form.Control("Button4"));

  // The field reads as "分割サイズ", its value, then "KB". The label's buddy is
  // the text box, which takes the focus; Qt looks for a buddy only among a
  // widget's siblings, so the name is given too.
  for (const tolvanix::LabelOf& l : form.labels) {
    auto* label = findChild<QLabel*>(QLatin1String(l.label));
    QLineEdit* field = findChild<tolvanix::TSpinEdit*>(QLatin1String(l.control))->editor();
    if (l.unit) {
      field->setAccessibleDescription(label->text());
      continue;
    }
    label->setBuddy(field);
    field->setAccessibleName(label->text());
  }

  const tolvanix::FormLayout layout = tolvanix::PlaceAll(this, form);
  const tolvanix::Rect& bevel = layout.rects[&form.Control("Bevel1") - form.controls.data()];
  Bevel1.geometry = QRect(bevel.left, bevel.top, bevel.width, bevel.height);

  setTabOrder(Button1, Button2);
  setTabOrder(Button2, Button3);
  setTabOrder(Button3, SpinEdit1);
  setTabOrder(SpinEdit1, Button4);
  findChild<QWidget*>(QLatin1String(form.activeControl))->setFocus();

  gui_ = std::make_unique<tolvanix::QtInteraction>(this, Label3);
  connect(&progressTimer_, &QTimer::timeout, this, [this] {
    if (const std::optional<double> fraction = session_.NewProgress()) {
      Label3->SetFill(*fraction);
      launcher_.Show(*fraction);
    }
  });

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(Button2); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(Button3); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(Button4); });
}

TForm1::~TForm1() = default;

void TForm1::Button3Click(QObject*) { close(); }

void TForm1::Button1Click(QObject*) { AwaitRun(session_.StartSplit(SpinEdit1->value())); }

std::string TForm1::IntToStrl(int64_t n, int width) const { return tolvanix::IntToStrl(n, width); }

void TForm1::Button2Click(QObject*) { AwaitRun(session_.StartJoin()); }

void TForm1::StartWith(const tolvanix::Handover& handover) {
  if (handover.action == tolvanix::Handover::Action::Notice) {
    QTimer::singleShot(0, this, [this, text = handover.text] {
      tolvanix::QtInteraction(this, Label3).ShowNotice(text);
    });
  } else if (handover.action == tolvanix::Handover::Action::Open) {
    QTimer::singleShot(0, this, [this, file = handover.file] { OpenFile(file); });
  }
}

void TForm1::OpenFile(const tolvanix::HandedFile& file) {
  if (session_.Running()) return;
  // Where a file dialog confirming this file leaves the process.
  QDir::setCurrent(QFileInfo(QFile::decodeName(file.path.c_str())).absolutePath());
  AwaitRun(session_.Open(file, SpinEdit1->value()));
}

void TForm1::AwaitRun(bool started) {
  if (!started) return;
  QEventLoop loop;
  runLoop_ = &loop;
  qApp->installEventFilter(this);
  progressTimer_.start(tolvanix::RunSession::kProgressMs);
  loop.exec();
  // The loop also ends when the application quits: the run must still end
  // before the window goes, its files closed.
  if (session_.Running()) {
    session_.Stop();
    tolvanix::CloseModalWindows();
    session_.WaitForEnd(std::chrono::minutes(1));
  }
  runLoop_ = nullptr;
  progressTimer_.stop();
  qApp->removeEventFilter(this);
  Label3->SetFill(0);
  launcher_.Hide();
  // A box open while the run ended may have put back the busy cursor it had
  // lifted; nothing else of this program sets one.
  while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
  if (closeWhenStopped_) close();
}

void TForm1::WakeForRun() {
  QMetaObject::invokeMethod(
      this, [this] { session_.MakeCarriedCalls(); }, Qt::QueuedConnection);
}

tolvanix::Interaction& TForm1::RunInteraction() { return *gui_; }

bool TForm1::AskToStopRun(const std::string& text) { return tolvanix::AskYesNo(this, text); }

void TForm1::RunEnded() {
  if (runLoop_) runLoop_->quit();
}

// While a run goes on, the window takes no input from the user: it only
// repaints and answers the desktop. Its own boxes and dialogs are windows of
// their own and are not touched.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
      break;
    default:
      return false;
  }
  const auto* widget = qobject_cast<const QWidget*>(watched);
  return widget && widget->window() == this;
}

tolvanix::DropAnswer TForm1::AnswerDrop(QDropEvent* event) {
  tolvanix::Drop drop;
  drop.entries = tolvanix::DropEntries(event->mimeData());
  const QPoint at = event->position().toPoint();
  drop.on = Button1->geometry().contains(at)   ? tolvanix::DroppedOn::Button1
            : Button2->geometry().contains(at) ? tolvanix::DroppedOn::Button2
                                               : tolvanix::DroppedOn::Elsewhere;
  drop.busy = session_.Running() || QApplication::activeModalWidget();
  drop.copyOffered = event->possibleActions() & Qt::CopyAction;
  drop.linkOffered = event->possibleActions() & Qt::LinkAction;
  const tolvanix::DropAnswer answer = tolvanix::ReadDrop(drop, tolvanix::QtFileFacts());
  if (answer.effect == tolvanix::DropEffect::None) {
    event->ignore();
  } else {
    event->setDropAction(answer.effect == tolvanix::DropEffect::Copy ? Qt::CopyAction
                                                                     : Qt::LinkAction);
    event->accept();
  }
  return answer;
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) { AnswerDrop(event); }

void TForm1::dragMoveEvent(QDragMoveEvent* event) { AnswerDrop(event); }

void TForm1::dropEvent(QDropEvent* event) {
  const tolvanix::DropAnswer answer = AnswerDrop(event);
  if (answer.effect == tolvanix::DropEffect::None) return;
  // Once the drop is answered: the program it came from waits for that.
  QTimer::singleShot(0, this, [this, file = answer.file] { OpenFile(file); });
}

void TForm1::Button4Click(QObject*) {
  // Built anew for every showing, gone when closed.
  tolvanix::TForm2 about(this);
  about.exec();
}

void TForm1::StopAndClose() {
  closeWhenStopped_ = true;
  if (session_.Running()) {
    // An open prompt of the run goes as cancelled; the click handler closes
    // once the run has ended.
    session_.Stop();
    tolvanix::CloseModalWindows();
    return;
  }
  // An About window open: it goes first, or the program would live on.
  tolvanix::CloseModalWindows();
  close();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!session_.Running()) {
    closeWhenStopped_ = false;
    QWidget::closeEvent(event);
    return;
  }
  event->ignore();
  if (!closeWhenStopped_ && session_.AskToStop()) {
    closeWhenStopped_ = true;
    tolvanix::CloseModalWindows();  // a prompt the question came over goes as cancelled
  }
}

void TForm1::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Bevel1.Paint(painter, palette());
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placed_ || event->spontaneous()) return;
  placed_ = true;
  tolvanix::CentreOnScreen(this);
}
