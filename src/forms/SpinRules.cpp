#include "forms/SpinRules.h"

namespace tolvanix {

int32_t ReadSpinValue(std::u16string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == u' ') ++i;
  if (i == n) return 0;

  if (text[i] == u'$') {
    ++i;
    if (i == n) return 0;
    uint32_t v = 0;
    for (; i < n; ++i) {
      const char16_t c = text[i];
      int digit;
      if (c >= u'0' && c <= u'9') {
        digit = c - u'0';
      } else if (c >= u'a' && c <= u'f') {
        digit = c - u'a' + 10;
      } else if (c >= u'A' && c <= u'F') {
        digit = c - u'A' + 10;
      } else {
        return 0;
      }
      if (v > 0x0fffffffu) return 0;  // one more digit would not fit
      v = (v << 4) | static_cast<uint32_t>(digit);
    }
    return static_cast<int32_t>(v);  // from 80000000 hex on, negative
  }

  bool negative = false;
  if (text[i] == u'-' || text[i] == u'+') {
    negative = text[i] == u'-';
    ++i;
  }
  if (i == n) return 0;
  int64_t v = 0;
  for (; i < n; ++i) {
    const char16_t c = text[i];
    if (c < u'0' || c > u'9') return 0;
    v = v * 10 + (c - u'0');
    // -2147483648 is refused as well: the magnitude must fit on its own.
    if (v > INT32_MAX) return 0;
  }
  return static_cast<int32_t>(negative ? -v : v);
}

char16_t DecimalSeparator(std::u16string_view locale) {
  return locale.empty() ? u'.' : locale.front();
}

bool AcceptsTypedChar(char16_t c, char16_t decimalSeparator) {
  // Control characters carry Backspace and the clipboard keys; carriage
  // return is Enter, which is refused like any other key.
  if (c < 32) return c != u'\r';
  return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == decimalSeparator;
}

std::u16string SteppedText(std::u16string_view text, int32_t delta) {
  const uint32_t sum = static_cast<uint32_t>(ReadSpinValue(text)) + static_cast<uint32_t>(delta);
  const std::string digits = std::to_string(static_cast<int32_t>(sum));
  return std::u16string(digits.begin(), digits.end());
}

int ArrowHold::Press(bool up) {
  held_ = true;
  up_ = up;
  over_ = true;
  return kFirstRepeatMs;
}

int32_t ArrowHold::Fire(int& nextMs) {
  nextMs = kRepeatMs;
  // Off the pressed button the pace goes on, only the steps pause.
  return held_ && over_ ? Step() : 0;
}

int32_t ArrowHold::Release(bool over) {
  const bool step = held_ && over;
  held_ = false;
  over_ = false;
  return step ? Step() : 0;
}

}  // namespace tolvanix
