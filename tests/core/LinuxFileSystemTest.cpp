// The Linux file system on real files in a temporary folder. Anything that
// could block or touch mounts runs in a forked child, so a regression fails
// the test instead of hanging it or leaking into the host.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/FileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/SmallTmpfs.h"
#include "support/TestFiles.h"

namespace tolvanix {
namespace {

// Runs `body` in a child killed after a few seconds; its exit code, or -1
// when it did not exit on its own (a hang ends as SIGALRM).
int RunInChild(const std::function<int()>& body) {
  pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(10);
    ::_exit(body());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class LinuxFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = std::filesystem::temp_directory_path() / "tolvanix-fs-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  std::string dir_;
  std::unique_ptr<FileSystem> fs_ = MakeLinuxFileSystem();
};

TEST_F(LinuxFileSystemTest, HeldFileCannotBeOpenedAgainUntilClosed) {
  const std::string path = Path("source.bin");
  WriteFile(path, "abc");
  auto held = fs_->OpenRead(path);
  ASSERT_TRUE(held);
  EXPECT_FALSE(fs_->OpenRead(path));

  // Another process gets its own open file description, so it conflicts too.
  int child = RunInChild([&] {
    auto fs = MakeLinuxFileSystem();
    bool refused = !fs->OpenRead(path) && !fs->Create(path);
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    bool lockRefused = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    return refused && lockRefused ? 0 : 1;
  });
  EXPECT_EQ(child, 0);

  held.reset();
  EXPECT_TRUE(fs_->OpenRead(path));
}

TEST_F(LinuxFileSystemTest, CreateNeverEmptiesAHeldFile) {
  const std::string source = Path("source.bin");
  const std::string link = Path("link.001");
  WriteFile(source, "source bytes");
  ASSERT_EQ(::symlink(source.c_str(), link.c_str()), 0);

  auto held = fs_->OpenRead(source);
  ASSERT_TRUE(held);
  EXPECT_FALSE(fs_->Create(source));
  EXPECT_FALSE(fs_->Create(link));
  EXPECT_EQ(ReadFile(source), "source bytes");

  // A file being written is held the same way.
  auto piece = fs_->Create(Path("a.001"));
  ASSERT_TRUE(piece);
  EXPECT_FALSE(fs_->OpenRead(Path("a.001")));
  EXPECT_FALSE(fs_->Create(Path("a.001")));

  held.reset();
  auto reused = fs_->Create(link);
  ASSERT_TRUE(reused);
  EXPECT_EQ(reused->Size(), 0);
  EXPECT_EQ(ReadFile(source), "");
}

TEST_F(LinuxFileSystemTest, RefusesWhatIsNotARegularFileWithoutBlocking) {
  const std::string fifo = Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // With no writer, a blocking open of the FIFO would wait forever.
  int child = RunInChild([&] {
    auto fs = MakeLinuxFileSystem();
    return !fs->OpenRead(fifo) && !fs->Create(fifo) ? 0 : 1;
  });
  EXPECT_EQ(child, 0);

  for (const std::string& path : {dir_, std::string("/dev/null")}) {
    EXPECT_FALSE(fs_->OpenRead(path)) << path;
    EXPECT_FALSE(fs_->Create(path)) << path;
  }
  EXPECT_FALSE(fs_->OpenRead(Path("missing")));
  EXPECT_FALSE(fs_->Create(Path("missing/a.001")));
}

TEST_F(LinuxFileSystemTest, RoundTripWithACountBeyondOneSystemCall) {
  std::string data(3 * 1024 * 1024 + 7, '\0');
  uint32_t x = 12345;
  for (char& c : data) c = static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  const std::string path = Path("big.bin");
  {
    auto out = fs_->Create(path);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->Write(data.data(), static_cast<int64_t>(data.size())),
              static_cast<int64_t>(data.size()));
    EXPECT_TRUE(out->Flush());
    EXPECT_EQ(out->Size(), static_cast<int64_t>(data.size()));
  }
  // Asking for 3 GiB must neither overflow a 32-bit count nor stop early;
  // the reserved pages are only touched as far as the file goes.
  const int64_t huge = int64_t{3} << 30;
  void* mem = ::mmap(nullptr, huge, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(mem, MAP_FAILED);
  auto in = fs_->OpenRead(path);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Read(mem, huge), static_cast<int64_t>(data.size()));
  EXPECT_EQ(std::memcmp(mem, data.data(), data.size()), 0);
  EXPECT_EQ(in->Read(mem, 10), 0);
  ::munmap(mem, huge);
}

TEST_F(LinuxFileSystemTest, SizeBeyondFourGiB) {
  const std::string path = Path("sparse.bin");
  const int64_t size = (int64_t{5} << 30) + 3;
  WriteFile(path, "");
  if (::truncate(path.c_str(), size) != 0) {
    GTEST_SKIP() << "no sparse 5 GiB file here: " << std::strerror(errno);
  }
  auto file = fs_->OpenRead(path);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Size(), size);
}

TEST_F(LinuxFileSystemTest, ExistsAndSameFile) {
  const std::string a = Path("a"), b = Path("b"), hard = Path("hard"), soft = Path("soft");
  WriteFile(a, "same");
  WriteFile(b, "same");
  ASSERT_EQ(::link(a.c_str(), hard.c_str()), 0);
  ASSERT_EQ(::symlink(a.c_str(), soft.c_str()), 0);

  EXPECT_TRUE(fs_->Exists(a));
  EXPECT_TRUE(fs_->Exists(soft));
  EXPECT_FALSE(fs_->Exists(dir_));
  EXPECT_FALSE(fs_->Exists(Path("missing")));

  EXPECT_TRUE(fs_->SameFile(a, hard));
  EXPECT_TRUE(fs_->SameFile(soft, a));
  EXPECT_TRUE(fs_->SameFile(a, dir_ + "/./a"));
  EXPECT_FALSE(fs_->SameFile(a, b));
  EXPECT_FALSE(fs_->SameFile(Path("missing"), Path("missing")));
}

TEST_F(LinuxFileSystemTest, FreeSpaceTellsAMissingFolderFromAFailure) {
  WriteFile(Path("file"), "x");
  for (const std::string& root : {dir_, dir_ + "/", std::string(".")}) {
    FreeSpace space = fs_->FreeSpaceAt(root);
    EXPECT_EQ(space.status, SpaceStatus::Ok) << root;
    EXPECT_GT(space.bytes, 0u) << root;
  }
  EXPECT_EQ(fs_->FreeSpaceAt(Path("gone/")).status, SpaceStatus::FolderMissing);
  EXPECT_EQ(fs_->FreeSpaceAt(Path("file/sub")).status, SpaceStatus::FolderMissing);
  EXPECT_EQ(fs_->FreeSpaceAt(Path(std::string(300, 'n'))).status, SpaceStatus::Failed);
}

TEST_F(LinuxFileSystemTest, RemovableComesFromTheDiskInSysfs) {
  EXPECT_FALSE(fs_->IsRemovable("/tmp"));
  EXPECT_FALSE(fs_->IsRemovable("/proc/self"));

  struct stat st;
  ASSERT_EQ(::stat(dir_.c_str(), &st), 0);
  const std::string node =
      std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  struct Case {
    const char* name;
    const char* target;  // where /dev/block/MAJ:MIN points, none if empty
    const char* flag;    // the disk's removable file
    bool removable;
  };
  const Case cases[] = {
      {"whole disk", "devices/disk", "1\n", true},
      {"partition answers for its disk", "devices/disk/disk1", "1\n", true},
      {"fixed disk", "devices/disk/disk1", "0\n", false},
      {"no block device", "", "1\n", false},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string sys = Path("sys" + std::to_string(n++));
    std::filesystem::create_directories(sys + "/devices/disk/disk1");
    std::filesystem::create_directories(sys + "/dev/block");
    WriteFile(sys + "/devices/disk/removable", c.flag);
    WriteFile(sys + "/devices/disk/disk1/partition", "1\n");
    if (*c.target) {
      std::filesystem::create_directory_symlink("../../" + std::string(c.target),
                                                sys + "/dev/block/" + node);
    }
    auto fs = MakeLinuxFileSystemForTest(sys);
    EXPECT_EQ(fs->IsRemovable(dir_), c.removable) << c.name;
    // A destination not made yet answers for the folder that will hold it.
    EXPECT_EQ(fs->IsRemovable(Path("new/folder/a.001")), c.removable) << c.name;
  }
}

TEST_F(LinuxFileSystemTest, FullDeviceGivesAShortWrite) {
  struct Report {
    int failedStep = 0;  // 1 unshare, 2 private mounts, 3 mount tmpfs
    int error = 0;
    SpaceStatus status = SpaceStatus::Failed;
    uint64_t freeBefore = 0;
    int64_t wrote = 0, wroteWhenFull = 0;
    bool flushed = false;
  };
  const std::string mountPoint = Path("small");
  std::filesystem::create_directory(mountPoint);
  const int64_t asked = 2 << 20;
  Report r;
  ASSERT_TRUE(RunOnSmallTmpfs<Report>(
      mountPoint,
      [&](Report& r) {
        auto fs = MakeLinuxFileSystem();
        FreeSpace space = fs->FreeSpaceAt(mountPoint + "/");
        r.status = space.status;
        r.freeBefore = space.bytes;
        auto out = fs->Create(mountPoint + "/a.001");
        std::vector<char> buffer(asked, 'x');
        r.wrote = out ? out->Write(buffer.data(), asked) : -2;
        r.wroteWhenFull = out ? out->Write(buffer.data(), 4096) : -2;
        r.flushed = out && out->Flush();
      },
      r));
  if (r.failedStep != 0) GTEST_SKIP() << TmpfsSkipReason(r.failedStep, r.error);
  EXPECT_EQ(r.status, SpaceStatus::Ok);
  EXPECT_GT(r.freeBefore, 0u);
  EXPECT_LE(r.freeBefore, 1u << 20);
  EXPECT_GT(r.wrote, 0);
  EXPECT_LT(r.wrote, asked);
  EXPECT_EQ(r.wroteWhenFull, 0);
  EXPECT_TRUE(r.flushed);
}

TEST_F(LinuxFileSystemTest, EveryPathClosesWhatItOpened) {
  const std::string path = Path("a.bin");
  WriteFile(path, "bytes");
  const int before = OpenDescriptors();
  {
    auto held = fs_->OpenRead(path);
    ASSERT_TRUE(held);
    EXPECT_FALSE(fs_->OpenRead(path));  // fails at the lock
    EXPECT_FALSE(fs_->Create(path));
    EXPECT_FALSE(fs_->OpenRead(dir_));  // fails at fstat
    EXPECT_FALSE(fs_->OpenRead("/dev/null"));
    EXPECT_FALSE(fs_->Create("/dev/null"));
    EXPECT_FALSE(fs_->OpenRead(Path("missing")));
    auto piece = fs_->Create(Path("a.001"));
    ASSERT_TRUE(piece);
    EXPECT_EQ(piece->Write("xy", 2), 2);
    fs_->FreeSpaceAt(dir_);
    fs_->IsRemovable(path);
    fs_->SameFile(path, Path("a.001"));
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

// The decorator other suites rely on: faults land where asked, and the log
// keeps flush before close even when handles outlive the file system.
TEST(FaultyFileSystemTest, InjectsFaultsAndKeepsTheOrderOfEvents) {
  char pattern[] = "/tmp/tolvanix-faulty-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string dir = pattern, piece = dir + "/a.001", next = dir + "/a.002";
  std::unique_ptr<File> out, second, in;
  {
    FaultyFileSystem fs;
    fs.ShortWriteAfter(piece, 5);
    fs.FailWriteAfter(next, 2);
    fs.FailReadAfter(piece, 3);
    fs.FailFreeSpace(SpaceStatus::FolderMissing, 2);
    fs.SetFreeSpace(100);

    out = fs.Create(piece);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->Write("abc", 3), 3);
    EXPECT_EQ(out->Write("defg", 4), 2);
    EXPECT_EQ(out->Write("h", 1), 0);
    EXPECT_TRUE(out->Flush());
    out.reset();
    second = fs.Create(next);
    EXPECT_EQ(second->Write("xyz", 3), -1);
    in = fs.OpenRead(piece);
    ASSERT_TRUE(in);
    char buf[8];
    EXPECT_EQ(in->Read(buf, 3), 3);
    EXPECT_EQ(in->Read(buf, 1), -1);
    EXPECT_EQ(fs.FreeSpaceAt(dir).bytes, 100u);
    EXPECT_EQ(fs.FreeSpaceAt(dir).status, SpaceStatus::FolderMissing);

    fs.SetRemovable(false);
    fs.SetRemovable(dir, true);
    fs.SetRemovable(dir + "/sub", false);
    EXPECT_TRUE(fs.IsRemovable(piece));
    EXPECT_FALSE(fs.IsRemovable(dir + "/sub/a.001"));
    EXPECT_FALSE(fs.IsRemovable("/elsewhere"));

    fs.Log("notice");
    const std::vector<std::string> expected = {
        "create:" + piece, "flush:" + piece, "close:" + piece, "create:" + next,
        "open:" + piece,   "space:" + dir,   "space:" + dir,   "notice"};
    EXPECT_EQ(fs.Events(), expected);
    EXPECT_EQ(fs.Flushes(), std::vector<std::string>{piece});
  }
  // Handles closed after the file system is gone still log safely.
  in.reset();
  second.reset();
  EXPECT_EQ(ReadFile(piece), "abcde");
  EXPECT_EQ(ReadFile(next), "xy");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tolvanix
