#include <gtest/gtest.h>

#include "core/PathRules.h"

namespace tolvanix {
namespace {

constexpr auto W = PathStyle::Windows;
constexpr auto P = PathStyle::Posix;

struct PathRow {
  PathStyle style;
  std::string path, name, folder, extension, stem, drive, root;
};

std::ostream& operator<<(std::ostream& os, const PathRow& row) { return os << row.path; }

class PathParts : public ::testing::TestWithParam<PathRow> {};

TEST_P(PathParts, SplitsIntoNameFolderExtensionStemDriveRoot) {
  const PathRow& r = GetParam();
  EXPECT_EQ(PathName(r.path, r.style), r.name);
  EXPECT_EQ(PathFolder(r.path, r.style), r.folder);
  EXPECT_EQ(PathExtension(r.path, r.style), r.extension);
  EXPECT_EQ(PathStem(r.path, r.style), r.stem);
  EXPECT_EQ(PathDrive(r.path, r.style), r.drive);
  EXPECT_EQ(VolumeRoot(r.path, r.style), r.root);
}

// "\x83\x5C" is the katakana "so": its second byte is no folder delimiter.
INSTANTIATE_TEST_SUITE_P(
    Windows, PathParts,
    ::testing::Values(
        PathRow{W, "C:\\data\\photo.jpg", "photo.jpg", "C:\\data\\", ".jpg", "C:\\data\\photo",
                "C:", "C:\\"},
        PathRow{W, "D:\\old.files\\backup", "backup", "D:\\old.files\\", "",
                "D:\\old.files\\backup", "D:", "D:\\"},
        PathRow{W, "a.b\\c", "c", "a.b\\", "", "a.b\\c", "", "\\"},
        PathRow{W, "archive.tar.gz", "archive.tar.gz", "", ".gz", "archive.tar", "", "\\"},
        PathRow{W, "C:photo.jpg", "photo.jpg", "C:", ".jpg", "C:photo", "C:", "C:\\"},
        PathRow{W, "\\\\server\\share\\dir\\f.txt", "f.txt", "\\\\server\\share\\dir\\", ".txt",
                "\\\\server\\share\\dir\\f", "\\\\server\\share", "\\\\server\\share\\"},
        PathRow{W, "\\\\server\\share", "share", "\\\\server\\", "", "\\\\server\\share",
                "\\\\server\\share", "\\\\server\\share\\"},
        PathRow{W, "\\\\server", "server", "\\\\", "", "\\\\server", "\\\\server", "\\\\server\\"},
        PathRow{W, "C:\\data\\\x83\x5C", "\x83\x5C", "C:\\data\\", "", "C:\\data\\\x83\x5C",
                "C:", "C:\\"},
        PathRow{W, "C:\\\x83\x5C\\f.txt", "f.txt", "C:\\\x83\x5C\\", ".txt", "C:\\\x83\x5C\\f",
                "C:", "C:\\"},
        PathRow{W, "x\\\x83\x5C.dat", "\x83\x5C.dat", "x\\", ".dat", "x\\\x83\x5C", "", "\\"},
        // Two lead bytes in a row: the second "\x83" is itself a second byte,
        // so the "\" after them is a real delimiter.
        PathRow{W, "\x83\x83\\f", "f", "\x83\x83\\", "", "\x83\x83\\f", "", "\\"},
        PathRow{W, "", "", "", "", "", "", "\\"}));

INSTANTIATE_TEST_SUITE_P(
    Posix, PathParts,
    ::testing::Values(
        PathRow{P, "/data/photo.jpg", "photo.jpg", "/data/", ".jpg", "/data/photo", "", "/data/"},
        PathRow{P, "/old.files/backup", "backup", "/old.files/", "", "/old.files/backup", "",
                "/old.files/"},
        PathRow{P, "a.b/c", "c", "a.b/", "", "a.b/c", "", "a.b/"},
        PathRow{P, "archive.tar.gz", "archive.tar.gz", "", ".gz", "archive.tar", "", "."},
        // Neither "\" nor ":" delimits here.
        PathRow{P, "C:\\x\\y.txt", "C:\\x\\y.txt", "", ".txt", "C:\\x\\y", "", "."},
        PathRow{P, "/data/ソ", "ソ", "/data/", "", "/data/ソ", "", "/data/"},
        PathRow{P, "/data/\x83\x5C.dat", "\x83\x5C.dat", "/data/", ".dat", "/data/\x83\x5C", "",
                "/data/"},
        PathRow{P, "/f", "f", "/", "", "/f", "", "/"}));

// Every name the operations form, in both styles: {formed, expected}.
TEST(FormedNames, MatchInBothStyles) {
  const std::pair<std::string, std::string> rows[] = {
      // proposal from the source; typed extension replaced; none typed; dotted folder
      {PieceName(PathName("C:\\data\\photo.jpg", W), 1, W), "photo.001"},
      {PieceName("D:\\x\\backup.dat", 1, W), "D:\\x\\backup.001"},
      {PieceName("D:\\x\\backup", 1, W), "D:\\x\\backup.001"},
      {PieceName("D:\\old.files\\backup", 1, W), "D:\\old.files\\backup.001"},
      {PieceName("C:\\\x83\x5C", 1, W), "C:\\\x83\x5C.001"},  // katakana "so" kept whole
      {NextSplitPiece("A:\\photo.001", 2), "A:\\photo.002"},
      {PieceName("E:\\more\\part.x", 3, W), "E:\\more\\part.003"},  // new destination
      {PieceName("D:\\x\\part.bin", 2, W), "D:\\x\\part.002"},      // join's next piece
      {PieceName("D:\\x\\part", 2, W), "D:\\x\\part.002"},
      {PieceName("D:\\x\\part.999", 1000, W), "D:\\x\\part.1000"},
      {PieceInFolderOf("E:\\f\\anything.txt", "D:\\x\\part.003", W), "E:\\f\\part.003"},
      {PieceName(PathName("/data/photo.jpg"), 1), "photo.001"},
      {PieceName("/x/backup.dat", 1), "/x/backup.001"},
      {PieceName("/x/backup", 1), "/x/backup.001"},
      {PieceName("/old.files/backup", 1), "/old.files/backup.001"},
      {NextSplitPiece("/media/a/photo.009", 10), "/media/a/photo.010"},
      {PieceName("/more/part.x", 3), "/more/part.003"},
      {PieceName("/x/part.bin", 2), "/x/part.002"},
      {PieceName("/x/part.999", 1000), "/x/part.1000"},
      {PieceInFolderOf("/f/anything.txt", "/x/part.003"), "/f/part.003"},
      {PieceInFolderOf("any", "/x/part.003"), "part.003"},
  };
  for (const auto& [formed, expected] : rows) EXPECT_EQ(formed, expected);
}

}  // namespace
}  // namespace tolvanix
