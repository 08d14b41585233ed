#include "qt/StatusLine.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace tolvanix {

namespace {

// A progress bar whose name is the line's text (Qt tells of each new text as
// a name change) and whose value is the fill.
class AccessibleStatusLine final : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleStatusLine(StatusLine* line)
      : QAccessibleWidget(line, QAccessible::ProgressBar) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text type) const override {
    return type == QAccessible::Name ? Line()->text() : QAccessibleWidget::text(type);
  }
  QVariant currentValue() const override { return Line()->Percent(); }
  void setCurrentValue(const QVariant&) override {}  // shown, not set
  QVariant maximumValue() const override { return 100; }
  QVariant minimumValue() const override { return 0; }
  QVariant minimumStepSize() const override { return 1; }

 private:
  StatusLine* Line() const { return static_cast<StatusLine*>(widget()); }
};

}  // namespace

QAccessibleInterface* StatusLine::Accessible(const QString& className, QObject* object) {
  auto* line = qobject_cast<StatusLine*>(object);
  return line && className == QLatin1String(staticMetaObject.className())
             ? new AccessibleStatusLine(line)
             : nullptr;
}

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
  setWordWrap(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTextFormat(Qt::PlainText);
}

void StatusLine::SetFill(double fraction) {
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (fraction == fill_) return;
  const int before = Percent();
  fill_ = fraction;
  update();
  if (Percent() != before) {
    QAccessibleValueChangeEvent changed(this, Percent());
    QAccessible::updateAccessibility(&changed);
  }
}

int StatusLine::Percent() const { return static_cast<int>(std::lround(fill_ * 100)); }

void StatusLine::paintEvent(QPaintEvent* event) {
  const int filled = static_cast<int>(fill_ * width() + 0.5);
  if (filled == 0 || text().isEmpty()) {
    QLabel::paintEvent(event);
    return;
  }
  // The text keeps its colour over the empty part and takes the highlight's
  // own text colour over the bar, so it stays readable across the edge.
  QPainter p(this);
  const QRect bar(0, 0, filled, height());
  p.fillRect(bar, palette().color(QPalette::Highlight));
  const auto draw = [&](const QRect& clip, QPalette::ColorRole role) {
    p.setClipRect(clip);
    style()->drawItemText(&p, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(),
                          text(), role);
  };
  draw(QRect(filled, 0, width() - filled, height()), foregroundRole());
  draw(bar, QPalette::HighlightedText);
}

}  // namespace tolvanix
