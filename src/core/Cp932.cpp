#include "core/Cp932.h"

#include <algorithm>
#include <cctype>

#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

// Where glibc's CP932 and Windows' code page 932 disagree, Windows decides:
// the format comes from there. glibc also maps these to bytes that Windows
// decodes as other characters (U+301C WAVE DASH to 81 60, which is U+FF5E
// on Windows), so they cannot be held.
constexpr char32_t kNotHeld[] = {0x00A2, 0x00A3, 0x00A5, 0x00AC, 0x2014,
                                 0x2016, 0x203E, 0x2212, 0x301C};
// And Windows holds these, which glibc refuses, as single bytes.
struct SingleByte {
  char32_t c;
  char byte;
};
constexpr SingleByte kWindowsOnly[] = {
    {0x0080, '\x80'}, {0xF8F0, '\xA0'}, {0xF8F1, '\xFD'}, {0xF8F2, '\xFE'}, {0xF8F3, '\xFF'}};

// The code point of the UTF-8 sequence at s[i] and its length; length 0 when
// it is malformed, overlong, a surrogate or beyond U+10FFFF.
std::pair<char32_t, size_t> DecodeUtf8(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  const size_t n = c < 0x80           ? 1
                   : (c >> 5) == 0x6  ? 2
                   : (c >> 4) == 0xE  ? 3
                   : (c >> 3) == 0x1E ? 4
                                      : 0;
  if (n == 0 || i + n > s.size()) return {0, 0};
  char32_t code = n == 1 ? c : c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    const auto t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return {0, 0};
    code = code << 6 | (t & 0x3F);
  }
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 0};
  return {code, n};
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Length of the code page 932 character at s[i]: 2 for a lead byte with a
// byte after it, 1 for ASCII and half-width katakana, 0 for a byte that starts
// no character (0x80, 0xA0, 0xFD to 0xFF, a lead byte at the end).
size_t Cp932CharLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) return i + 1 < s.size() ? 2 : 0;
  return c < 0x80 || (c >= 0xA1 && c <= 0xDF) ? 1 : 0;
}

std::string EncodeChar(char32_t c) {
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  if (std::find(std::begin(kNotHeld), std::end(kNotHeld), c) != std::end(kNotHeld)) return {};
  for (const SingleByte& s : kWindowsOnly) {
    if (s.c == c) return std::string(1, s.byte);
  }
  return Cp932FromCodePoint(c);
}

// Names Windows keeps for devices, whatever extension follows.
bool IsReservedDeviceName(std::string_view name) {
  std::string base(name.substr(0, name.find('.')));
  base.erase(base.find_last_not_of(' ') + 1);
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

std::string WindowsSafeName(std::string name) {
  for (char& c : name) {
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  // Windows drops a trailing dot or space from a name it is given.
  for (size_t i = name.size(); i-- > 0 && (name[i] == '.' || name[i] == ' ');) name[i] = '_';
  if (IsReservedDeviceName(name)) name.insert(0, "_");
  return name;
}

}  // namespace

std::string HeaderNameFromUtf8(std::string_view utf8Name) {
  std::string out;
  for (size_t i = 0; i < utf8Name.size();) {
    const auto [code, n] = DecodeUtf8(utf8Name, i);
    std::string piece = n == 0 ? std::string() : EncodeChar(code);
    if (piece.empty()) piece = "_";
    // Cut at a character boundary so a NUL always follows inside the field.
    if (out.size() + piece.size() > static_cast<size_t>(kNameFieldSize - 1)) break;
    out += piece;
    i += n == 0 ? 1 : n;
  }
  return out;
}

std::string Utf8FromCp932(std::string_view cp932) {
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    const size_t n = Cp932CharLength(cp932, i);
    const auto first = static_cast<unsigned char>(cp932[i]);
    const char32_t code = n == 0         ? 0
                          : first < 0x80 ? first
                                         : CodePointFromCp932(cp932.substr(i, n));
    if (n == 0 || (code == 0 && first != 0)) {
      out += '_';  // a bad lead byte must not swallow the byte after it
      ++i;
      continue;
    }
    AppendUtf8(out, code);
    i += n;
  }
  return out;
}

std::string SafeNameFromHeader(std::string_view cp932Name, PathStyle style) {
  std::string name = Utf8FromCp932(cp932Name);
  // A stored name should be bare already: what would make folders of it is
  // dropped. On Linux ":" and "\" are ordinary characters of a name.
  name = style == PathStyle::Posix ? ProposableName(PathName(name, style))
                                   : name.substr(name.find_last_of("\\/") + 1);
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = '_';
  }
  if (name == "." || name == "..") name = "_";
  return style == PathStyle::Posix ? name : WindowsSafeName(name);
}

}  // namespace tolvanix
