// The Windows files on real disks: nothing but plain disk files, long and non-ANSI paths.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/FileSystem.h"
#include "core/PathRules.h"
#include "core/windows/Path.h"
#include "support/TestFiles.h"

namespace tolvanix {
namespace {

// Wine takes paths of any length; Windows needs the "\\?\" form beyond 260 characters.
TEST(WindowsPath, FullWithTheLongFormAndUtf16) {
  const std::pair<std::string, std::wstring> rows[] = {
      {"C:\\a\\..\\b/./é😀.txt", L"\\\\?\\C:\\b\\\u00E9\U0001F600.txt"},
      {"\\\\srv\\share/d\\f", L"\\\\?\\UNC\\srv\\share\\d\\f"},
      {"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
      {"NUL", L"\\\\.\\NUL"},
      {"bad\xFF", L""}};
  for (const auto& [path, wide] : rows) EXPECT_TRUE(Win32Path(path) == wide) << path;
}

class WindowsFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
};

// A folder, a device or a pipe is refused at once, for reading and writing alike.
TEST_F(WindowsFileTest, RefusesWhatIsNotAPlainFileWithoutBlocking) {
  const std::string pipe = "\\\\.\\pipe\\tolvanix-test-" + std::to_string(GetCurrentProcessId());
  const HANDLE server = CreateNamedPipeW(FsPath(pipe).c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                         4, 0, 0, 0, nullptr);  // no client connected
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  const int before = OpenDescriptors();
  for (const std::string& path :
       {dir.Path(), std::string("NUL"), dir / "NUL", pipe, dir / "missing\\a.001"}) {
    EXPECT_EQ(fs->OpenRead(path), nullptr) << path;
    EXPECT_EQ(fs->Create(path), nullptr) << path;
    EXPECT_FALSE(fs->Exists(path)) << path;
    EXPECT_EQ(fs->SizeOf(path), -1) << path;
  }
  EXPECT_EQ(OpenDescriptors(), before);
  CloseHandle(server);
  WriteFile(dir / "a", "abc");
  EXPECT_EQ(fs->OpenRead(dir / "a")->Write("x", 1), -1) << "open for reading only";
}

// More than 260 characters and a name code page 932 cannot hold.
TEST_F(WindowsFileTest, LongPathsAndAnyName) {
  std::string folder = dir.Path();
  while (folder.size() < 300) {
    folder += "\\" + std::string(40, 'd');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + FsPath(folder).wstring()).c_str(), nullptr));
  }
  const std::string source = folder + "\\é中文😀.bin", data = RandomBytes(5000, 3);
  auto created = fs->Create(source);
  ASSERT_TRUE(created);
  ASSERT_EQ(created->Write(data.data(), 5000), 5000);
  ASSERT_TRUE(created->Close());
  created.reset();
  EXPECT_TRUE(fs->Exists(source));
  EXPECT_EQ(fs->SizeOf(source), 5000);
  EXPECT_EQ(fs->FreeSpaceAt(VolumeRoot(source)).status, SpaceStatus::Ok);
  EXPECT_FALSE(fs->IsRemovable(source));
  auto reopened = fs->OpenRead(source);
  std::string back(5001, '\0');
  ASSERT_TRUE(reopened);
  EXPECT_EQ(reopened->Read(back.data(), 5001), 5000);
  EXPECT_EQ(back.substr(0, 5000), data);
}

}  // namespace
}  // namespace tolvanix
