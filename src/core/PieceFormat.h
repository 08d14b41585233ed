// The piece set on disk: NAME.001, NAME.002, ... The first piece opens with a
// 262-byte header (the source's name in code page 932, NUL-padded to 258
// bytes, then the piece count as 4 bytes little-endian); after it, and in every
// later piece, come only the source's bytes in order. Every piece but the last
// is exactly P bytes long, header included.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvanix {

inline constexpr int kNameFieldSize = 258;
inline constexpr int kCountFieldSize = 4;
inline constexpr int kHeaderSize = kNameFieldSize + kCountFieldSize;  // 262
inline constexpr int kMaxPieceCount = 999;
// Every piece, and so every file a reader sizes as a signed 32-bit number,
// stays below 2 GiB.
inline constexpr int64_t kMaxPieceSizeKB = 2097151;
inline constexpr int64_t kMaxPieceBytes = 0x7fffffffLL;

using HeaderBytes = std::array<unsigned char, kHeaderSize>;

// Smallest N with N * P >= S + 262. 64-bit throughout, so a source of any size
// gives its true count; the caller refuses counts above kMaxPieceCount.
int64_t PieceCount(int64_t sourceSize, int64_t pieceSize);

// Source bytes piece k (from 1) can hold: P - 262 for the first, P after.
int64_t PieceCapacity(int64_t k, int64_t pieceSize);

// The split writes every piece but the last at the first piece's length P,
// header included, and the last with 1 to P bytes: a piece of any other
// length was cut short or belongs to another set.
bool PieceLengthFits(int64_t length, int64_t number, int64_t count, int64_t pieceSize);

// Header of the first piece. The name is cut to 257 bytes so a NUL always
// follows it inside the name field.
HeaderBytes EncodeHeader(std::string_view cp932Name, int32_t count);

struct DecodedHeader {
  std::string cp932Name;  // bytes before the first NUL of the name field
  int32_t count = 0;      // as stored, not range-checked
};
// Reads the name up to its first NUL (at most 258 bytes) and the count.
DecodedHeader DecodeHeader(const HeaderBytes& bytes);

// Decimal text of n, left-padded with '0' to at least `width` characters.
std::string IntToStrl(int64_t n, int width);

}  // namespace tolvanix
