#include "qt/SpinEdit.h"

#include <qdrawutil.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>

namespace tolvanix {

namespace {

std::u16string_view View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

}  // namespace

int32_t ReadSpinValue(const QString& text) { return ReadSpinValue(View(text)); }

namespace {

class QtRepeatTimer final : public RepeatTimer {
 public:
  QtRepeatTimer() {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      // The call may start the timer again, replacing fire_.
      const auto fire = fire_;
      if (fire) fire();
    });
  }
  Q_DISABLE_COPY_MOVE(QtRepeatTimer)

  void Start(int ms, std::function<void()> fire) override {
    fire_ = std::move(fire);
    timer_.start(ms);
  }
  void Stop() override {
    timer_.stop();
    fire_ = nullptr;
  }

 private:
  QTimer timer_;
  std::function<void()> fire_;
};

// Inside the field's 2-pixel 3-D border, the arrow column is 15 pixels wide,
// ends one pixel short of the right edge and 5 pixels above the bottom.
constexpr int kBorder = 2;
constexpr int kArrowWidth = 15;
constexpr int kGlyphWidth = 9;
constexpr int kGlyphHeight = 6;

}  // namespace

class SpinArrow final : public QWidget {
 public:
  SpinArrow(TSpinEdit* field, bool up) : QWidget(field), field_(field), up_(up) {
    setObjectName(up ? QStringLiteral("UpButton") : QStringLiteral("DownButton"));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);  // not the text box's I-beam
  }
  Q_DISABLE_COPY_MOVE(SpinArrow)

  bool up() const { return up_; }
  bool over() const { return over_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    event->accept();
    if (event->button() != Qt::LeftButton || held_) return;
    held_ = true;
    over_ = true;
    update();
    field_->ArrowPressed(this);
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    event->accept();
    if (!held_) return;
    const bool over = rect().contains(event->position().toPoint());
    if (over != over_) {
      over_ = over;
      update();
    }
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    event->accept();
    if (event->button() != Qt::LeftButton || !held_) return;
    over_ = rect().contains(event->position().toPoint());
    held_ = false;
    update();
    field_->ArrowReleased(this);
  }

  // No menu of the text box's over the arrows.
  void contextMenuEvent(QContextMenuEvent* event) override { event->accept(); }

  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const bool sunken = held_ && over_;
    qDrawWinButton(&p, rect(), palette(), sunken, &palette().button());
    const int shift = sunken ? 1 : 0;
    const int gx = (width() - kGlyphWidth) / 2 + shift;
    const int gy = (height() - kGlyphHeight) / 2 + shift;
    const QColor ink =
        isEnabled() ? QColor(Qt::black) : palette().color(QPalette::Disabled, QPalette::WindowText);
    // A triangle of 1, 3, 5 and 7 pixels in the middle of the 9 x 6 glyph.
    for (int row = 0; row < 4; ++row) {
      const int y = up_ ? gy + 1 + row : gy + 4 - row;
      p.fillRect(gx + 4 - row, y, 2 * row + 1, 1, ink);
    }
  }

 private:
  TSpinEdit* field_;
  bool up_;
  bool held_ = false;
  bool over_ = false;
};

// The text box: filters typed characters, takes no input method, steps on
// the arrow keys, selects its whole text when entered other than by a click.
class SpinText final : public QLineEdit {
 public:
  explicit SpinText(TSpinEdit* field) : QLineEdit(field), field_(field) {
    setObjectName(QStringLiteral("SpinText"));
    // No input method in the field: a Japanese user typing 1024 with it on
    // gets 1024, and nothing composed gets past the filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
  }
  Q_DISABLE_COPY_MOVE(SpinText)

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
      field_->Step(event->key() == Qt::Key_Up ? field_->increment() : -field_->increment());
      event->accept();
      return;
    }
    // Ctrl alone, or with Shift, makes a shortcut (Ctrl+V and the like) that
    // types nothing, and goes through untested; so does Delete, whose text
    // some platforms give as DEL although it types nothing. A character typed
    // with Alt or Meta (Ctrl+Alt is AltGr on some keyboards) is tested.
    const QString text = event->text();
    const bool shortcut = (event->modifiers() & ~Qt::ShiftModifier) == Qt::ControlModifier;
    if (!shortcut && !text.isEmpty() && text != QChar(0x7f) &&
        !std::all_of(text.begin(), text.end(), Accepts)) {
      field_->Beep();
      event->accept();
      return;
    }
    QLineEdit::keyPressEvent(event);
  }

  // The platform's input method asks this before it composes anything.
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
    return query == Qt::ImEnabled ? QVariant(false) : QLineEdit::inputMethodQuery(query);
  }

  // A dragged file is for the window, not text for the field.
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (event->mimeData()->hasUrls()) {
      event->ignore();
      return;
    }
    QLineEdit::dragEnterEvent(event);
  }

  void focusInEvent(QFocusEvent* event) override {
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
      case Qt::MouseFocusReason:         // the click places the caret
      case Qt::PopupFocusReason:         // back from a menu: the field was never left
      case Qt::ActiveWindowFocusReason:  // back from another window: likewise
        break;
      default:
        selectAll();
    }
  }

 private:
  static bool Accepts(QChar c) {
    const QString separator = QLocale().decimalPoint();
    return AcceptsTypedChar(c.unicode(), DecimalSeparator(View(separator)));
  }

  TSpinEdit* field_;
};

TSpinEdit::TSpinEdit(QWidget* parent)
    : QWidget(parent),
      edit_(new SpinText(this)),
      up_(new SpinArrow(this, true)),  // created after the text box: drawn over it
      down_(new SpinArrow(this, false)),
      beep_([] { QApplication::beep(); }),
      timer_(std::make_unique<QtRepeatTimer>()) {
  setFocusProxy(edit_);  // Tab order and focus go to the text box
  setValue(0);
}

TSpinEdit::~TSpinEdit() = default;

int32_t TSpinEdit::value() const { return ReadSpinValue(edit_->text()); }

void TSpinEdit::setValue(int32_t value) { edit_->setText(QString::number(value)); }

QString TSpinEdit::text() const { return edit_->text(); }

void TSpinEdit::setText(const QString& text) { edit_->setText(text); }

void TSpinEdit::Step(int32_t delta) {
  const std::u16string stepped = SteppedText(View(edit_->text()), delta);
  edit_->setText(QString::fromUtf16(stepped.data(), static_cast<qsizetype>(stepped.size())));
}

void TSpinEdit::setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

void TSpinEdit::Beep() {
  if (beep_) beep_();
}

void TSpinEdit::setRepeatTimer(std::unique_ptr<RepeatTimer> timer) {
  if (timer_) timer_->Stop();
  timer_ = std::move(timer);
}

QLineEdit* TSpinEdit::editor() const { return edit_; }
QWidget* TSpinEdit::upButton() const { return up_; }
QWidget* TSpinEdit::downButton() const { return down_; }

void TSpinEdit::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  edit_->setGeometry(rect());
  const int x = width() - kBorder - 1 - kArrowWidth;
  const int column = height() - 5;
  const int upper = column / 2;
  up_->setGeometry(x, kBorder, kArrowWidth, upper);
  down_->setGeometry(x, kBorder + upper - 1, kArrowWidth, column - upper + 1);
  // The text ends 2 pixels left of the arrows.
  edit_->setTextMargins(0, 0, (width() - kBorder) - (x - 2), 0);
}

void TSpinEdit::ArrowPressed(SpinArrow* arrow) {
  if (!edit_->hasFocus()) edit_->setFocus(Qt::OtherFocusReason);
  held_ = arrow;
  timer_->Start(hold_.Press(arrow->up()), [this] { Repeat(); });
}

void TSpinEdit::ArrowReleased(SpinArrow* arrow) {
  timer_->Stop();
  held_ = nullptr;
  if (const int32_t step = hold_.Release(arrow->over())) Step(step);
}

void TSpinEdit::Repeat() {
  if (!held_) return;
  hold_.Over(held_->over());
  int next = 0;
  if (const int32_t step = hold_.Fire(next)) Step(step);
  timer_->Start(next, [this] { Repeat(); });
}

}  // namespace tolvanix
