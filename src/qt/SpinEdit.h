// The piece-size field: a text box with two auto-repeating arrow buttons,
// holding a signed 32-bit number with no bounds. Typing is filtered key by
// key, pasting is not; the value is read from the text whenever it is asked
// for, and the text is never rewritten except by a step.
#pragma once

#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <memory>

#include "forms/SpinRules.h"

class QResizeEvent;

namespace tolvanix {

// The number a text reads as, by the field's rules (forms/SpinRules.h).
int32_t ReadSpinValue(const QString& text);

// Times the arrow buttons' repeat steps. The field's own uses a QTimer;
// tests put in one they advance by hand.
class RepeatTimer {
 public:
  virtual ~RepeatTimer() = default;
  // Calls `fire` once, `ms` from now, unless stopped or started again first.
  virtual void Start(int ms, std::function<void()> fire) = 0;
  virtual void Stop() = 0;
};

class SpinArrow;
class SpinText;

// The text box and the arrow buttons are siblings inside the field, so that
// a press on an arrow is no click into the text box: it moves the focus there
// itself, as an entry by other means than a click.
class TSpinEdit : public QWidget {
  Q_OBJECT

 public:
  explicit TSpinEdit(QWidget* parent = nullptr);
  ~TSpinEdit() override;
  Q_DISABLE_COPY_MOVE(TSpinEdit)

  // The text as ReadSpinValue reads it.
  int32_t value() const;
  void setValue(int32_t value);
  int32_t increment() const { return increment_; }

  QString text() const;
  void setText(const QString& text);

  // Adds delta to the value in 32-bit arithmetic, wrapping around, and
  // writes the result as plain decimal.
  void Step(int32_t delta);

  // The sound of a refused key; QApplication::beep unless replaced.
  void setBeep(std::function<void()> beep);
  void setRepeatTimer(std::unique_ptr<RepeatTimer> timer);

  QLineEdit* editor() const;
  QWidget* upButton() const;
  QWidget* downButton() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class SpinArrow;
  friend class SpinText;
  void Beep();
  void ArrowPressed(SpinArrow* arrow);
  void ArrowReleased(SpinArrow* arrow);
  void Repeat();

  int32_t increment_ = kSpinIncrement;
  SpinText* edit_;
  SpinArrow* up_;
  SpinArrow* down_;
  SpinArrow* held_ = nullptr;
  ArrowHold hold_;
  std::function<void()> beep_;
  std::unique_ptr<RepeatTimer> timer_;
};

}  // namespace tolvanix
