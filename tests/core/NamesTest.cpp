// Path parts in both styles, the names formed, and the header's code page 932 name.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;

// UTF-8 bytes overlap code page 932's lead bytes ("あ" is E3 81 82) but never fake a
// delimiter: a "\\" after a Japanese character is a folder break.
TEST(PathParts, SplitIntoNameFolderExtensionDriveAndRoot) {
  struct Row {
    PathStyle style;
    std::string path, name, folder, extension, drive, root;
  };
  for (const Row& r : {
           Row{W, "C:\\data\\photo.jpg", "photo.jpg", "C:\\data\\", ".jpg", "C:", "C:\\"},
           Row{W, "D:\\old.files\\backup", "backup", "D:\\old.files\\", "", "D:", "D:\\"},
           Row{W, "C:photo.jpg", "photo.jpg", "C:", ".jpg", "C:", "C:\\"},
           Row{W, "archive.tar.gz", "archive.tar.gz", "", ".gz", "", "\\"},
           Row{W, "C:\\あ\\写真.jpg", "写真.jpg", "C:\\あ\\", ".jpg", "C:", "C:\\"},
           Row{W, "C:/data/a.b/c", "c", "C:/data/a.b/", "", "C:", "C:\\"},
           Row{W, "\\\\s\\sh\\f.txt", "f.txt", "\\\\s\\sh\\", ".txt", "\\\\s\\sh", "\\\\s\\sh\\"},
           Row{P, "/data/photo.jpg", "photo.jpg", "/data/", ".jpg", "", "/data/"},
           Row{P, "a.b/c", "c", "a.b/", "", "", "a.b/"},
           Row{P, "C:\\x\\y.txt", "C:\\x\\y.txt", "", ".txt", "", "."},
       }) {
    SCOPED_TRACE(r.path);
    EXPECT_EQ(PathName(r.path, r.style), r.name);
    EXPECT_EQ(PathFolder(r.path, r.style), r.folder);
    EXPECT_EQ(PathExtension(r.path, r.style), r.extension);
    EXPECT_EQ(PathStem(r.path, r.style) + r.extension, r.path);
    EXPECT_EQ(PathDrive(r.path, r.style), r.drive);
    EXPECT_EQ(VolumeRoot(r.path, r.style), r.root);
  }
  EXPECT_EQ(FolderOrCurrent("写真.jpg", W), ".");
  EXPECT_EQ(ComparableName("Photo.002. .", W), "PHOTO.002");
  EXPECT_EQ(ComparableName("写真a.Bin", W), "写真A.BIN");
  EXPECT_EQ(ComparableName("Photo.002. .", P), "Photo.002. .");
}

TEST(FormedNames, PiecesNextPiecesAndPiecesFoundElsewhere) {
  const std::pair<std::string, std::string> rows[] = {
      {PieceName("D:\\old.files\\backup.dat", 1, W), "D:\\old.files\\backup.001"},
      {PieceName("C:\\あ\\写真.jpg", 2, W), "C:\\あ\\写真.002"},
      {PieceName("D:\\x\\part.999", 1000, W), "D:\\x\\part.1000"},
      {PieceInFolderOf("E:\\f\\any.txt", "D:\\x\\part.003", W), "E:\\f\\part.003"},
      {PieceName("/x/part.bin", 42), "/x/part.042"},
      {NextSplitPiece("/media/a/photo.009", 10), "/media/a/photo.010"},
      {PieceInFolderOf("/f/anything.txt", "/x/part.003"), "/f/part.003"},
      {ProposableName("what?*.txt"), "what__.txt"},
      {IntToStrl(7, 0) + IntToStrl(1000, 3), "71000"},
  };
  for (const auto& [formed, expected] : rows) EXPECT_EQ(formed, expected);
}

TEST(PieceCount, CountsTheHeaderAndRoundsUpBeyond4GiB) {
  const int64_t rows[][3] = {
      {0, 1024, 1},
      {762, 1024, 1},
      {763, 1024, 2},
      {1022715, 1024, 1000},
      {(5LL << 30) - 262, 1LL << 30, 5},
      {(5LL << 30) - 261, 1LL << 30, 6},
  };
  for (const auto& r : rows) EXPECT_EQ(PieceCount(r[0], r[1]), r[2]) << r[0] << " / " << r[1];
}

// The bytes every build writes for a name: where glibc and Windows disagree,
// Windows' bytes, with no best fit ("〜" is not "～", "−" not "－").
TEST(HeaderName, Utf8ToCodePage932AsWindowsWritesIt) {
  const std::pair<const char*, const char*> rows[] = {
      {"写真ソ表.jpg", "\x8E\xCA\x90\x5E\x83\x5C\x95\x5C.jpg"},
      {"ﾊﾟｿｺﾝ.txt", "\xCA\xDF\xBF\xBA\xDD.txt"},
      {"｡°滌漾黑", "\xA1\x81\x8B\x9F\xFC\xE0\x40\xFC\x4B"},
      {"中文 é😀€", "\x92\x86\x95\xB6 ___"},
      {"～－∥￤￢", "\x81\x60\x81\x7C\x81\x61\xFA\x55\x81\xCA"},
      {"〜−‖¦¢£¥¬—‾", "__________"},
      {"ⅰ≒髙", "\xFA\x40\x81\xE0\xFB\xFC"},
      {"a\xFF\xC3z\xE3\x81", "a__z__"},
      {"\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80", "_________"}};
  for (const auto& [name, bytes] : rows) EXPECT_EQ(HeaderNameFromUtf8(name), bytes) << name;
  std::string name;
  for (int i = 0; i < 128; ++i) name += "あ";
  EXPECT_EQ(HeaderNameFromUtf8(name + "x").size(), 257u);
  const std::string cut = HeaderNameFromUtf8("x" + name + "あ");
  EXPECT_EQ(cut.size(), 257u);
  EXPECT_EQ(cut.substr(255), "\x82\xA0");
  EXPECT_EQ(HeaderNameFromUtf8("xy" + name).size(), 256u);
}

// Single-byte katakana run from 0xA1 to 0xDF, lead bytes from 0x81 to 0x9F and from 0xE0
// to 0xFC: a character at each end is proposed as itself; 0x80, 0xA0 and 0xFD start none.
TEST(StoredName, BecomesASafeBareFileNameOfEachPlatform) {
  struct Row {
    const char *stored, *posix, *windows;
  };
  for (const Row& r : {
           Row{"\x83\x5C.txt", "ソ.txt", "ソ.txt"},
           Row{"\xCA\xDF\xBF\xBA\xDD.txt", "ﾊﾟｿｺﾝ.txt", "ﾊﾟｿｺﾝ.txt"},
           Row{"\xA1", "｡", "｡"},
           Row{"\x9F\xFC", "滌", "滌"},
           Row{"\xE0\x40", "漾", "漾"},
           Row{"\xFC\x4B", "黑", "黑"},
           Row{"12:30 C:\\a\\b.txt", "12:30 C:\\a\\b.txt", "b.txt"},
           Row{"a:b<c>d\"e|f", "a:b<c>d\"e|f", "a_b_c_d_e_f"},
           Row{"what?*.txt", "what__.txt", "what__.txt"},
           Row{"../../etc/passwd", "passwd", "passwd"},
           Row{"..", "_", "_"},
           Row{"dir/", "", ""},
           Row{"name. . ", "name. . ", "name____"},
           Row{"CON", "CON", "_CON"},
           Row{"nul.tar.gz", "nul.tar.gz", "_nul.tar.gz"},
           Row{"Com9 .txt", "Com9 .txt", "_Com9 .txt"},
           Row{"LPT0.txt", "LPT0.txt", "LPT0.txt"},
           Row{"CONSOLE", "CONSOLE", "CONSOLE"},
           Row{"a\tb\nc\x7f", "a_b_c_", "a_b_c_"},
           Row{"\x81\x01z", "__z", "__z"},
           Row{"\x80\xA0\xFD\xFE\xFFz", "_____z", "_____z"},
       }) {
    EXPECT_EQ(SafeNameFromHeader(r.stored, P), r.posix) << r.stored;
    EXPECT_EQ(SafeNameFromHeader(r.stored, PathStyle::Windows), r.windows) << r.stored;
  }
}

}  // namespace
}  // namespace tolvanix
