// Stopped, a run ends at the next chunk or prompt, telling nothing, its files flushed and closed.
#include <gtest/gtest.h>

#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

constexpr int kKB = 2048;  // pieces of two chunks
const std::string kData = RandomBytes((5 << 20) + 1000, 9);

class StopTest : public CommandFixture, public RunControl {
 protected:
  void SetUp() override {
    CommandFixture::SetUp();
    WriteFile(dir / "photo.jpg", kData);
    CutSet(dir / "s", kData, kKB << 10, "photo.jpg");
    fs.removable = true;
    // What is read after a stop counts: the write that ends a chunk may follow.
    fs.onChunk = [this](const std::string& path) {
      chunksAfterStop_ += stop_ && path.rfind(readFrom_, 0) == 0;
      if (path == stopAtPath_ && --stopAtChunk_ == 0) stop_ = true;
    };
  }
  void Progress(double fraction) override { fractions_.push_back(fraction); }
  bool StopRequested() override { return stop_; }
  bool Proceed() override {
    fs.events.push_back("proceed");
    return !stop_;
  }

  // Stopped at the nth chunk of the file `path`, or when the run records the call `path`.
  Outcome Run(bool split, const std::string& path = "", int n = 0) {
    ui = ScriptedInteraction();
    ui.tap = [this, path](const std::string& event) {
      fs.events.push_back("ui:" + event);
      stop_ = stop_ || event == path;
    };
    fs.events.clear();
    stop_ = false;
    chunksAfterStop_ = 0;
    stopAtPath_ = path;
    stopAtChunk_ = n;
    readFrom_ = split ? dir / "photo.jpg" : dir / "s.";
    ui.ConfirmOpen(split ? dir / "photo.jpg" : dir / "s.001");
    ui.ConfirmSave(split ? dir / "p" : dir / "out");
    CommandContext ctx{ui, fs, dialogs, handles, this};
    ctx.checksumList = false;  // the kernel's copy, in chunks of its own
    return split ? RunSplit(ctx, kKB) : RunJoin(ctx);
  }
  std::vector<double> fractions_;
  int chunksAfterStop_ = 0;

 private:
  bool stop_ = false;
  std::string stopAtPath_, readFrom_;
  int stopAtChunk_ = 0;
};

// A join stopped after its output prompt leaves a file at that path as it was.
TEST_F(StopTest, StopsAtEachPointWithTheFileInWorkFlushedAndAPrefixWritten) {
  const std::string p1 = dir / "p.001", p2 = dir / "p.002", out = dir / "out";
  const std::string splitNotice = std::string("notice:") + kNextMediumSplit;
  const std::string joinNotice = std::string("notice:") + kNextMediumJoin;
  // Calls per chunk: one kernel copy, or a buffer's worth at a time by Read and Write.
  const int steps = KernelCopies() ? 1 : static_cast<int>(kChunkBytes / kCopyBufferSize);
  struct Row {
    bool split;
    std::string at;  // a file and its chunk (a piece's: its write), or an interaction call
    int chunk;
    std::string inWork;  // flushed before it is closed
    int64_t written;     // bytes in the pieces or the output; -1: the old output kept
  };
  for (const Row& r : {
           Row{true, "busy:1", 0, "", 0},  // before the first piece
           Row{true, p1, 2, p1, 262},      // inside the header
           Row{true, dir / "photo.jpg", 3, p2, (kKB << 10) + (1 << 20)},
           Row{true, splitNotice, 0, p1, kKB << 10},
           Row{false, "busy:1", 0, "", -1},
           Row{false, dir / "s.002", 1, out, (kKB << 10) - 262 + (1 << 20)},
           Row{false, "status:ファイル結合中です。  2/3", 0, out, (kKB << 10) - 262},
           Row{false, joinNotice, 0, out, (kKB << 11) - 262},
       }) {
    SCOPED_TRACE(r.at);
    for (const auto& f : {p1, p2, dir / "p.003"}) std::filesystem::remove(f);
    WriteFile(out, "old bytes");
    if (r.at == joinNotice) std::filesystem::rename(dir / "s.003", dir / "away");
    EXPECT_EQ(Run(r.split, r.at, r.at == p1 ? r.chunk : r.chunk * steps), Outcome::Stopped);
    if (r.at == joinNotice) std::filesystem::rename(dir / "away", dir / "s.003");
    EXPECT_EQ(chunksAfterStop_, 0) << "no chunk is served once the stop is asked";
    for (const auto& notice : ui.Notices())
      EXPECT_EQ(notice, r.split ? kNextMediumSplit : kNextMediumJoin);
    const auto flush = std::find(fs.events.begin(), fs.events.end(), "flush:" + r.inWork);
    const auto close = std::find(fs.events.begin(), fs.events.end(), "close:" + r.inWork);
    if (!r.inWork.empty()) {
      EXPECT_LT(flush, close) << "flushed before it is closed";
    }
    EXPECT_EQ(ui.Calls().back(), "status:");
    if (!r.split) {
      EXPECT_TRUE(ReadFile(out) == (r.written < 0 ? "old bytes" : kData.substr(0, r.written)));
      continue;
    }
    std::string pieces;
    for (const auto& f : {p1, p2, dir / "p.003"}) pieces += ReadFile(f);
    EXPECT_EQ(static_cast<int64_t>(pieces.size()), r.written);
    const std::string data = pieces.substr(std::min<size_t>(pieces.size(), 262));
    EXPECT_TRUE(kData.compare(0, data.size(), data) == 0) << "a prefix of the source";
  }
  EXPECT_TRUE(ReadFile(dir / "photo.jpg") == kData);
}

// On a removable drive a piece is pushed as it goes, flushed before the next is asked for.
TEST_F(StopTest, ProgressRisesToTheWholeRunAndEachPieceReachesTheMedium) {
  const int64_t step = KernelCopies() ? kChunkBytes : kCopyBufferSize;
  const auto chunks = [step](int64_t n) { return static_cast<size_t>((n + step - 1) / step); };
  const int64_t piece = kKB << 10, last = static_cast<int64_t>(kData.size()) + 262 - 2 * piece;
  for (bool split : {false, true}) {
    SCOPED_TRACE(split ? "split" : "join");
    fractions_.clear();
    ASSERT_EQ(Run(split), Outcome::Done);
    EXPECT_GE(fractions_.size(), 6u) << "one report per chunk";
    EXPECT_TRUE(std::is_sorted(fractions_.begin(), fractions_.end()));
    EXPECT_GT(fractions_.front(), 0);
    EXPECT_DOUBLE_EQ(fractions_.back(), 1);
    EXPECT_EQ(WithPrefix(fs.events, "push:" + (split ? dir / "p.001" : dir / "out")).size(),
              split ? chunks(piece - 262) : chunks(piece - 262) + chunks(piece) + chunks(last));
    for (size_t i = 1; i < fs.events.size(); ++i) {
      if (fs.events[i].rfind("create:", 0) != 0) continue;
      EXPECT_EQ(fs.events[i - 1], "proceed") << "before " << fs.events[i];
    }
  }
  std::vector<std::string> order;
  const std::string notice = std::string("ui:notice:") + kNextMediumSplit;
  for (const auto& e : fs.events)
    if (e.rfind("flush:", 0) == 0 || e.rfind("close:" + dir / "p.", 0) == 0 || e == notice)
      order.push_back(e == notice ? "notice" : e.substr(0, 5) + e.back());
  EXPECT_EQ(order, (std::vector<std::string>{"flush1", "close1", "notice", "flush2", "close2",
                                             "notice", "flush3", "close3"}));
  EXPECT_TRUE(ReadFile(dir / "out") == kData);
}

}  // namespace
}  // namespace tolvanix
