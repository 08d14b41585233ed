// The Linux files under both commands, on real disks. What could block or
// touch mounts runs in a forked child: a regression fails instead of hanging.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <tuple>

#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

// The child's exit code, or -1 when it did not exit on its own (a hang: SIGALRM).
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

// The one descriptor open on `path`, or -1.
int DescriptorOf(const std::string& path) {
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(e.path(), error) == path)
      return std::stoi(e.path().filename().string());
  }
  return -1;
}

// Its open file flags, or -1.
int FlagsOf(const std::string& path) {
  std::ifstream info("/proc/self/fdinfo/" + std::to_string(DescriptorOf(path)));
  for (std::string key; info >> key;) {
    if (key == "flags:" && info >> std::oct >> key) return std::stoi(key, nullptr, 8);
  }
  return -1;
}

// flock as NFS emulates it: whole-file, exclusive only when open for writing, per description.
int NfsLock(int fd, int operation) {
  struct flock range = {};
  range.l_type = (operation & LOCK_EX) ? F_WRLCK : F_RDLCK;
  range.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &range);
}
int NoLocks(int, int) {
  errno = ENOLCK;
  return -1;
}

class LinuxFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<FileSystem> fs = MakeLinuxFileSystem();
};

TEST_F(LinuxFileTest, HeldFilesAreRefusedHereAndInAChild) {
  const std::string source = dir / "source.bin", link = dir / "link.001";
  WriteFile(source, "source bytes");
  ASSERT_EQ(::symlink(source.c_str(), link.c_str()), 0);
  const int before = OpenDescriptors();
  auto held = fs->OpenRead(source);
  ASSERT_TRUE(held);
  EXPECT_EQ(fs->OpenRead(source), nullptr);
  EXPECT_EQ(fs->Create(source), nullptr);
  // Another process has its own open file description: it conflicts too.
  EXPECT_EQ(RunInChild([&] {
              const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
              EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
              auto other = MakeLinuxFileSystem();
              EXPECT_EQ(other->OpenRead(source), nullptr);
              EXPECT_EQ(other->Create(source), nullptr);
              return !::testing::Test::HasFailure();
            }),
            0);
  // A file being written is held the same way; both are blocking again, a new file 0644.
  const mode_t mask = ::umask(022);
  auto piece = fs->Create(dir / "a.001");
  ::umask(mask);
  ASSERT_TRUE(piece);
  EXPECT_EQ(fs->OpenRead(dir / "a.001"), nullptr);
  EXPECT_EQ(fs->Create(dir / "a.001"), nullptr);
  EXPECT_EQ(FlagsOf(source) & (O_NONBLOCK | O_ACCMODE), O_RDONLY);
  EXPECT_EQ(FlagsOf(dir / "a.001") & (O_NONBLOCK | O_ACCMODE), O_RDWR);
  EXPECT_EQ(std::filesystem::status(dir / "a.001").permissions(), std::filesystem::perms(0644));
  piece.reset();
  held.reset();
  EXPECT_EQ(OpenDescriptors(), before) << "a refused open left a descriptor";
  EXPECT_EQ(ReadFile(source), "source bytes");
  // A folder on the way may be a link, and reading follows links.
  ASSERT_EQ(::symlink(dir.Path().c_str(), (dir / "via").c_str()), 0);
  EXPECT_NE(fs->Create(dir / "via/new.001"), nullptr);
  EXPECT_NE(fs->OpenRead(link), nullptr);
}

// A descriptor is closed once only: its number may already serve another file.
TEST_F(LinuxFileTest, CloseTellsItsResultAndClosesOnce) {
  auto first = fs->Create(dir / "a");
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->Close());
  auto second = fs->Create(dir / "b");
  ASSERT_NE(second, nullptr);
  first.reset();
  EXPECT_EQ(second->Write("x", 1), 1) << "the first file's end closed nothing more";
  ::close(DescriptorOf(dir / "b"));  // a close that fails, as on a full network quota
  EXPECT_FALSE(second->Close());
  EXPECT_NE(fs->Create(dir / "b"), nullptr) << "held no longer";
}

// Where a file system cannot lock as asked the files still open, yet a held file is never emptied.
TEST(OtherFileSystems, WeakLocksStillOpenFilesAndNeverEmptyAHeldFile) {
  struct Row {
    const char* name;
    LockCall lock;
    bool seesOthers;  // a lock another program holds keeps this one off
  };
  for (const Row& r : {
           Row{"nfs", NfsLock, true},
           Row{"no locks", NoLocks, false},
       }) {
    SCOPED_TRACE(r.name);
    TempDir dir;
    const std::string source = dir / "data.001";
    WriteFile(source, "data");
    auto fs = MakeLinuxFileSystemForTest("/sys", r.lock);
    auto held = fs->OpenRead(source);
    ASSERT_NE(held, nullptr);
    EXPECT_NE(fs->Create(dir / "new.001"), nullptr);
    EXPECT_EQ(fs->Create(source), nullptr);
    held.reset();
    EXPECT_EQ(ReadFile(source), "data");
    const int other = ::open(source.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(NfsLock(other, LOCK_EX), 0);
    EXPECT_EQ(fs->OpenRead(source) == nullptr, r.seesOthers) << "a file another program holds";
    ::close(other);
  }
}

// Short counts as on FUSE, NFS and CIFS; the second call of each kind cut off by a signal.
struct {
  size_t most;
  bool splices;
  int calls[3];  // of read, write and splice
} shortfall;
bool Interrupted(int kind) {
  if (++shortfall.calls[kind] != 2) return false;
  errno = EINTR;
  return true;
}
int64_t ShortRead(int fd, void* buffer, size_t n) {
  return Interrupted(0) ? -1 : ::read(fd, buffer, std::min(n, shortfall.most));
}
int64_t ShortWrite(int fd, const void* buffer, size_t n) {
  return Interrupted(1) ? -1 : ::write(fd, buffer, std::min(n, shortfall.most));
}
int64_t ShortSplice(int from, int to, size_t n) {
  if (!shortfall.splices) {
    errno = EINVAL;
    return -1;
  }
  if (Interrupted(2)) return -1;
  return ::splice(from, nullptr, to, nullptr, std::min(n, shortfall.most), 0);
}

class ShortCountsTest : public ::testing::TestWithParam<std::tuple<size_t, bool>> {};

// Every loop goes on from exactly where a call stopped.
TEST_P(ShortCountsTest, SplitAndJoinStayByteExact) {
  shortfall = {std::get<0>(GetParam()), std::get<1>(GetParam()), {}};
  TempDir dir;
  const std::string data = RandomBytes(50000, 13);
  WriteFile(dir / "data.bin", data);
  auto fs = MakeLinuxFileSystemForTest("/sys", ::flock, {ShortRead, ShortWrite, ShortSplice});
  ScriptedInteraction ui;
  FileDialogs dialogs;
  HandleFields handles;
  ui.ConfirmOpen(dir / "data.bin");
  ui.ConfirmSave(dir / "p");
  ui.ConfirmOpen(dir / "p.001");
  ui.ConfirmSave(dir / "out");
  CommandContext ctx{ui, *fs, dialogs, handles};
  ctx.checksumList = false;  // so the bytes go by the kernel's copy where it can
  ASSERT_EQ(RunSplit(ctx, 8), Outcome::Done);
  ASSERT_EQ(RunJoin(ctx), Outcome::Done);
  EXPECT_EQ(ui.Proposals().back(), "data.bin");
  EXPECT_TRUE(ReadFile(dir / "out") == data);
  const auto calls = static_cast<size_t>(shortfall.calls[shortfall.splices ? 2 : 0]);
  EXPECT_GT(calls, 2 * data.size() / shortfall.most) << "the bytes went through the short calls";
}
INSTANTIATE_TEST_SUITE_P(AtMost, ShortCountsTest,
                         ::testing::Combine(::testing::Values(1, 7, 4093), ::testing::Bool()));

// A target refusing the kernel copy gets the rest by Write, the source stepped back.
TEST_F(LinuxFileTest, RefusesWhatIsNotAFileAndTellsErrors) {
  const std::string fifo = dir / "pipe", data = RandomBytes(100000, 12);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  WriteFile(dir / "source", data);
  const int before = OpenDescriptors();
  for (const std::string& path : {dir.Path(), std::string("/dev/null"), dir / "missing/a.001"}) {
    EXPECT_EQ(fs->OpenRead(path), nullptr) << path;
    EXPECT_EQ(fs->Create(path), nullptr) << path;
  }
  EXPECT_EQ(OpenDescriptors(), before);
  auto from = fs->OpenRead(dir / "source");
  char byte = 0;
  EXPECT_EQ(from->Write(&byte, 1), -1) << "open for reading only";
  // In a child: with no writer, a blocking open of the FIFO would never end.
  EXPECT_EQ(RunInChild([&] {
              auto fs = MakeLinuxFileSystem();
              auto comm = fs->Create("/proc/self/comm");
              auto again = fs->Create(dir / "again");
              EXPECT_EQ(fs->OpenRead(fifo), nullptr);
              EXPECT_EQ(fs->Create(fifo), nullptr);
              const KernelCopy refused = from->CopyTo(*comm, 10);
              EXPECT_EQ(refused.stop, KernelCopy::Fallback);
              EXPECT_EQ(refused.copied, 0);
              EXPECT_EQ(from->CopyTo(*again, 16).copied, 16);
              EXPECT_EQ(ReadFile(dir / "again"), data.substr(0, 16));
              return !::testing::Test::HasFailure();
            }),
            0)
      << "the source steps back and nothing is left in the pipe";
}

TEST_F(LinuxFileTest, FreeSpace) {
  EXPECT_EQ(fs->FreeSpaceAt(dir.Path() + "/").status, SpaceStatus::Ok);
  EXPECT_GT(fs->FreeSpaceAt(dir.Path() + "/").bytes, 0u);
  EXPECT_EQ(fs->FreeSpaceAt(dir / "gone/").status, SpaceStatus::FolderMissing);
  EXPECT_EQ(fs->FreeSpaceAt(dir / std::string(300, 'n')).status, SpaceStatus::Failed);
}

TEST_F(LinuxFileTest, RemovableComesFromTheDiskInSysfs) {
  struct stat st;
  ASSERT_EQ(::stat(dir.Path().c_str(), &st), 0);
  const std::string node =
      std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  struct Case {
    const char *name, *target, *flag;  // where /dev/block/MAJ:MIN points; the disk's flag
    bool removable;
  };
  int n = 0;
  for (const Case& c : {
           Case{"whole disk", "devices/disk", "1\n", true},
           Case{"partition answers for its disk", "devices/disk/disk1", "1\n", true},
           Case{"fixed disk", "devices/disk/disk1", "0\n", false},
           Case{"no block device", "", "1\n", false},
       }) {
    const std::string sys = dir / ("sys" + std::to_string(n++));
    std::filesystem::create_directories(sys + "/devices/disk/disk1");
    std::filesystem::create_directories(sys + "/dev/block");
    WriteFile(sys + "/devices/disk/removable", c.flag);
    WriteFile(sys + "/devices/disk/disk1/partition", "1\n");
    if (*c.target) {
      std::filesystem::create_directory_symlink("../../" + std::string(c.target),
                                                sys + "/dev/block/" + node);
    }
    auto fake = MakeLinuxFileSystemForTest(sys, ::flock);
    // A destination not made yet answers for the folder that will hold it.
    for (const std::string& path : {dir.Path(), dir / "new//folder/a.001"})
      EXPECT_EQ(fake->IsRemovable(path), c.removable) << c.name << " " << path;
  }
}

// A full disk (ENOSPC, EDQUOT): a write gives what it wrote, the kernel's copy stops as Full.
int64_t FullWrite(int fd, const void* buffer, size_t n) {
  if (::lseek(fd, 0, SEEK_CUR) < 4) return ::write(fd, buffer, std::min<size_t>(n, 4));
  errno = ENOSPC;
  return -1;
}
int64_t FullSplice(int from, int to, size_t n) {
  struct stat st;
  if (::fstat(to, &st) != 0 || !S_ISREG(st.st_mode))
    return ::splice(from, nullptr, to, nullptr, n, 0);
  errno = EDQUOT;
  return -1;
}

TEST_F(LinuxFileTest, AFullDiskEndsAWriteOrAKernelCopyWithWhatWasWritten) {
  WriteFile(dir / "source", "0123456789");
  fs = MakeLinuxFileSystemForTest("/sys", ::flock, {nullptr, FullWrite, FullSplice});
  auto from = fs->OpenRead(dir / "source");
  auto to = fs->Create(dir / "target");
  ASSERT_NE(from, nullptr);
  ASSERT_NE(to, nullptr);
  EXPECT_EQ(to->Write("abcdefgh", 8), 4);
  const KernelCopy copy = from->CopyTo(*to, 10);
  EXPECT_EQ(copy.stop, KernelCopy::Full);
  EXPECT_EQ(copy.copied, 0);
}

}  // namespace
}  // namespace tolvanix
