#include "core/Cp932.h"

#include <iconv.h>

#include <cerrno>

#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

// One iconv conversion descriptor, closed once.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts a whole input; false (and nothing appended) when any byte of it
  // cannot be converted.
  bool Convert(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[64];
    auto* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    std::string result;
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      const size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      result.append(buffer, outPtr);
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    out += result;
    return true;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence starting at s[i], or 0 when it is malformed.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  }
  return n;
}

// Length of the code page 932 character starting at s[i]: 2 for a lead byte
// with a byte after it, else 1.
size_t Cp932CharLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
  return lead && i + 1 < s.size() ? 2 : 1;
}

}  // namespace

std::string HeaderNameFromUtf8(std::string_view utf8Name) {
  Converter toCp932("CP932", "UTF-8");
  std::string out;
  for (size_t i = 0; i < utf8Name.size();) {
    const size_t n = Utf8SequenceLength(utf8Name, i);
    std::string piece;
    if (n == 0 || !toCp932.Ok() || !toCp932.Convert(utf8Name.substr(i, n), piece))
      piece.assign(1, '_');
    // Cut at a character boundary so a NUL always follows inside the field.
    if (out.size() + piece.size() > static_cast<size_t>(kNameFieldSize - 1)) break;
    out += piece;
    i += n == 0 ? 1 : n;
  }
  return out;
}

std::string Utf8FromCp932(std::string_view cp932) {
  Converter toUtf8("UTF-8", "CP932");
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    size_t n = Cp932CharLength(cp932, i);
    if (!toUtf8.Ok() || !toUtf8.Convert(cp932.substr(i, n), out)) {
      out += '_';
      n = 1;  // a bad lead byte must not swallow the byte after it
    }
    i += n;
  }
  return out;
}

std::string SafeNameFromHeader(std::string_view cp932Name) {
  // A stored name should be bare already. Only what "/" would turn into
  // folders is dropped: ":" and "\" are ordinary characters of a name here.
  std::string name = ProposableName(PathName(Utf8FromCp932(cp932Name)));
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = '_';
  }
  if (name == "." || name == "..") name = "_";
  return name;
}

}  // namespace tolvanix
