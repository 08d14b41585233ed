// The status line: one left-aligned line of text, cut off at its right edge,
// and behind it a bar filling from the left with the share of the run done.
#pragma once

#include <QLabel>

namespace tolvanix {

class StatusLine final : public QLabel {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent);
  Q_DISABLE_COPY_MOVE(StatusLine)

  // From 0 (no bar) to 1 (the whole line). A line without text shows none.
  void SetFill(double fraction);
  double Fill() const { return fill_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double fill_ = 0;
};

}  // namespace tolvanix
