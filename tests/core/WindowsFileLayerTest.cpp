// The Windows files under both commands, on real disks: no sharing with other
// programs, nothing but plain disk files, long and non-ANSI paths. (Links are
// refused as the Linux ones are; Wine makes none to try it on.)
#include <gtest/gtest.h>
#include <windows.h>

#include "core/FileSystem.h"
#include "core/PathRules.h"
#include "core/windows/Path.h"
#include "support/TestFiles.h"

namespace tolvanix {
namespace {

std::wstring Wide(const std::string& utf8) {
  const std::u16string u = FsPath(utf8).u16string();
  return std::wstring(u.begin(), u.end());
}

// Run again as a child with TOLVANIX_TRY_HELD set: another program trying a
// file this one holds. Its exit code tells whether both opens were refused as
// Windows refuses a file held with no sharing.
const int kChildRun = [] {
  wchar_t path[4096];
  const DWORD n = GetEnvironmentVariableW(L"TOLVANIX_TRY_HELD", path, 4096);
  if (n == 0 || n >= 4096) return 0;
  auto fs = MakeNativeFileSystem();
  const std::string held = Utf8Path(std::filesystem::path(path));
  const bool read = fs->OpenRead(held) == nullptr && GetLastError() == ERROR_SHARING_VIOLATION;
  const bool create = fs->Create(held) == nullptr && GetLastError() == ERROR_SHARING_VIOLATION;
  ExitProcess(read && create ? 0 : 1);
}();

// The exit code of this program run as that child, or -1.
DWORD TryInAnotherProcess(const std::string& held) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  SetEnvironmentVariableW(L"TOLVANIX_TRY_HELD", Wide(held).c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  const BOOL started =
      CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableW(L"TOLVANIX_TRY_HELD", nullptr);
  if (!started) return static_cast<DWORD>(-1);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(child.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return code;
}

// Wine takes paths of any length; Windows needs the "\\?\" form beyond 260 characters.
TEST(WindowsPath, FullWithTheLongFormAndUtf16) {
  const std::pair<std::string, std::wstring> rows[] = {
      {"C:\\a\\..\\b/./é😀.txt", L"\\\\?\\C:\\b\\\u00E9\U0001F600.txt"},
      {"\\\\srv\\share/d\\f", L"\\\\?\\UNC\\srv\\share\\d\\f"},
      {"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
      {"NUL", L"\\\\.\\NUL"},
      {"bad\xFF", L""},
      {"", L""}};
  for (const auto& [path, wide] : rows) EXPECT_TRUE(Win32Path(path) == wide) << path;
}

class WindowsFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
};

TEST_F(WindowsFileTest, HeldFilesAreRefusedHereAndToAnotherProgramAndLeftIntact) {
  const std::string source = dir / "source.bin", piece = dir / "piece.001";
  WriteFile(source, "source bytes");
  const int before = OpenDescriptors();
  auto held = fs->OpenRead(source);
  auto writing = fs->Create(piece);
  ASSERT_TRUE(held);
  ASSERT_TRUE(writing);
  EXPECT_EQ(fs->OpenRead(source), nullptr);
  EXPECT_EQ(fs->Create(source), nullptr);
  EXPECT_EQ(fs->OpenRead(piece), nullptr);
  EXPECT_EQ(TryInAnotherProcess(source), 0u);
  EXPECT_EQ(TryInAnotherProcess(piece), 0u);
  // Held files can still be told apart and found.
  EXPECT_TRUE(fs->SameFile(source, dir / "./SOURCE.BIN"));
  EXPECT_FALSE(fs->SameFile(source, piece));
  EXPECT_TRUE(fs->SameFile(dir.Path(), dir / "."));
  EXPECT_EQ(fs->SizeOf(source), 12);
  writing.reset();
  held.reset();
  EXPECT_EQ(OpenDescriptors(), before) << "a refused open left a handle";
  EXPECT_EQ(ReadFile(source), "source bytes");
}

// A folder, a device or a pipe is refused at once, for reading and writing alike.
TEST_F(WindowsFileTest, RefusesWhatIsNotAPlainFileWithoutBlocking) {
  const std::string pipe = "\\\\.\\pipe\\tolvanix-test-" + std::to_string(GetCurrentProcessId());
  const HANDLE server = CreateNamedPipeW(Wide(pipe).c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 4,
                                         0, 0, 0, nullptr);  // no client connected
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  const int before = OpenDescriptors();
  for (const std::string& path :
       {dir.Path(), std::string("NUL"), std::string("\\\\.\\NUL"), dir / "NUL", pipe,
        dir / "missing\\a.001", std::string("bad\xFFutf8"), std::string()}) {
    EXPECT_EQ(fs->OpenRead(path), nullptr) << path;
    EXPECT_EQ(fs->Create(path), nullptr) << path;
    EXPECT_FALSE(fs->Exists(path)) << path;
    EXPECT_EQ(fs->SizeOf(path), -1) << path;
  }
  EXPECT_EQ(OpenDescriptors(), before);
  CloseHandle(server);
  WriteFile(dir / "a", "abc");
  auto file = fs->OpenRead(dir / "a");
  char bytes[8];
  EXPECT_EQ(file->Write("x", 1), -1) << "open for reading only";
  EXPECT_EQ(file->Read(bytes, -1), -1);
  EXPECT_EQ(file->Read(bytes, sizeof bytes), 3);
  EXPECT_EQ(file->Read(bytes, sizeof bytes), 0);
  EXPECT_TRUE(file->Close());
}

// More than 260 characters, and a name code page 932 cannot hold, as any
// path. A removable drive (the prefix's R:) is told apart.
TEST_F(WindowsFileTest, LongPathsAndAnyName) {
  std::string folder = dir.Path();
  while (folder.size() < 300) {
    folder += "\\" + std::string(40, 'd');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + Wide(folder)).c_str(), nullptr));
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

  if (GetDriveTypeW(L"Q:\\") == DRIVE_NO_ROOT_DIR) {
    EXPECT_EQ(fs->FreeSpaceAt("Q:\\").status, SpaceStatus::Failed) << "no such drive";
  }
  if (GetDriveTypeW(L"R:\\") != DRIVE_REMOVABLE) GTEST_SKIP() << "no removable drive R: here";
  EXPECT_TRUE(fs->IsRemovable("R:\\not\\there\\yet.001"));
  EXPECT_EQ(fs->FreeSpaceAt("R:\\").status, SpaceStatus::Ok);
}

}  // namespace
}  // namespace tolvanix
