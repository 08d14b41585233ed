// The status line: one left-aligned line of text, cut off at its right edge,
// and behind it a bar filling from the left with the share of the run done.
// A screen reader finds it as a progress bar named by its text, whose value
// (0 to 100) follows the bar.
#pragma once

#include <QLabel>

class QAccessibleInterface;

namespace tolvanix {

class StatusLine final : public QLabel {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent);
  Q_DISABLE_COPY_MOVE(StatusLine)

  // From 0 (no bar) to 1 (the whole line). A line without text shows none.
  void SetFill(double fraction);
  double Fill() const { return fill_; }
  // The fill in whole percent, as a screen reader reads it.
  int Percent() const;

  // The interface a screen reader sees, for QAccessible::installFactory.
  static QAccessibleInterface* Accessible(const QString& className, QObject* object);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double fill_ = 0;
};

}  // namespace tolvanix
