// Code page 932 through the Win32 conversions, one character at a time. No
// best fit: a character the code page only resembles ("～" for "〜") is not
// held.
#include "core/Cp932.h"

#include <windows.h>

namespace tolvanix {

std::string Cp932FromCodePoint(char32_t c) {
  if (c > 0xFFFF) return {};  // the code page holds nothing beyond the first plane
  const auto wide = static_cast<wchar_t>(c);
  char out[8];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out, nullptr,
                                    &usedDefault);
  return n <= 0 || usedDefault ? std::string() : std::string(out, n);
}

char32_t CodePointFromCp932(std::string_view c) {
  wchar_t wide[2];
  const int n =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, c.data(), static_cast<int>(c.size()), wide, 2);
  return n == 1 ? wide[0] : 0;
}

}  // namespace tolvanix
