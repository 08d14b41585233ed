#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

TEST(PieceCount, Boundaries) {
  struct Row {
    int64_t source, piece, count;
  };
  for (const Row& r : {Row{0, 1024, 1}, Row{762, 1024, 1}, Row{763, 1024, 2}, Row{2000000, 1048576, 2},
                       Row{1022714, 1024, 999}, Row{1022715, 1024, 1000},
                       // 64-bit: a 5 GiB source is not mistaken for a small one.
                       Row{5LL << 30, 2097151LL * 1024, 3}, Row{(5LL << 30) - 262, 1LL << 30, 5},
                       Row{(5LL << 30) - 261, 1LL << 30, 6}}) {
    EXPECT_EQ(PieceCount(r.source, r.piece), r.count) << r.source << " / " << r.piece;
  }
}

TEST(PieceCapacity, FirstPieceCarriesTheHeader) {
  EXPECT_EQ(PieceCapacity(1, 1048576), 1048314);
  EXPECT_EQ(PieceCapacity(2, 1048576), 1048576);
  // 2,000,000 bytes at 1024 KB: the second piece holds what the first could not.
  EXPECT_EQ(2000000 - PieceCapacity(1, 1048576), 951686);
}

TEST(Header, ThreePieceSetOfPhotoJpg) {
  const HeaderBytes h = EncodeHeader("photo.jpg", 3);
  EXPECT_EQ(std::string(h.begin(), h.begin() + 9), "photo.jpg");
  for (int i = 9; i < 258; ++i) ASSERT_EQ(h[i], 0) << i;
  EXPECT_EQ(h[258], 3);
  EXPECT_EQ(h[259], 0);
  EXPECT_EQ(h[260], 0);
  EXPECT_EQ(h[261], 0);
  const DecodedHeader d = DecodeHeader(h);
  EXPECT_EQ(d.cp932Name, "photo.jpg");
  EXPECT_EQ(d.count, 3);
}

TEST(Header, CountIsLittleEndianAndSigned) {
  EXPECT_EQ(DecodeHeader(EncodeHeader("a", 0x01020304)).count, 0x01020304);
  const HeaderBytes h = EncodeHeader("a", 999);
  EXPECT_EQ(h[258], 999 & 0xFF);
  EXPECT_EQ(h[259], 999 >> 8);
  EXPECT_EQ(DecodeHeader(EncodeHeader("a", -1)).count, -1);
}

TEST(Header, NameAlwaysEndsWithNulInsideTheField) {
  const std::string longName(300, 'x');
  const HeaderBytes h = EncodeHeader(longName, 1);
  EXPECT_EQ(h[256], 'x');
  EXPECT_EQ(h[257], 0);
  EXPECT_EQ(DecodeHeader(h).cp932Name.size(), 257u);
}

TEST(Header, ReaderStopsAtFirstNulAndNeverPastTheField) {
  HeaderBytes h{};
  h.fill('A');  // no NUL anywhere in the name field
  EXPECT_EQ(DecodeHeader(h).cp932Name, std::string(258, 'A'));
  h[0] = 0;
  EXPECT_EQ(DecodeHeader(h).cp932Name, "");
}

TEST(IntToStrl, PadsToWidthOnly) {
  EXPECT_EQ(IntToStrl(1, 3), "001");
  EXPECT_EQ(IntToStrl(10, 3), "010");
  EXPECT_EQ(IntToStrl(42, 3), "042");
  EXPECT_EQ(IntToStrl(100, 3), "100");
  EXPECT_EQ(IntToStrl(999, 3), "999");
  EXPECT_EQ(IntToStrl(1000, 3), "1000");
  EXPECT_EQ(IntToStrl(7, 0), "7");
}

TEST(HeaderName, Utf8ToCodePage932) {
  EXPECT_EQ(HeaderNameFromUtf8("photo.jpg"), "photo.jpg");
  EXPECT_EQ(HeaderNameFromUtf8("ソ.txt"), "\x83\x5C.txt");
  EXPECT_EQ(HeaderNameFromUtf8("ｷｬﾝｾﾙ"), "\xB7\xAC\xDD\xBE\xD9");
  // Characters code page 932 lacks, and bytes that are not UTF-8.
  EXPECT_EQ(HeaderNameFromUtf8("a€😀b"), "a__b");
  EXPECT_EQ(HeaderNameFromUtf8("a\xFF\xC3z"), "a__z");
}

TEST(HeaderName, LongNameCutAtCharacterBoundary) {
  // 128 two-byte characters plus one ASCII byte: 257 bytes fit exactly.
  std::string name;
  for (int i = 0; i < 128; ++i) name += "あ";
  EXPECT_EQ(HeaderNameFromUtf8(name + "x").size(), 257u);
  // One more double-byte character would reach 258: it is dropped whole.
  const std::string cut = HeaderNameFromUtf8("x" + name + "あ");
  EXPECT_EQ(cut.size(), 257u);
  EXPECT_EQ(static_cast<unsigned char>(cut[255]), 0x82);
  EXPECT_EQ(static_cast<unsigned char>(cut[256]), 0xA0);
  EXPECT_EQ(HeaderNameFromUtf8("xy" + name).size(), 256u);
}

TEST(StoredName, BecomesSafeBareFileName) {
  EXPECT_EQ(SafeNameFromHeader("photo.jpg"), "photo.jpg");
  EXPECT_EQ(SafeNameFromHeader("\x83\x5C.txt"), "ソ.txt");
  EXPECT_EQ(SafeNameFromHeader(""), "");
  EXPECT_EQ(SafeNameFromHeader("C:\\data\\photo.jpg"), "photo.jpg");
  EXPECT_EQ(SafeNameFromHeader("../../etc/passwd"), "passwd");
  EXPECT_EQ(SafeNameFromHeader(".."), "_");
  EXPECT_EQ(SafeNameFromHeader("."), "_");
  EXPECT_EQ(SafeNameFromHeader("a\tb\nc\x7f"), "a_b_c_");
  // Undecodable bytes: a lone lead byte, a bad trail, bytes no table holds.
  EXPECT_EQ(SafeNameFromHeader("a\x81"), "a_");
  EXPECT_EQ(SafeNameFromHeader("\x80\xA0\xFD\xFE\xFFz"), "_____z");
  EXPECT_EQ(SafeNameFromHeader("\x81\x01z"), "__z");
  EXPECT_EQ(SafeNameFromHeader("dir\\"), "");
}

}  // namespace
}  // namespace tolvanix
