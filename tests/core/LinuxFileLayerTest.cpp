// The Linux files under both commands, on real disks. What could block or
// touch mounts runs in a forked child: a regression fails instead of hanging.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

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

// The open file flags of the one descriptor on `path`, or -1.
int FlagsOf(const std::string& path) {
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(e.path(), error) != path) continue;
    std::ifstream info("/proc/self/fdinfo/" + e.path().filename().string());
    for (std::string key; info >> key;) {
      if (key == "flags:" && info >> std::oct >> key) return std::stoi(key, nullptr, 8);
    }
  }
  return -1;
}

class LinuxFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<FileSystem> fs = MakeLinuxFileSystem();
};

// Over several calls, from after a header to after a prefix, as the join does; the
// end of the source is left to Read, and so is a target that is not a Linux file.
TEST_F(LinuxFileTest, KernelCopyMovesBytesBetweenBothPositionsAndLeavesTheRestToRead) {
  const std::string data = RandomBytes((3 << 20) + 5, 11);
  WriteFile(dir / "source", data);
  auto from = fs->OpenRead(dir / "source");
  auto to = fs->Create(dir / "target");
  ASSERT_TRUE(from && to);
  char header[262];
  ASSERT_EQ(from->Read(header, sizeof header), 262);
  ASSERT_EQ(to->Write("prefix", 6), 6);
  const int64_t most = static_cast<int64_t>(data.size()) - 262 - 10;
  const auto Copy = [&](File& target, int64_t n) {
    const KernelCopy copy = from->CopyTo(target, n);
    return std::pair{copy.stop, copy.copied};
  };
  EXPECT_EQ(Copy(*to, 0), std::pair(KernelCopy::Done, int64_t{0}));
  EXPECT_EQ(Copy(*to, most), std::pair(KernelCopy::Done, most));
  FaultyFileSystem faulty;
  auto other = faulty.Create(dir / "other");
  EXPECT_EQ(Copy(*other, 6), std::pair(KernelCopy::Fallback, int64_t{0}));
  errno = EINTR;  // left by an interrupted call before: the end is still the end
  EXPECT_EQ(Copy(*to, 100), std::pair(KernelCopy::Fallback, int64_t{10}));
  EXPECT_EQ(from->Read(header, 1), 0);
  EXPECT_EQ(from->Read(header, 0) + to->Write(header, 0), 0);
  EXPECT_EQ(from->Read(header, -1) + to->Write(header, -1), -2);
  EXPECT_EQ(Copy(*to, -1), std::pair(KernelCopy::Fallback, int64_t{0}));
  to.reset();
  EXPECT_EQ(ReadFile(dir / "target"), "prefix" + data.substr(262));
}

TEST_F(LinuxFileTest, HeldFilesAreRefusedHereAndInAChildAndLinksNeverWrittenThrough) {
  const std::string source = dir / "source.bin", link = dir / "link.001";
  WriteFile(source, "source bytes");
  ASSERT_EQ(::symlink(source.c_str(), link.c_str()), 0);
  const int before = OpenDescriptors();
  auto held = fs->OpenRead(source);
  ASSERT_TRUE(held);
  EXPECT_FALSE(fs->OpenRead(source) || fs->Create(source) || fs->Create(link));
  // Another process has its own open file description: it conflicts too.
  EXPECT_EQ(RunInChild([&] {
              const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
              const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
              auto other = MakeLinuxFileSystem();
              return locked && !other->OpenRead(source) && !other->Create(source);
            }),
            0);
  // A file being written is held the same way; both are blocking again, and
  // a new file gets the usual mode.
  WriteFile(dir / "b.001", "x");
  EXPECT_EQ(fs->Create(dir / "b.001")->Size(), 0) << "an old file is emptied";
  const mode_t mask = ::umask(022);
  auto piece = fs->Create(dir / "a.001");
  ::umask(mask);
  ASSERT_TRUE(piece);
  EXPECT_FALSE(fs->OpenRead(dir / "a.001") || fs->Create(dir / "a.001"));
  EXPECT_EQ(FlagsOf(source) & (O_NONBLOCK | O_ACCMODE), O_RDONLY);
  EXPECT_EQ(FlagsOf(dir / "a.001") & (O_NONBLOCK | O_ACCMODE), O_RDWR);
  EXPECT_EQ(std::filesystem::status(dir / "a.001").permissions(), std::filesystem::perms(0644));
  piece.reset();
  held.reset();
  EXPECT_EQ(OpenDescriptors(), before) << "a refused open left a descriptor";
  EXPECT_EQ(ReadFile(source), "source bytes");
  // A folder on the way may be a link, and reading follows links.
  ASSERT_EQ(::symlink(dir.Path().c_str(), (dir / "via").c_str()), 0);
  EXPECT_TRUE(fs->Create(dir / "via/new.001") && fs->OpenRead(link));
}

// What is not a regular file is refused without blocking; a read, write or sync error
// is told; a target refusing the kernel copy gets the rest by Write, the source stepped back.
TEST_F(LinuxFileTest, RefusesWhatIsNotAFileAndTellsErrors) {
  const std::string fifo = dir / "pipe", data = RandomBytes(100000, 12);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  WriteFile(dir / "source", data);
  WriteFile(dir / "a", "");
  const int before = OpenDescriptors();
  for (const std::string& path : {dir.Path(), std::string("/dev/null"), dir / "missing/a.001"})
    EXPECT_FALSE(fs->OpenRead(path) || fs->Create(path)) << path;
  EXPECT_EQ(OpenDescriptors(), before);
  auto from = fs->OpenRead(dir / "source");
  char bytes[16];
  EXPECT_EQ(from->Write(bytes, 1), -1);
  EXPECT_EQ(fs->OpenRead("/proc/self/mem")->Read(bytes, sizeof bytes), -1);
  // In a child: with no writer, a blocking open of the FIFO would never end.
  EXPECT_EQ(RunInChild([&] {
              auto fs = MakeLinuxFileSystem();
              auto proc = fs->OpenRead("/proc/self/status");
              auto comm = fs->Create("/proc/self/comm");
              auto again = fs->Create(dir / "again");
              if (fs->OpenRead(fifo) || fs->Create(fifo) || !proc || proc->Flush() || !comm)
                return false;
              ::close(0);  // no standard input: the next file gets descriptor 0
              if (!fs->OpenRead(dir / "a")) return false;
              if (!fs->Create(dir / "b")) return false;
              const KernelCopy refused = from->CopyTo(*comm, 10);
              const KernelCopy copy = from->CopyTo(*again, 16);
              return refused.stop == KernelCopy::Fallback && refused.copied == 0 &&
                     copy.copied == 16 && ReadFile(dir / "again") == data.substr(0, 16);
            }),
            0)
      << "the source steps back and nothing is left in the pipe";
  const int64_t size = (int64_t{5} << 30) + 3;
  if (::truncate((dir / "source").c_str(), size) != 0)
    GTEST_SKIP() << "no sparse 5 GiB file here: " << std::strerror(errno);
  EXPECT_EQ(from->Size(), size);
}

TEST_F(LinuxFileTest, ExistsSameFileAndFreeSpace) {
  const std::string a = dir / "a", b = dir / "b";
  WriteFile(a, "same");
  WriteFile(b, "same");
  EXPECT_TRUE(fs->Exists(a) && fs->SameFile(a, dir / "./a"));
  EXPECT_FALSE(fs->Exists(dir.Path()) || fs->Exists(dir / "missing") || fs->SameFile(a, b) ||
               fs->SameFile(dir / "missing", dir / "missing"));
  for (const std::string& root : {dir.Path() + "/", std::string(".")})
    EXPECT_TRUE(fs->FreeSpaceAt(root).status == SpaceStatus::Ok && fs->FreeSpaceAt(root).bytes > 0);
  EXPECT_EQ(fs->FreeSpaceAt(dir / "gone/").status, SpaceStatus::FolderMissing);
  EXPECT_EQ(fs->FreeSpaceAt(dir / "a/sub").status, SpaceStatus::FolderMissing);
  EXPECT_EQ(fs->FreeSpaceAt(dir / std::string(300, 'n')).status, SpaceStatus::Failed);
}

TEST_F(LinuxFileTest, RemovableComesFromTheDiskInSysfs) {
  WriteFile(dir / "file", "");
  struct stat st;
  ASSERT_EQ(::stat(dir.Path().c_str(), &st), 0);
  const std::string node =
      std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
  struct Case {
    const char *name, *target, *flag;  // where /dev/block/MAJ:MIN points; the disk's flag
    bool removable;
  };
  int n = 0;
  // clang-format off
  for (const Case& c : {Case{"whole disk", "devices/disk", "1\n", true},
                        Case{"partition answers for its disk", "devices/disk/disk1", "1\n", true},
                        Case{"fixed disk", "devices/disk/disk1", "0\n", false},
                        Case{"no block device", "", "1\n", false}}) {
    // clang-format on
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
    for (const std::string& path : {dir.Path(), dir / "new//folder/a.001", dir / "file/a.001"})
      EXPECT_EQ(fake->IsRemovable(path), c.removable) << c.name << " " << path;
  }
}

// A 1 MiB tmpfs mounted in a child's own mount namespace (nothing stays mounted): each
// command copies in the kernel until the disk is full and ends with its write notice.
TEST(FullDeviceTest, EachCommandShowsItsWriteNotice) {
  TempDir dir;
  const std::string small = dir / "small";
  std::filesystem::create_directory(small);
  WriteFile(dir / "photo.jpg", RandomBytes(3 << 20, 5));
  const auto run = [&](bool split, const std::string& out) {
    FaultyFileSystem fs;
    ScriptedInteraction ui;
    FileDialogs dialogs;
    HandleFields handles;
    ui.ConfirmOpen(split ? dir / "photo.jpg" : dir / "set.001");
    ui.ConfirmSave(out);
    const Outcome outcome =
        split ? RunSplit({ui, fs, dialogs, handles}, 2048) : RunJoin({ui, fs, dialogs, handles});
    EXPECT_TRUE(outcome == Outcome::Done || (fs.kernelCopied > 0 && ui.Notices().size() == 1 &&
                                             ui.Notices()[0] == NoticeText(outcome)));
    return outcome;
  };
  ASSERT_EQ(run(true, dir / "set"), Outcome::Done);  // a set cut on the roomy disk
  // The child prints its own failures; its exit code tells.
  const int rc = RunInChild([&] {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0)
      ::_exit(2);
    EXPECT_EQ(run(true, small + "/p"), Outcome::PieceWriteFailed);
    ::unlink((small + "/p.001").c_str());
    EXPECT_EQ(run(false, small + "/joined.jpg"), Outcome::OutputWriteFailed);
    return !::testing::Test::HasFailure();
  });
  if (rc == 2) GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
  EXPECT_EQ(rc, 0);
}

}  // namespace
}  // namespace tolvanix
