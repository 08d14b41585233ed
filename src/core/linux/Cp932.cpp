// Code page 932 through glibc iconv, one character at a time.
#include "core/Cp932.h"

#include <iconv.h>

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

  // The whole input converted, or empty when any of it cannot be.
  std::string Convert(std::string_view in) {
    if (!Ok()) return {};
    char buffer[16];
    auto* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
      return {};
    if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return {};
    return std::string(buffer, outPtr);
  }

 private:
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

}  // namespace

std::string Cp932FromCodePoint(char32_t c) {
  const char in[4] = {static_cast<char>(c), static_cast<char>(c >> 8), static_cast<char>(c >> 16),
                      static_cast<char>(c >> 24)};
  return Converter("CP932", "UTF-32LE").Convert(std::string_view(in, sizeof in));
}

char32_t CodePointFromCp932(std::string_view c) {
  const std::string out = Converter("UTF-32LE", "CP932").Convert(c);
  if (out.size() != 4) return 0;
  char32_t code = 0;
  for (int i = 3; i >= 0; --i) code = code << 8 | static_cast<unsigned char>(out[i]);
  return code;
}

}  // namespace tolvanix
