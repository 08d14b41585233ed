// The windows' fonts, made for a dpi. A face the description names is taken
// where it is installed; "ＭＳ Ｐゴシック" falls back to "Meiryo UI" and then
// to the system's own UI font, "ＭＳ ゴシック" to "MS Gothic" and then the same.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "forms/FormDescriptions.h"

namespace tolvanix::win32 {

struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// Whether a font family of that name is installed.
bool FaceInstalled(const std::wstring& face);

// The font of a description at `dpi`: the face, or its stand-in.
Font MakeFont(const FontDescription& font, UINT dpi);

// The face MakeFont takes for `font`.
std::wstring ChosenFace(const FontDescription& font, UINT dpi);

// The system's message-box font at `dpi`.
Font MessageFont(UINT dpi);

}  // namespace tolvanix::win32
