#include "win32/Fonts.h"

#include "win32/Wide.h"

namespace tolvanix::win32 {

namespace {

NONCLIENTMETRICSW Metrics(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
  return metrics;
}

}  // namespace

bool FaceInstalled(const std::wstring& face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
  const HDC dc = GetDC(nullptr);
  // The callback stops the search at the first family found.
  const int notFound = EnumFontFamiliesExW(
      dc, &wanted, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) { return 0; }, 0, 0);
  ReleaseDC(nullptr, dc);
  return notFound == 0;
}

std::wstring ChosenFace(const FontDescription& font, UINT dpi) {
  const std::wstring face = Widen(font.face);
  if (FaceInstalled(face)) return face;
  const wchar_t* standIn = font.fixedPitch ? L"MS Gothic" : L"Meiryo UI";
  if (FaceInstalled(standIn)) return standIn;
  return Metrics(dpi).lfMessageFont.lfFaceName;
}

Font MakeFont(const FontDescription& font, UINT dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(font.pixels, static_cast<int>(dpi), 96);  // character height
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily =
      static_cast<BYTE>(font.fixedPitch ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS);
  const std::wstring face = ChosenFace(font, dpi);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  if (face != Widen(font.face)) lf.lfCharSet = DEFAULT_CHARSET;
  return Font(CreateFontIndirectW(&lf));
}

Font MessageFont(UINT dpi) {
  const NONCLIENTMETRICSW metrics = Metrics(dpi);
  return Font(CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace tolvanix::win32
