#include "qt/QtInteraction.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <algorithm>
#include <vector>

#include "forms/FormDescriptions.h"
#include "qt/Placement.h"

namespace tolvanix {

QStringList QtNameFilters(const std::vector<FileFilter>& filters) {
  QStringList result;
  for (const FileFilter& entry : filters) {
    QStringList patterns;
    for (const QString& p :
         QString::fromStdString(entry.patterns).split(u';', Qt::SkipEmptyParts)) {
      const QString pattern = p.trimmed();
      // Qt's "*.*" needs a dot in the name; the format's means every file.
      patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    result << QString::fromUtf8(Tr(entry.description)) + QStringLiteral(" (") +
                  patterns.join(u' ') + u')';
  }
  return result;
}

namespace {

QString BoxText(const std::string& text) {
  return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool HasWildcard(const QString& name) { return name.contains(u'*') || name.contains(u'?'); }

// While a box or dialog is open the pointer is the normal one; the cursor in
// force before (the busy one, during a command) comes back when it closes.
class CursorLift {
 public:
  CursorLift() {
    while (const QCursor* c = QGuiApplication::overrideCursor()) {
      lifted_.push_back(*c);
      QGuiApplication::restoreOverrideCursor();
    }
  }
  ~CursorLift() {
    for (auto it = lifted_.rbegin(); it != lifted_.rend(); ++it) {
      QGuiApplication::setOverrideCursor(*it);
    }
  }
  Q_DISABLE_COPY_MOVE(CursorLift)

 private:
  std::vector<QCursor> lifted_;  // top of the stack first
};

class CentredMessageBox final : public QMessageBox {
 public:
  CentredMessageBox(QWidget* parent, const char* caption, Icon icon, const std::string& text)
      : QMessageBox(parent) {
    setWindowTitle(QString::fromUtf8(caption));
    setIcon(icon);
    setTextFormat(Qt::PlainText);
    setText(BoxText(text));
  }
  Q_DISABLE_COPY_MOVE(CentredMessageBox)

  // Buttons keep the order they are added in, whatever the desktop's button
  // order, are centred below the text and all of one size.
  QPushButton* AddButton(const char* caption) {
    QPushButton* button = addButton(QString::fromUtf8(caption), QMessageBox::ActionRole);
    button->installEventFilter(this);
    buttons_.push_back(button);
    return button;
  }

 protected:
  // Enter and Esc act only while no Shift, Ctrl or Alt is held; a focused
  // button would take Enter with any of them.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool enterOrEsc = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                              key->key() == Qt::Key_Escape;
      if (enterOrEsc &&
          (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        return true;
      }
    }
    return QMessageBox::eventFilter(watched, event);
  }

  void showEvent(QShowEvent* event) override {
    if (auto* box = findChild<QDialogButtonBox*>()) box->setCenterButtons(true);
    int width = 0;
    for (QPushButton* b : buttons_) width = std::max(width, b->sizeHint().width());
    for (QPushButton* b : buttons_) b->setMinimumWidth(width);
    QMessageBox::showEvent(event);  // sizes the box to its text
    const QRect s = ScreenOf(this);
    WidenText(s.width() / 2);
    const Point at = CentredOn({s.x(), s.y(), s.width(), s.height()}, this->width(), height());
    move(at.x, at.y);
  }

 private:
  // Qt wraps a box's text at 500 pixels at most; here the column grows with
  // the longest line up to `most` pixels, and only longer lines wrap.
  void WidenText(int most) {
    auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!label) return;
    int widest = 0;
    for (const QString& line : label->text().split(u'\n'))
      widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
    label->setMinimumWidth(std::min(widest, most));
    layout()->activate();
    const int width = layout()->totalMinimumSize().width();
    setFixedSize(width, layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width)
                                                      : layout()->totalMinimumSize().height());
  }

  std::vector<QPushButton*> buttons_;
};

// Lists only the files matching a wildcard name, as the platform's dialog
// does with a pattern in its file-name box. Folders always show.
class PatternFilter final : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

  void SetPattern(const QString& pattern) {
    pattern_ = QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern));
    active_ = true;
    invalidateFilter();
  }

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    if (!active_) return true;
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files) return true;
    const QModelIndex index = files->index(row, 0, parent);
    return files->isDir(index) || pattern_.match(files->fileName(index)).hasMatch();
  }

 private:
  QRegularExpression pattern_;
  bool active_ = false;
};

class FileDialog final : public QFileDialog {
 public:
  explicit FileDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setFileMode(QFileDialog::AnyFile);  // the commands test the path themselves
    filter_ = new PatternFilter(this);
    setProxyModel(filter_);
  }
  Q_DISABLE_COPY_MOVE(FileDialog)

  void ListOnly(const QString& pattern) { filter_->SetPattern(pattern); }

 protected:
  void showEvent(QShowEvent* event) override {
    QFileDialog::showEvent(event);
    // Centred across, a third of the remaining height above.
    const QRect s = ScreenOf(this);
    const Point at = DialogPlaceOn({s.x(), s.y(), s.width(), s.height()}, width(), height());
    move(at.x, at.y);
  }

  // A confirmed name that names an existing file is that file: Qt would add
  // the default suffix to it when it has no dot. Any other name with a
  // wildcard is a pattern to list by ("*" and "?" may stand in a name here).
  void accept() override {
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = edit ? edit->text() : QString();
    const qsizetype slash = typed.lastIndexOf(u'/');
    const QString name = typed.mid(slash + 1);
    const bool existing =
        !typed.isEmpty() && QFileInfo(directory().absoluteFilePath(typed)).isFile();
    if (existing && !defaultSuffix().isEmpty()) {
      const QString suffix = defaultSuffix();
      setDefaultSuffix(QString());
      // Typing selected the name with the suffix in the list, if that exists.
      if (auto* list = findChild<QAbstractItemView*>(QStringLiteral("listView"))) {
        list->selectionModel()->clear();
      }
      QFileDialog::accept();
      if (isVisible()) setDefaultSuffix(suffix);  // not taken after all
      return;
    }
    if (existing || !HasWildcard(name)) {
      QFileDialog::accept();
      return;
    }
    if (slash >= 0) {
      setDirectory(
          directory().absoluteFilePath(slash == 0 ? QStringLiteral("/") : typed.left(slash)));
    }
    ListOnly(name);
    edit->setText(name);
  }

 private:
  PatternFilter* filter_;
};

}  // namespace

QtInteraction::QtInteraction(QWidget* window, QLabel* statusLine)
    : window_(window), statusLine_(statusLine) {}

QtInteraction::~QtInteraction() { SetBusyCursor(false); }

void QtInteraction::ShowNotice(const std::string& text) { ShowBox(window_, NoticeBox(), text); }

Answer QtInteraction::AskYesNoCancel(const std::string& text) {
  return ShowBox(window_, WarningBox(), text);
}

bool QtInteraction::RunFileDialog(TFileDialog& dialog) {
  const bool save = dialog.kind == TFileDialog::Kind::Save;
  FileDialog box(window_);
  box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  box.setOption(QFileDialog::DontConfirmOverwrite, !(save && dialog.confirmOverwrite));

  const QStringList filters = QtNameFilters(dialog.filters);
  if (!filters.isEmpty()) {
    box.setNameFilters(filters);
    const int index = dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size()
                          ? dialog.FilterIndex - 1
                          : 0;
    box.selectNameFilter(filters[index]);
  }
  box.setDefaultSuffix(QString::fromStdString(dialog.defaultSuffix));

  // The proposal opens the dialog in its own folder, or else in the
  // process's current one.
  const QString proposed = QFile::decodeName(QByteArray::fromStdString(dialog.FileName));
  const qsizetype slash = proposed.lastIndexOf(u'/');
  const QString name = proposed.mid(slash + 1);
  if (slash < 0) {
    box.setDirectory(QDir::currentPath());
  } else {
    box.setDirectory(
        QDir::current().absoluteFilePath(slash == 0 ? QStringLiteral("/") : proposed.left(slash)));
  }
  if (HasWildcard(name)) box.ListOnly(name);
  if (!name.isEmpty()) box.selectFile(name);

  int result;
  {
    CursorLift lift;
    result = box.exec();
  }
  if (result != QDialog::Accepted) return false;
  const QStringList chosen = box.selectedFiles();
  if (chosen.isEmpty()) return false;
  const QByteArray path = QFile::encodeName(chosen.first());
  // No cap of our own on the length: a path the system refuses fails in
  // the command, with its notice.
  if (path.isEmpty()) return false;

  dialog.FileName = path.toStdString();
  if (!filters.isEmpty()) {
    // The list shows descriptions only, so the entry is found by position.
    const auto* types = box.findChild<const QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (types && types->currentIndex() >= 0 && types->currentIndex() < filters.size()) {
      dialog.FilterIndex = types->currentIndex() + 1;
    }
  }
  QDir::setCurrent(QFileInfo(chosen.first()).absolutePath());
  return true;
}

void QtInteraction::SetStatusText(const std::string& text) {
  statusLine_->setText(QString::fromStdString(text));
  window_->repaint();  // now: the caller does not return to the event loop
}

void CloseModalWindows() {
  for (int i = 0; i < 8; ++i) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) break;
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
  }
}

Answer ShowBox(QWidget* parent, const BoxDescription& box, const std::string& text,
               QPointer<QDialog>* open, const std::function<void(Answer)>& answered) {
  CentredMessageBox shown(parent, Tr(box.caption),
                          box.icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                          text);
  std::vector<QPushButton*> buttons;
  for (const BoxButton& b : box.buttons) buttons.push_back(shown.AddButton(Tr(b.caption)));
  shown.setDefaultButton(buttons[box.defaultButton]);
  shown.setEscapeButton(buttons[box.cancelButton]);  // which also lets the title bar close it
  // The title bar's close clicks no button: it has its own answer.
  Answer answer = box.closeAnswer;
  QObject::connect(&shown, &QMessageBox::buttonClicked, [&](const QAbstractButton* clicked) {
    const auto at = std::find(buttons.begin(), buttons.end(), clicked);
    if (at != buttons.end()) answer = box.buttons[at - buttons.begin()].answer;
  });
  if (answered) QObject::connect(&shown, &QDialog::finished, [&] { answered(answer); });
  if (open) *open = &shown;
  CursorLift lift;
  shown.exec();
  return answer;
}

bool AskYesNo(QWidget* parent, const std::string& text, QPointer<QDialog>* open,
              const std::function<void(bool yes)>& answered) {
  const auto yes = [&](Answer a) {
    if (answered) answered(a == Answer::Yes);
  };
  return ShowBox(parent, StopQuestionBox(), text, open, yes) == Answer::Yes;
}

void QtInteraction::SetBusyCursor(bool on) {
  if (on == busy_) return;
  if (on) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
  busy_ = on;
}

}  // namespace tolvanix
