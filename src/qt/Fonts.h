// The windows' fonts. They ask for the faces of the window descriptions;
// where those are not installed (on Linux they never are), Qt substitutes a
// Japanese face of the same kind, so no text ever shows as boxes.
#pragma once

#include <QFont>

namespace tolvanix {

// Registers the stand-ins for "ＭＳ Ｐゴシック" (proportional) and
// "ＭＳ ゴシック" (fixed pitch). Idempotent.
void InstallFontSubstitutions();

// "ＭＳ Ｐゴシック", character height 12 pixels, no style: the main window's font.
QFont WindowFont();

// "ＭＳ ゴシック" at the given character height, fixed pitch, no style.
QFont FixedPitchFont(int pixels);

}  // namespace tolvanix
