#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

TEST(PieceCount, Boundaries) {
  struct Row {
    int64_t source, piece, count;
  };
  for (const Row& r : {Row{0, 1024, 1}, Row{762, 1024, 1}, Row{763, 1024, 2},
                       Row{1022714, 1024, 999}, Row{1022715, 1024, 1000},
                       // Over 4 GiB: not mistaken for a small source.
                       Row{5LL << 30, 2097151LL * 1024, 3}, Row{(5LL << 30) - 262, 1LL << 30, 5},
                       Row{(5LL << 30) - 261, 1LL << 30, 6}}) {
    EXPECT_EQ(PieceCount(r.source, r.piece), r.count) << r.source << " / " << r.piece;
  }
}

TEST(Header, NameFieldThenSignedLittleEndianCount) {
  const HeaderBytes h = EncodeHeader("photo.jpg", 0x01020304);
  EXPECT_EQ(std::string(h.begin(), h.begin() + 258),
            std::string("photo.jpg") + std::string(249, '\0'));
  EXPECT_EQ(std::string(h.begin() + 258, h.end()), "\x04\x03\x02\x01");
  EXPECT_EQ(DecodeHeader(h).cp932Name, "photo.jpg");
  EXPECT_EQ(DecodeHeader(h).count, 0x01020304);
  EXPECT_EQ(DecodeHeader(EncodeHeader("a", -1)).count, -1);

  // A long name keeps a NUL inside the field; a field without one is read
  // to its end and no further.
  const HeaderBytes cut = EncodeHeader(std::string(300, 'x'), 1);
  EXPECT_EQ(cut[256], 'x');
  EXPECT_EQ(cut[257], 0);
  HeaderBytes full{};
  full.fill('A');
  EXPECT_EQ(DecodeHeader(full).cp932Name, std::string(258, 'A'));
}

TEST(IntToStrl, PadsToWidthOnly) {
  EXPECT_EQ(IntToStrl(1, 3), "001");
  EXPECT_EQ(IntToStrl(42, 3), "042");
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

  // Cut to 257 bytes at a character boundary: 128 two-byte characters.
  std::string name;
  for (int i = 0; i < 128; ++i) name += "あ";
  EXPECT_EQ(HeaderNameFromUtf8(name + "x").size(), 257u);
  const std::string cut = HeaderNameFromUtf8("x" + name + "あ");
  EXPECT_EQ(cut.size(), 257u);
  EXPECT_EQ(cut.substr(255), "\x82\xA0");
  EXPECT_EQ(HeaderNameFromUtf8("xy" + name).size(), 256u);
}

TEST(StoredName, BecomesSafeBareFileName) {
  struct Row {
    std::string stored, safe;
  };
  for (const Row& r :
       {Row{"photo.jpg", "photo.jpg"}, Row{"\x83\x5C.txt", "ソ.txt"}, Row{"", ""},
        // Only "/" makes folders here; wildcards would make the dialog list, not pick.
        Row{"12:30 C:\\a\\b.txt", "12:30 C:\\a\\b.txt"}, Row{"what?*.txt", "what__.txt"},
        Row{"../../etc/passwd", "passwd"}, Row{"..", "_"}, Row{"dir/", ""}, Row{".", "_"},
        Row{"a\tb\nc\x7f", "a_b_c_"},
        // Undecodable: a lone lead byte, a bad trail, bytes no table holds.
        Row{"a\x81", "a_"}, Row{"\x81\x01z", "__z"}, Row{"\x80\xA0\xFD\xFE\xFFz", "_____z"}}) {
    EXPECT_EQ(SafeNameFromHeader(r.stored), r.safe) << r.stored;
  }
}

}  // namespace
}  // namespace tolvanix
