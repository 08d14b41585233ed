#include "core/PieceFormat.h"

#include <algorithm>
#include <cstring>

namespace tolvanix {

int64_t PieceCount(int64_t sourceSize, int64_t pieceSize) {
  const int64_t total = sourceSize + kHeaderSize;
  int64_t count = total / pieceSize;
  if (count * pieceSize < total) ++count;
  return count;
}

int64_t PieceCapacity(int64_t k, int64_t pieceSize) {
  return k == 1 ? pieceSize - kHeaderSize : pieceSize;
}

bool PieceLengthFits(int64_t length, int64_t number, int64_t count, int64_t pieceSize) {
  if (number < count) return length == pieceSize;
  return length >= 1 && length <= pieceSize;
}

HeaderBytes EncodeHeader(std::string_view cp932Name, int32_t count) {
  HeaderBytes bytes{};
  const size_t n = std::min<size_t>(cp932Name.size(), kNameFieldSize - 1);
  std::memcpy(bytes.data(), cp932Name.data(), n);
  const auto u = static_cast<uint32_t>(count);
  for (int i = 0; i < kCountFieldSize; ++i) {
    bytes[kNameFieldSize + i] = static_cast<unsigned char>(u >> (8 * i));
  }
  return bytes;
}

DecodedHeader DecodeHeader(const HeaderBytes& bytes) {
  DecodedHeader header;
  const auto* name = reinterpret_cast<const char*>(bytes.data());
  header.cp932Name.assign(name, strnlen(name, kNameFieldSize));
  uint32_t u = 0;
  for (int i = 0; i < kCountFieldSize; ++i) {
    u |= static_cast<uint32_t>(bytes[kNameFieldSize + i]) << (8 * i);
  }
  header.count = static_cast<int32_t>(u);
  return header;
}

std::string IntToStrl(int64_t n, int width) {
  std::string text = std::to_string(n);
  while (static_cast<int>(text.size()) < width) text.insert(text.begin(), '0');
  return text;
}

}  // namespace tolvanix
