// The piece-size field's rules, whatever draws it: how its text reads as a
// number, which typed characters it takes, how a step rewrites it, and the
// pace of an arrow button held down. Texts are UTF-16, as both toolkits
// keep them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvanix {

// The number a text reads as: leading blanks, then an optional "+" or "-"
// and decimal digits up to the end, or "$" and hexadecimal digits forming a
// 32-bit value. Anything else, or a number out of range, reads as 0.
int32_t ReadSpinValue(std::u16string_view text);

// The locale's decimal separator as the field takes it: its first character,
// a full stop when the locale gives none.
char16_t DecimalSeparator(std::u16string_view locale);

// Whether a typed character goes into the field: digits, "+", "-", the
// decimal separator, and control characters (Backspace, the clipboard keys)
// but carriage return. A refused one is answered with the beep.
bool AcceptsTypedChar(char16_t c, char16_t decimalSeparator);

// The text after a step of `delta` on `text`: its value plus delta in 32-bit
// arithmetic, wrapping around, as plain decimal.
std::u16string SteppedText(std::u16string_view text, int32_t delta);

// The step of the arrow keys and buttons.
inline constexpr int32_t kSpinIncrement = 1;

// What an arrow button does while the left mouse button holds it: one step
// at the release over it, and repeat steps 400 ms after the press, then every
// 100 ms, each only while the pointer is over the pressed button. The front
// end runs one timer as told and reports the pointer.
class ArrowHold {
 public:
  static constexpr int kFirstRepeatMs = 400;
  static constexpr int kRepeatMs = 100;

  // A press on the up or the down button: start the timer with the delay
  // returned.
  int Press(bool up);
  // The timer fired: the step to make now (0: none), and the timer goes on
  // with the delay returned in `nextMs`.
  int32_t Fire(int& nextMs);
  // The pointer moved on or off the pressed button.
  void Over(bool over) { over_ = over; }
  // The release, over the pressed button or not: the step to make (0: none).
  // Stop the timer.
  int32_t Release(bool over);
  bool Held() const { return held_; }
  bool Up() const { return up_; }
  bool IsOver() const { return over_; }

 private:
  int32_t Step() const { return up_ ? kSpinIncrement : -kSpinIncrement; }
  bool held_ = false;
  bool up_ = true;
  bool over_ = false;
};

}  // namespace tolvanix
