// The Linux file system on real files. Anything that could block or touch
// mounts runs in a forked child, so a regression fails instead of hanging.
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
#include <functional>
#include <vector>

#include "core/FileSystem.h"
#include "support/SmallTmpfs.h"
#include "support/TestFiles.h"

namespace tolvanix {
namespace {

// The child's exit code, or -1 when it did not exit on its own (a hang ends
// as SIGALRM).
int RunInChild(const std::function<bool()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(10);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class LinuxFileSystemTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<FileSystem> fs = MakeLinuxFileSystem();
};

TEST_F(LinuxFileSystemTest, HeldFilesAreRefusedHereAndInAChildAndLinksNeverWrittenThrough) {
  const std::string source = dir / "source.bin", link = dir / "link.001";
  WriteFile(source, "source bytes");
  ASSERT_EQ(::symlink(source.c_str(), link.c_str()), 0);
  const int before = OpenDescriptors();
  auto held = fs->OpenRead(source);
  ASSERT_TRUE(held);
  EXPECT_FALSE(fs->OpenRead(source));
  EXPECT_FALSE(fs->Create(source));
  EXPECT_FALSE(fs->Create(link));
  EXPECT_EQ(ReadFile(source), "source bytes");
  // Another process has its own open file description: it conflicts too.
  EXPECT_EQ(RunInChild([&] {
              const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
              const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
              auto other = MakeLinuxFileSystem();
              return locked && !other->OpenRead(source) && !other->Create(source);
            }),
            0);
  // A file being written is held the same way.
  auto piece = fs->Create(dir / "a.001");
  ASSERT_TRUE(piece);
  EXPECT_FALSE(fs->OpenRead(dir / "a.001"));
  EXPECT_FALSE(fs->Create(dir / "a.001"));
  piece.reset();
  held.reset();
  EXPECT_EQ(OpenDescriptors(), before) << "a refused open left a descriptor";

  // A link as the last part is never written through, held or not; a folder
  // that is a link is fine, and reading follows links.
  EXPECT_FALSE(fs->Create(link));
  EXPECT_EQ(ReadFile(source), "source bytes");
  ASSERT_EQ(::symlink(dir.Path().c_str(), (dir / "via").c_str()), 0);
  EXPECT_TRUE(fs->Create(dir / "via/new.001"));
  EXPECT_TRUE(fs->OpenRead(link));
}

TEST_F(LinuxFileSystemTest, RefusesWhatIsNotARegularFileWithoutBlocking) {
  const std::string fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // With no writer, a blocking open of the FIFO would wait forever.
  EXPECT_EQ(RunInChild([&] {
              auto fs = MakeLinuxFileSystem();
              return !fs->OpenRead(fifo) && !fs->Create(fifo);
            }),
            0);
  const int before = OpenDescriptors();
  for (const std::string& path : {dir.Path(), std::string("/dev/null"), dir / "missing"}) {
    EXPECT_FALSE(fs->OpenRead(path)) << path;
  }
  EXPECT_FALSE(fs->Create(dir.Path()));
  EXPECT_FALSE(fs->Create("/dev/null"));
  EXPECT_FALSE(fs->Create(dir / "missing/a.001"));
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(LinuxFileSystemTest, CountsBeyondOneSystemCallAndSizesBeyondFourGiB) {
  const std::string data = RandomBytes(3 * 1024 * 1024 + 7, 12345), path = dir / "big.bin";
  {
    auto out = fs->Create(path);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->Write(data.data(), static_cast<int64_t>(data.size())),
              static_cast<int64_t>(data.size()));
    EXPECT_TRUE(out->Flush());
  }
  // 3 GiB asked: no 32-bit overflow, no early stop; only touched pages count.
  const int64_t huge = int64_t{3} << 30;
  void* mem = ::mmap(nullptr, huge, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(mem, MAP_FAILED);
  auto in = fs->OpenRead(path);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Size(), static_cast<int64_t>(data.size()));
  EXPECT_EQ(in->Read(mem, huge), static_cast<int64_t>(data.size()));
  EXPECT_EQ(std::memcmp(mem, data.data(), data.size()), 0);
  EXPECT_EQ(in->Read(mem, 10), 0);
  ::munmap(mem, huge);
  in.reset();

  const int64_t size = (int64_t{5} << 30) + 3;
  if (::truncate(path.c_str(), size) != 0)
    GTEST_SKIP() << "no sparse 5 GiB file here: " << std::strerror(errno);
  EXPECT_EQ(fs->OpenRead(path)->Size(), size);
}

TEST_F(LinuxFileSystemTest, ExistsSameFileAndFreeSpace) {
  const std::string a = dir / "a", b = dir / "b", hard = dir / "hard", soft = dir / "soft";
  WriteFile(a, "same");
  WriteFile(b, "same");
  ASSERT_EQ(::link(a.c_str(), hard.c_str()), 0);
  ASSERT_EQ(::symlink(a.c_str(), soft.c_str()), 0);
  EXPECT_TRUE(fs->Exists(soft));
  EXPECT_FALSE(fs->Exists(dir.Path()));
  EXPECT_FALSE(fs->Exists(dir / "missing"));
  EXPECT_TRUE(fs->SameFile(a, hard));
  EXPECT_TRUE(fs->SameFile(soft, dir / "./a"));
  EXPECT_FALSE(fs->SameFile(a, b));
  EXPECT_FALSE(fs->SameFile(dir / "missing", dir / "missing"));

  for (const std::string& root : {dir.Path() + "/", std::string(".")}) {
    const FreeSpace space = fs->FreeSpaceAt(root);
    EXPECT_EQ(space.status, SpaceStatus::Ok) << root;
    EXPECT_GT(space.bytes, 0u) << root;
  }
  EXPECT_EQ(fs->FreeSpaceAt(dir / "gone/").status, SpaceStatus::FolderMissing);
  EXPECT_EQ(fs->FreeSpaceAt(dir / "a/sub").status, SpaceStatus::FolderMissing);
  EXPECT_EQ(fs->FreeSpaceAt(dir / std::string(300, 'n')).status, SpaceStatus::Failed);
}

TEST_F(LinuxFileSystemTest, RemovableComesFromTheDiskInSysfs) {
  EXPECT_FALSE(fs->IsRemovable("/proc/self"));
  struct stat st;
  ASSERT_EQ(::stat(dir.Path().c_str(), &st), 0);
  const std::string node =
      std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  struct Case {
    const char* name;
    const char* target;  // where /dev/block/MAJ:MIN points, none if empty
    const char* flag;    // the disk's removable file
    bool removable;
  };
  int n = 0;
  for (const Case& c : {Case{"whole disk", "devices/disk", "1\n", true},
                        Case{"partition answers for its disk", "devices/disk/disk1", "1\n", true},
                        Case{"fixed disk", "devices/disk/disk1", "0\n", false},
                        Case{"no block device", "", "1\n", false}}) {
    const std::string sys = dir / ("sys" + std::to_string(n++));
    std::filesystem::create_directories(sys + "/devices/disk/disk1");
    std::filesystem::create_directories(sys + "/dev/block");
    WriteFile(sys + "/devices/disk/removable", c.flag);
    WriteFile(sys + "/devices/disk/disk1/partition", "1\n");
    if (*c.target) {
      std::filesystem::create_directory_symlink("../../" + std::string(c.target),
                                                sys + "/dev/block/" + node);
    }
    auto fake = MakeLinuxFileSystemForTest(sys);
    EXPECT_EQ(fake->IsRemovable(dir.Path()), c.removable) << c.name;
    // A destination not made yet answers for the folder that will hold it.
    EXPECT_EQ(fake->IsRemovable(dir / "new/folder/a.001"), c.removable) << c.name;
  }
}

TEST_F(LinuxFileSystemTest, FullDeviceGivesAShortWrite) {
  struct Report {
    int failedStep = 0, error = 0;
    SpaceStatus status = SpaceStatus::Failed;
    uint64_t freeBefore = 0;
    int64_t wrote = 0, wroteWhenFull = 0;
  };
  const std::string small = dir / "small";
  std::filesystem::create_directory(small);
  const int64_t asked = 2 << 20;
  Report r;
  ASSERT_TRUE(RunOnSmallTmpfs<Report>(
      small,
      [&](Report& r) {
        auto fs = MakeLinuxFileSystem();
        const FreeSpace space = fs->FreeSpaceAt(small + "/");
        r.status = space.status;
        r.freeBefore = space.bytes;
        auto out = fs->Create(small + "/a.001");
        const std::vector<char> buffer(asked, 'x');
        r.wrote = out ? out->Write(buffer.data(), asked) : -2;
        r.wroteWhenFull = out ? out->Write(buffer.data(), 4096) : -2;
      },
      r));
  if (r.failedStep != 0) GTEST_SKIP() << TmpfsSkipReason(r.failedStep, r.error);
  EXPECT_EQ(r.status, SpaceStatus::Ok);
  EXPECT_GT(r.freeBefore, 0u);
  EXPECT_LE(r.freeBefore, 1u << 20);
  EXPECT_GT(r.wrote, 0);
  EXPECT_LT(r.wrote, asked);
  EXPECT_EQ(r.wroteWhenFull, 0);
}

}  // namespace
}  // namespace tolvanix
