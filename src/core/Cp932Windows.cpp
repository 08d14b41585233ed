// Code page 932 through the Win32 conversions, one character at a time. No
// best fit: a character the code page only resembles ("～" for "〜") is not
// held.
#include <windows.h>

#include "core/Cp932.h"

namespace tolvanix {

std::string Cp932FromCodePoint(char32_t c) {
  wchar_t wide[2];
  int length = 1;
  if (c > 0xFFFF) {
    wide[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
    wide[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    length = 2;
  } else {
    wide[0] = static_cast<wchar_t>(c);
  }
  char out[8];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, length, out, sizeof out,
                                    nullptr, &usedDefault);
  return n <= 0 || usedDefault ? std::string() : std::string(out, n);
}

char32_t CodePointFromCp932(std::string_view c) {
  wchar_t wide[2];
  const int n =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, c.data(), static_cast<int>(c.size()), wide, 2);
  return n == 1 ? wide[0] : 0;
}

}  // namespace tolvanix
