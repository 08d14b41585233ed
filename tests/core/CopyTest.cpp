// The copy path both commands share: the kernel copy between Linux files, the
// fall back to Read and Write, and which failure each way of stopping becomes.
// Mounting runs in a forked child in its own mount namespace, so nothing is
// left mounted on the host even if the child dies.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/CommandSupport.h"
#include "core/PieceFormat.h"
#include "support/CommandFixture.h"
#include "support/SmallTmpfs.h"

namespace tolvanix {
namespace {

// A file in memory. Its kernel copy to another MemoryFile moves at most
// `kernelBytes` and then stops as `kernelStop` says; Read can be made to fail
// and Write to run out of room, like a full disk.
class MemoryFile final : public File {
 public:
  explicit MemoryFile(std::string bytes = "") : bytes_(std::move(bytes)) {}

  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  int64_t Read(void* buffer, int64_t n) override {
    ++reads;
    if (failReads) return -1;
    const int64_t got = std::min<int64_t>(n, Size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(got));
    position_ += got;
    return got;
  }
  int64_t Write(const void* buffer, int64_t n) override {
    const int64_t put = std::min(n, room);
    room -= put;
    bytes_.append(static_cast<const char*>(buffer), static_cast<size_t>(put));
    return put;
  }
  bool Flush() override { return true; }
  KernelCopy CopyTo(File& to, int64_t n) override {
    auto& target = dynamic_cast<MemoryFile&>(to);
    const int64_t moved = std::min({n, kernelBytes, Size() - position_, target.room});
    target.bytes_.append(bytes_, static_cast<size_t>(position_), static_cast<size_t>(moved));
    target.room -= moved;
    position_ += moved;
    return {kernelStop, moved};
  }

  const std::string& Bytes() const { return bytes_; }

  KernelCopy::Stop kernelStop = KernelCopy::Fallback;
  int64_t kernelBytes = 0;
  bool failReads = false;
  int64_t room = INT64_MAX;
  int reads = 0;

 private:
  std::string bytes_;
  int64_t position_ = 0;
};

TEST(CopyBytesTest, KernelCopyThenBufferAndEachStopBecomesItsFailure) {
  struct Row {
    const char* what;
    size_t sourceSize;
    int64_t asked;
    KernelCopy::Stop stop;
    int64_t kernelBytes;
    bool failReads;
    int64_t room;
    CopyResult::Status status;
    int64_t copied;
    bool readsSource;  // whether the buffer path ran
  };
  const Row rows[] = {
      {"kernel copies everything", 5000, 5000, KernelCopy::Done, 5000, false, INT64_MAX,
       CopyResult::Ok, 5000, false},
      {"kernel stops half way, the buffer moves the rest", 5000, 5000, KernelCopy::Fallback, 2000,
       false, INT64_MAX, CopyResult::Ok, 5000, true},
      {"kernel declines at once", 5000, 4500, KernelCopy::Fallback, 0, false, INT64_MAX,
       CopyResult::Ok, 4500, true},
      {"the end of the source is found by Read", 3000, 5000, KernelCopy::Fallback, 3000, false,
       INT64_MAX, CopyResult::Ok, 3000, true},
      {"full device in the kernel copy", 5000, 5000, KernelCopy::Full, 1200, false, 1200,
       CopyResult::WriteFailed, 1200, false},
      {"source lost in the kernel copy", 5000, 5000, KernelCopy::ReadFailed, 700, false, INT64_MAX,
       CopyResult::ReadFailed, 700, false},
      {"read fails after the fall back", 5000, 5000, KernelCopy::Fallback, 2000, true, INT64_MAX,
       CopyResult::ReadFailed, 2000, true},
      {"device fills after the fall back", 5000, 5000, KernelCopy::Fallback, 2000, false, 2500,
       CopyResult::WriteFailed, 2500, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const std::string data = RandomBytes(r.sourceSize, 3);
    MemoryFile from(data), to;
    from.kernelStop = r.stop;
    from.kernelBytes = r.kernelBytes;
    from.failReads = r.failReads;
    to.room = r.room;
    char buffer[1024];
    const CopyResult result = CopyBytes(from, to, r.asked, buffer, sizeof buffer);
    EXPECT_EQ(result.status, r.status);
    EXPECT_EQ(result.copied, r.copied);
    EXPECT_EQ(to.Bytes(), data.substr(0, static_cast<size_t>(r.copied)));
    EXPECT_EQ(from.reads > 0, r.readsSource);
  }
}

class KernelCopyTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::unique_ptr<FileSystem> fs = MakeLinuxFileSystem();
};

// More than one pass through the pipe, from a position after a header to a
// position after a prefix, as the join does with a first piece.
TEST_F(KernelCopyTest, MovesBytesBetweenBothPositionsAndLeavesTheEndToRead) {
  const std::string data = RandomBytes((3 << 20) + 5, 11);
  WriteFile(dir / "source", data);
  auto from = fs->OpenRead(dir / "source");
  auto to = fs->Create(dir / "target");
  ASSERT_TRUE(from && to);
  char header[262];
  ASSERT_EQ(from->Read(header, sizeof header), 262);
  ASSERT_EQ(to->Write("prefix", 6), 6);

  const int64_t most = static_cast<int64_t>(data.size()) - 262 - 10;
  KernelCopy copy = from->CopyTo(*to, most);
  EXPECT_EQ(copy.stop, KernelCopy::Done);
  EXPECT_EQ(copy.copied, most);
  copy = from->CopyTo(*to, 0);
  EXPECT_EQ(copy.stop, KernelCopy::Done);
  EXPECT_EQ(copy.copied, 0);
  // Asking past the end copies what is left and leaves the end to Read.
  copy = from->CopyTo(*to, 100);
  EXPECT_EQ(copy.stop, KernelCopy::Fallback);
  EXPECT_EQ(copy.copied, 10);
  EXPECT_EQ(from->Read(header, 1), 0);
  ASSERT_EQ(to->Write("!", 1), 1);
  to.reset();
  EXPECT_EQ(ReadFile(dir / "target"), "prefix" + data.substr(262) + "!");
}

TEST_F(KernelCopyTest, AFileThatIsNotLinuxIsLeftToReadAndWrite) {
  WriteFile(dir / "source", "abcdef");
  auto from = fs->OpenRead(dir / "source");
  ASSERT_TRUE(from);
  MemoryFile to;
  const KernelCopy copy = from->CopyTo(to, 6);
  EXPECT_EQ(copy.stop, KernelCopy::Fallback);
  EXPECT_EQ(copy.copied, 0);
  char bytes[6];
  EXPECT_EQ(from->Read(bytes, 6), 6);
  EXPECT_EQ(std::string(bytes, 6), "abcdef");
}

// The commands' own round trips go through the kernel copy whenever no fault
// is injected: every byte of the split and of the join moves that way.
class KernelCopyCommandTest : public CommandFixture {};

TEST_F(KernelCopyCommandTest, SplitAndJoinMoveEveryByteInTheKernel) {
  struct Row {
    size_t size;
    int32_t kb;
  };
  for (const Row& r :
       {Row{0, 1}, Row{5000, 1}, Row{(3 << 20) + 77, 1024}, Row{(5 << 20) + 1, 2500}}) {
    SCOPED_TRACE(r.size);
    TempDir out;
    const std::string data = RandomBytes(r.size, static_cast<uint32_t>(r.size));
    WriteFile(dir / "photo.jpg", data);
    const int64_t before = fs.KernelCopied();
    ui.ConfirmOpen(dir / "photo.jpg");
    ui.ConfirmSave(out / "p");
    ASSERT_EQ(Split(r.kb), Outcome::Done);
    ui.ConfirmOpen(out / "p.001");
    ui.ConfirmSave(out / "joined.jpg");
    ASSERT_EQ(Join(), Outcome::Done);
    EXPECT_EQ(ReadFile(out / "joined.jpg"), data);
    EXPECT_EQ(fs.KernelCopied() - before, 2 * static_cast<int64_t>(r.size));
    EXPECT_TRUE(ui.Notices().empty());
  }
}

// What the child saw on a small tmpfs, sent back through a pipe.
struct FullReport {
  int failedStep = 0;  // 1 unshare, 2 private mounts, 3 mount tmpfs
  int error = 0;
  KernelCopy::Stop stop = KernelCopy::Done;
  int64_t copied = 0;
  int64_t targetSize = -1;
  bool sourceInStep = false;
  Outcome split = Outcome::Done;
  bool splitNoticeExact = false;
  bool splitUsedKernel = false;
  Outcome join = Outcome::Done;
  bool joinNoticeExact = false;
  bool joinUsedKernel = false;
};

// A true disk-full: the kernel copy stops at what fit, with the source still
// in step with the target, and both commands show their write notice.
TEST(KernelCopyFullDeviceTest, StopsAtWhatFitAndEachCommandShowsItsWriteNotice) {
  TempDir dir;
  const std::string small = dir / "small";
  std::filesystem::create_directory(small);
  const std::string data = RandomBytes(3 << 20, 5);
  WriteFile(dir / "photo.jpg", data);
  {
    // A set to join, cut on the roomy disk before the child starts.
    FaultyFileSystem fs;
    fs.SetFreeSpace(uint64_t{1} << 40);
    ScriptedInteraction ui;
    FileDialogs dialogs;
    HandleFields handles;
    ui.ConfirmOpen(dir / "photo.jpg");
    ui.ConfirmSave(dir / "set");
    ASSERT_EQ(RunSplit({ui, fs, dialogs, handles}, 1024), Outcome::Done);
  }

  FullReport r;
  ASSERT_TRUE(RunOnSmallTmpfs<FullReport>(
      small,
      [&](FullReport& r) {
        auto fs = MakeLinuxFileSystem();
        {
          auto from = fs->OpenRead(dir / "photo.jpg");
          auto to = fs->Create(small + "/copy");
          if (!from || !to) return;
          const KernelCopy copy = from->CopyTo(*to, static_cast<int64_t>(data.size()));
          r.stop = copy.stop;
          r.copied = copy.copied;
          r.targetSize = to->Size();
          char next[64];
          r.sourceInStep = copy.copied >= 0 && from->Read(next, sizeof next) == sizeof next &&
                           std::memcmp(next, data.data() + copy.copied, sizeof next) == 0;
        }
        ::unlink((small + "/copy").c_str());

        const auto run = [&](bool split, Outcome& outcome, bool& exact, bool& usedKernel) {
          FaultyFileSystem faulty(MakeLinuxFileSystem());
          ScriptedInteraction ui;
          FileDialogs dialogs;
          HandleFields handles;
          if (split) {
            ui.ConfirmOpen(dir / "photo.jpg");
            ui.ConfirmSave(small + "/p");
            ui.Answer(idNo);  // too little room: carry on regardless
            outcome = RunSplit({ui, faulty, dialogs, handles}, 2048);
          } else {
            ui.ConfirmOpen(dir / "set.001");
            ui.ConfirmSave(small + "/joined.jpg");
            outcome = RunJoin({ui, faulty, dialogs, handles});
          }
          const auto notices = ui.Notices();
          exact = notices.size() == 1 && NoticeText(outcome) && notices[0] == NoticeText(outcome);
          usedKernel = faulty.KernelCopied() > 0;
        };
        run(true, r.split, r.splitNoticeExact, r.splitUsedKernel);
        std::filesystem::remove_all(small + "/p.001");
        run(false, r.join, r.joinNoticeExact, r.joinUsedKernel);
      },
      r));
  if (r.failedStep != 0) {
    GTEST_SKIP() << TmpfsSkipReason(r.failedStep, r.error);
  }
  EXPECT_EQ(r.stop, KernelCopy::Full);
  EXPECT_GT(r.copied, 0);
  EXPECT_LT(r.copied, static_cast<int64_t>(data.size()));
  EXPECT_EQ(r.targetSize, r.copied);
  EXPECT_TRUE(r.sourceInStep);

  EXPECT_EQ(r.split, Outcome::PieceWriteFailed);
  EXPECT_TRUE(r.splitNoticeExact);
  EXPECT_TRUE(r.splitUsedKernel);
  EXPECT_EQ(r.join, Outcome::OutputWriteFailed);
  EXPECT_TRUE(r.joinNoticeExact);
  EXPECT_TRUE(r.joinUsedKernel);
}

}  // namespace
}  // namespace tolvanix
