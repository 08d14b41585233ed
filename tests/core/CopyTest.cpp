// The copy path both commands share: the kernel copy between Linux files, the
// fall back to Read and Write, and which failure each way of stopping becomes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "core/CommandSupport.h"
#include "support/CommandFixture.h"
#include "support/SmallTmpfs.h"

namespace tolvanix {
namespace {

// A file in memory. Its kernel copy to another MemoryFile moves at most
// `kernelBytes` and then stops as `kernelStop` says; Read can be made to fail
// and Write to run out of room, like a full disk.
class MemoryFile final : public File {
 public:
  explicit MemoryFile(std::string bytes = "") : bytes(std::move(bytes)) {}
  int64_t Size() override { return static_cast<int64_t>(bytes.size()); }
  int64_t Read(void* buffer, int64_t n) override {
    ++reads;
    if (failReads) return -1;
    const int64_t got = std::min<int64_t>(n, Size() - position);
    std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(got));
    position += got;
    return got;
  }
  int64_t Write(const void* buffer, int64_t n) override {
    const int64_t put = std::min(n, room);
    room -= put;
    bytes.append(static_cast<const char*>(buffer), static_cast<size_t>(put));
    return put;
  }
  bool Flush() override { return true; }
  KernelCopy CopyTo(File& to, int64_t n) override {
    auto& target = dynamic_cast<MemoryFile&>(to);
    const int64_t moved = std::min({n, kernelBytes, Size() - position, target.room});
    target.bytes.append(bytes, static_cast<size_t>(position), static_cast<size_t>(moved));
    target.room -= moved;
    position += moved;
    return {kernelStop, moved};
  }

  std::string bytes;
  int64_t position = 0;
  KernelCopy::Stop kernelStop = KernelCopy::Fallback;
  int64_t kernelBytes = 0;
  bool failReads = false;
  int64_t room = INT64_MAX;
  int reads = 0;
};

TEST(CopyBytesTest, KernelCopyThenBufferAndEachStopBecomesItsFailure) {
  constexpr int64_t kAll = INT64_MAX;
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
  for (const Row& r : {
           Row{"kernel copies everything", 5000, 5000, KernelCopy::Done, 5000, false, kAll,
               CopyResult::Ok, 5000, false},
           Row{"kernel stops half way", 5000, 4500, KernelCopy::Fallback, 2000, false, kAll,
               CopyResult::Ok, 4500, true},
           Row{"kernel declines at once", 5000, 5000, KernelCopy::Fallback, 0, false, kAll,
               CopyResult::Ok, 5000, true},
           Row{"end found by Read", 3000, 5000, KernelCopy::Fallback, 3000, false, kAll,
               CopyResult::Ok, 3000, true},
           Row{"full in the kernel", 5000, 5000, KernelCopy::Full, 1200, false, 1200,
               CopyResult::WriteFailed, 1200, false},
           Row{"source lost in the kernel", 5000, 5000, KernelCopy::ReadFailed, 700, false, kAll,
               CopyResult::ReadFailed, 700, false},
           Row{"read fails after fall back", 5000, 5000, KernelCopy::Fallback, 2000, true, kAll,
               CopyResult::ReadFailed, 2000, true},
           Row{"full after fall back", 5000, 5000, KernelCopy::Fallback, 2000, false, 2500,
               CopyResult::WriteFailed, 2500, true},
       }) {
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
    EXPECT_EQ(to.bytes, data.substr(0, static_cast<size_t>(r.copied)));
    EXPECT_EQ(from.reads > 0, r.readsSource);
  }
}

// Over several passes, from a position after a header to one after a prefix,
// as the join does with a first piece; the end of the source is left to Read,
// and so is a target that is not a Linux file.
TEST(KernelCopyTest, MovesBytesBetweenBothPositionsAndLeavesTheRestToRead) {
  TempDir dir;
  auto fs = MakeLinuxFileSystem();
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
  MemoryFile memory;
  copy = from->CopyTo(memory, 6);
  EXPECT_EQ(copy.stop, KernelCopy::Fallback);
  EXPECT_EQ(copy.copied, 0);
  copy = from->CopyTo(*to, 100);
  EXPECT_EQ(copy.stop, KernelCopy::Fallback);
  EXPECT_EQ(copy.copied, 10);
  EXPECT_EQ(from->Read(header, 1), 0);
  to.reset();
  EXPECT_EQ(ReadFile(dir / "target"), "prefix" + data.substr(262));
}

// A true disk-full: the kernel copy stops at what fit with the source in step
// with the target, and both commands show their write notice.
TEST(KernelCopyFullDeviceTest, StopsAtWhatFitAndEachCommandShowsItsWriteNotice) {
  struct Report {
    int failedStep = 0, error = 0;
    KernelCopy::Stop stop = KernelCopy::Done;
    int64_t copied = 0, targetSize = -1;
    bool sourceInStep = false;
    Outcome outcomes[2] = {Outcome::Done, Outcome::Done};
    bool exact[2] = {false, false}, usedKernel[2] = {false, false};
  };
  TempDir dir;
  const std::string small = dir / "small";
  std::filesystem::create_directory(small);
  const std::string data = RandomBytes(3 << 20, 5);
  WriteFile(dir / "photo.jpg", data);
  const auto run = [&](bool split, const std::string& out, Report* r) {
    FaultyFileSystem fs;
    ScriptedInteraction ui;
    FileDialogs dialogs;
    HandleFields handles;
    ui.ConfirmOpen(split ? dir / "photo.jpg" : dir / "set.001");
    ui.ConfirmSave(out);
    const Outcome outcome =
        split ? RunSplit({ui, fs, dialogs, handles}, 2048) : RunJoin({ui, fs, dialogs, handles});
    if (r == nullptr) return outcome;
    r->outcomes[split] = outcome;
    r->exact[split] =
        ui.Notices() == std::vector<std::string>{NoticeText(outcome) ? NoticeText(outcome) : ""};
    r->usedKernel[split] = fs.kernelCopied > 0;
    return outcome;
  };
  ASSERT_EQ(run(true, dir / "set", nullptr),
            Outcome::Done);  // a set to join, cut on the roomy disk

  Report r;
  ASSERT_TRUE(RunOnSmallTmpfs<Report>(
      small,
      [&](Report& r) {
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
        run(true, small + "/p", &r);
        ::unlink((small + "/p.001").c_str());
        run(false, small + "/joined.jpg", &r);
      },
      r));
  if (r.failedStep != 0) GTEST_SKIP() << TmpfsSkipReason(r.failedStep, r.error);
  EXPECT_EQ(r.stop, KernelCopy::Full);
  EXPECT_GT(r.copied, 0);
  EXPECT_LT(r.copied, static_cast<int64_t>(data.size()));
  EXPECT_EQ(r.targetSize, r.copied);
  EXPECT_TRUE(r.sourceInStep);
  EXPECT_EQ(r.outcomes[1], Outcome::PieceWriteFailed);
  EXPECT_EQ(r.outcomes[0], Outcome::OutputWriteFailed);
  EXPECT_TRUE(r.exact[0] && r.exact[1]);
  EXPECT_TRUE(r.usedKernel[0] && r.usedKernel[1]);
}

}  // namespace
}  // namespace tolvanix
