#include "qt/Fonts.h"

#include <QStringList>

namespace tolvanix {

void InstallFontSubstitutions() {
  static const bool done = [] {
    // IPA comes with fonts-ipafont-gothic; the rest are common Japanese faces
    // of other distributions, tried in turn.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("Source Han Sans JP"), QStringLiteral("VL PGothic"),
                                QStringLiteral("TakaoPGothic"), QStringLiteral("IPAGothic")});
    QFont::insertSubstitutions(
        QStringLiteral("ＭＳ ゴシック"),
        {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
         QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")});
    return true;
  }();
  (void)done;
}

QFont WindowFont() {
  InstallFontSubstitutions();
  QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(12);
  return font;
}

QFont FixedPitchFont(int pixels) {
  InstallFontSubstitutions();
  QFont font(QStringLiteral("ＭＳ ゴシック"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(pixels);
  return font;
}

}  // namespace tolvanix
