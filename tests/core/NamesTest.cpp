// Path parts in both styles, the names formed, the header and its code page 932 name.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;

TEST(PathParts, SplitIntoNameFolderExtensionDriveAndRoot) {
  struct Row {
    PathStyle style;
    std::string path, name, folder, extension, drive, root;
  };
  // "\x83\x5C" is the katakana "so": its second byte is no folder delimiter.
  // clang-format off
  for (const Row& r : {
      Row{W, "C:\\data\\photo.jpg", "photo.jpg", "C:\\data\\", ".jpg", "C:", "C:\\"},
      Row{W, "D:\\old.files\\backup", "backup", "D:\\old.files\\", "", "D:", "D:\\"},
      Row{W, "C:photo.jpg", "photo.jpg", "C:", ".jpg", "C:", "C:\\"},
      Row{W, "C:", "", "C:", "", "C:", "C:\\"},
      Row{W, "\\\\", "", "\\\\", "", "\\\\", "\\\\\\"},
      Row{W, "archive.tar.gz", "archive.tar.gz", "", ".gz", "", "\\"},
      Row{W, "\\\\srv\\share\\d\\f.txt", "f.txt", "\\\\srv\\share\\d\\", ".txt", "\\\\srv\\share", "\\\\srv\\share\\"},
      Row{W, "\\\\srv\\share", "share", "\\\\srv\\", "", "\\\\srv\\share", "\\\\srv\\share\\"},
      Row{W, "\\\\srv\\\\d", "d", "\\\\srv\\\\", "", "\\\\srv\\", "\\\\srv\\\\"},
      Row{W, "\\\\srv", "srv", "\\\\", "", "\\\\srv", "\\\\srv\\"},
      Row{W, "\\\\srv\\\x83\x5C\\f", "f", "\\\\srv\\\x83\x5C\\", "", "\\\\srv\\\x83\x5C", "\\\\srv\\\x83\x5C\\"},
      Row{W, "C:\\\x83\x5C\\f.txt", "f.txt", "C:\\\x83\x5C\\", ".txt", "C:", "C:\\"},
      Row{W, "x\\\x83\x5C.dat", "\x83\x5C.dat", "x\\", ".dat", "", "\\"},
      Row{W, "\x83\x83\\f", "f", "\x83\x83\\", "", "", "\\"},  // two lead bytes: one character
      Row{W, "\x83\x83\x83\\f", "\x83\x83\x83\\f", "", "", "", "\\"},  // three: the "\\" is the last's
      Row{P, "/data/photo.jpg", "photo.jpg", "/data/", ".jpg", "", "/data/"},
      Row{P, "a.b/c", "c", "a.b/", "", "", "a.b/"},
      Row{P, "C:\\x\\y.txt", "C:\\x\\y.txt", "", ".txt", "", "."},
      Row{P, "/data/\x83\x5C.dat", "\x83\x5C.dat", "/data/", ".dat", "", "/data/"},
      Row{P, "/f", "f", "/", "", "", "/"}}) {
    // clang-format on
    SCOPED_TRACE(r.path);
    EXPECT_EQ(PathName(r.path, r.style), r.name);
    EXPECT_EQ(PathFolder(r.path, r.style), r.folder);
    EXPECT_EQ(PathExtension(r.path, r.style), r.extension);
    EXPECT_EQ(PathStem(r.path, r.style) + r.extension, r.path);
    EXPECT_EQ(PathDrive(r.path, r.style), r.drive);
    EXPECT_EQ(VolumeRoot(r.path, r.style), r.root);
  }
  // Lead bytes run 0x81-0x9F and 0xE0-0xFC: only they take a "\" as their second byte.
  for (const int b : {0x80, 0x81, 0x9F, 0xA0, 0xDF, 0xE0, 0xFC, 0xFD}) {
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    const std::string tail = std::string(1, static_cast<char>(b)) + "\\y";
    EXPECT_EQ(PathName("x\\" + tail, W), lead ? tail : "y") << b;
  }
}

// UTF-8 bytes overlap the lead bytes ("あ" is E3 81 82): on the Windows program's
// own paths no byte swallows a "\\", and "/" delimits too.
TEST(PathParts, Utf8WindowsPathsKnowNoLeadBytes) {
  constexpr auto U = PathStyle::WindowsUtf8;
  struct Row {
    std::string path, name, folder, drive, root;
  };
  for (const Row& r : {
           Row{"C:\\あ\\写真.jpg", "写真.jpg", "C:\\あ\\", "C:", "C:\\"},
           Row{"C:/data/a.b/c", "c", "C:/data/a.b/", "C:", "C:\\"},
           Row{"//srv/share/d/f", "f", "//srv/share/d/", "//srv/share", "//srv/share\\"},
           Row{"\\\\srv/共有\\f", "f", "\\\\srv/共有\\", "\\\\srv/共有", "\\\\srv/共有\\"},
           Row{"ソ.dat", "ソ.dat", "", "", "\\"},
       }) {
    SCOPED_TRACE(r.path);
    EXPECT_EQ(PathName(r.path, U), r.name);
    EXPECT_EQ(PathFolder(r.path, U), r.folder);
    EXPECT_EQ(PathDrive(r.path, U), r.drive);
    EXPECT_EQ(VolumeRoot(r.path, U), r.root);
  }
  EXPECT_EQ(PathName("C:\\あ\\写真.jpg", W), "あ\\写真.jpg")
      << "what the code page 932 rule would do";
  EXPECT_EQ(FolderOrCurrent("写真.jpg", U), ".");
  EXPECT_EQ(ComparableName("Photo.002. .", U), "PHOTO.002");
  EXPECT_EQ(ComparableName("写真.Bin", U), "写真.BIN");
  EXPECT_EQ(ComparableName("Photo.002. .", P), "Photo.002. .");
  EXPECT_EQ(PieceName("C:\\あ\\写真.jpg", 2, U), "C:\\あ\\写真.002");
}

TEST(FormedNames, PiecesNextPiecesAndPiecesFoundElsewhere) {
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {PieceName("D:\\old.files\\backup.dat", 1, W), "D:\\old.files\\backup.001"},
      {PieceName("C:\\\x83\x5C", 1, W), "C:\\\x83\x5C.001"}, {PieceName("D:\\x\\part.999", 1000, W), "D:\\x\\part.1000"},
      {PieceInFolderOf("E:\\f\\any.txt", "D:\\x\\part.003", W), "E:\\f\\part.003"},
      {PieceName("/old.files/backup", 1), "/old.files/backup.001"}, {PieceName("/x/part.bin", 42), "/x/part.042"},
      {NextSplitPiece("/media/a/photo.009", 10), "/media/a/photo.010"}, {NextSplitPiece("ab", 2), "002"},
      {PieceInFolderOf("/f/anything.txt", "/x/part.003"), "/f/part.003"}, {PieceInFolderOf("any", "/x/part.003"), "part.003"},
      {ProposableName("what?*.txt"), "what__.txt"}, {IntToStrl(7, 0) + IntToStrl(1000, 3), "71000"}};
  // clang-format on
  for (const auto& [formed, expected] : rows) EXPECT_EQ(formed, expected);
}

TEST(PieceCount, CountsTheHeaderAndRoundsUpBeyond4GiB) {
  // clang-format off
  const int64_t rows[][3] = {{0, 1024, 1}, {762, 1024, 1}, {763, 1024, 2}, {1022715, 1024, 1000},
      {5LL << 30, 2097151LL * 1024, 3}, {(5LL << 30) - 262, 1LL << 30, 5},
      {(5LL << 30) - 261, 1LL << 30, 6}};
  // clang-format on
  for (const auto& r : rows) EXPECT_EQ(PieceCount(r[0], r[1]), r[2]) << r[0] << " / " << r[1];
}

TEST(Header, KeepsANulInTheNameFieldAndReadsNoFurther) {
  HeaderBytes header = EncodeHeader(std::string(300, 'x'), 1);
  EXPECT_EQ(header[256], 'x');
  EXPECT_EQ(header[257], 0);
  header.fill('A');
  header[258] = 7;
  header[259] = header[260] = header[261] = 0;
  EXPECT_EQ(DecodeHeader(header).count, 7);
  EXPECT_EQ(DecodeHeader(header).cp932Name, std::string(258, 'A'));
}

// The bytes every build writes for a name: where glibc and Windows disagree,
// Windows' bytes, with no best fit ("〜" is not "～", "−" not "－").
TEST(HeaderName, Utf8ToCodePage932AsWindowsWritesIt) {
  const std::pair<const char*, const char*> rows[] = {
      {"写真ソ表.jpg", "\x8E\xCA\x90\x5E\x83\x5C\x95\x5C.jpg"},
      {"ソ°ｷｬﾝ.txt", "\x83\x5C\x81\x8B\xB7\xAC\xDD.txt"},
      {"中文 é😀€", "\x92\x86\x95\xB6 ___"},
      {"～－∥￤￢", "\x81\x60\x81\x7C\x81\x61\xFA\x55\x81\xCA"},
      {"〜−‖¦¢£¥¬—‾", "__________"},
      {"ⅰ≒髙", "\xFA\x40\x81\xE0\xFB\xFC"},
      {"\u0080\uF8F0\uF8F1\uF8F2\uF8F3\uE000", "\x80\xA0\xFD\xFE\xFF\xF0\x40"},
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

TEST(StoredName, BecomesASafeBareFileNameOfEachPlatform) {
  struct Row {
    const char *stored, *posix, *windows;
  };
  for (const Row& r : {
           Row{"\x83\x5C.txt", "ソ.txt", "ソ.txt"},
           Row{"12:30 C:\\a\\b.txt", "12:30 C:\\a\\b.txt", "b.txt"},
           Row{"a:b<c>d\"e|f", "a:b<c>d\"e|f", "a_b_c_d_e_f"},
           Row{"what?*.txt", "what__.txt", "what__.txt"},
           Row{"../../etc/passwd", "passwd", "passwd"},
           Row{"..", "_", "_"},
           Row{".", "_", "_"},
           Row{"dir/", "", ""},
           Row{"name. . ", "name. . ", "name____"},
           Row{"CON", "CON", "_CON"},
           Row{"nul.tar.gz", "nul.tar.gz", "_nul.tar.gz"},
           Row{"Com9 .txt", "Com9 .txt", "_Com9 .txt"},
           Row{"LPT0.txt", "LPT0.txt", "LPT0.txt"},
           Row{"CONSOLE", "CONSOLE", "CONSOLE"},
           Row{"a\tb\nc\x7f", "a_b_c_", "a_b_c_"},
           Row{"a\x81", "a_", "a_"},
           Row{"\x81\x01z", "__z", "__z"},
           Row{"\x80\xA0\xFD\xFE\xFFz", "_____z", "_____z"},
       }) {
    EXPECT_EQ(SafeNameFromHeader(r.stored, P), r.posix) << r.stored;
    EXPECT_EQ(SafeNameFromHeader(r.stored, PathStyle::WindowsUtf8), r.windows) << r.stored;
  }
  // Every lead byte takes the byte after it into one character.
  for (const char lead : {'\x81', '\x9F', '\xE0', '\xFC'}) {
    const std::string name = SafeNameFromHeader(std::string{lead, '\x40'});
    EXPECT_EQ(name.size(), 3u) << int(lead);
    EXPECT_EQ(name.find('_'), std::string::npos) << int(lead);
  }
}

}  // namespace
}  // namespace tolvanix
