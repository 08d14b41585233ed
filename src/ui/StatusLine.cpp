#include "ui/StatusLine.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace tolvanix {

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
  setWordWrap(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTextFormat(Qt::PlainText);
}

void StatusLine::SetFill(double fraction) {
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (fraction == fill_) return;
  fill_ = fraction;
  update();
}

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
