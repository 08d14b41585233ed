// A run watched from outside: it reports how far it is, and when asked to
// stop it ends at the next chunk or prompt, with nothing told, its files
// flushed and closed, and what it wrote a prefix of what it would have.
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
    fs.removable = true;
    fs.onChunk = [this](const std::string& path) {
      chunksAfterStop_ += stop_;
      if (path == stopAtPath_ && --stopAtChunk_ == 0) stop_ = true;
    };
  }
  void Progress(double fraction) override { fractions_.push_back(fraction); }
  bool StopRequested() override { return stop_; }

  // Stops when the file at `path` is read, written or copied from for the nth time.
  void StopAtChunk(const std::string& path, int n) {
    stopAtPath_ = path;
    stopAtChunk_ = n;
  }
  // Stops when the run records this interaction call.
  void StopAtCall(const std::string& call) {
    ui.tap = [this, call](const std::string& event) {
      fs.events.push_back("ui:" + event);
      stop_ = stop_ || event == call;
    };
  }
  // A fresh run: the prompts answered, the stop armed by `arm`.
  Outcome Run(
      bool split, const std::function<void()>& arm = [] {}) {
    ui = ScriptedInteraction();
    ui.tap = [this](const std::string& event) { fs.events.push_back("ui:" + event); };
    fs.events.clear();
    stop_ = false;
    chunksAfterStop_ = 0;
    stopAtPath_.clear();
    ui.ConfirmOpen(split ? dir / "photo.jpg" : Piece(1));
    ui.ConfirmSave(split ? dir / "p" : dir / "out");
    arm();
    const CommandContext ctx{ui, fs, dialogs, handles, this};
    return split ? RunSplit(ctx, kKB) : RunJoin(ctx);
  }
  // The file in work was flushed before it was closed, and nothing was told
  // but the next-medium notices.
  void ExpectStoppedQuietly(Outcome outcome, const std::string& lastFile, const char* medium) {
    EXPECT_EQ(outcome, Outcome::Stopped);
    EXPECT_EQ(chunksAfterStop_, 0) << "no chunk is served once the stop is asked";
    for (const auto& notice : ui.Notices()) EXPECT_EQ(notice, medium);
    if (!lastFile.empty()) {
      const auto flush = std::find(fs.events.begin(), fs.events.end(), "flush:" + lastFile);
      EXPECT_LT(flush, std::find(fs.events.begin(), fs.events.end(), "close:" + lastFile));
    }
    EXPECT_EQ(ui.Calls().back(), "status:");
    EXPECT_FALSE(ui.Busy());
  }
  std::string Piece(int k) const { return dir / ("p." + IntToStrl(k, 3)); }

  std::vector<double> fractions_;

 private:
  bool stop_ = false;
  std::string stopAtPath_;
  int stopAtChunk_ = 0;
  int chunksAfterStop_ = 0;
};

TEST_F(StopTest, SplitStopsAtEachPointWithCompletePiecesAndAPrefixInWork) {
  struct Row {
    const char* what;
    std::function<void()> arm;
    std::vector<int64_t> lengths;  // of p.001, p.002, ... left behind
    int inWork;                    // the piece flushed last; 0 for none
  };
  for (const Row& r : {
           Row{"before the first piece", [&] { StopAtCall("busy:1"); }, {}, 0},
           Row{"inside the header write", [&] { StopAtChunk(Piece(1), 2); }, {262}, 1},
           Row{"inside a piece",
               [&] { StopAtChunk(dir / "photo.jpg", 3); },
               {kKB << 10, 1 << 20},
               2},
           Row{"between pieces",
               [&] { StopAtCall("status:ファイル分割中です。  2/3"); },
               {kKB << 10},
               1},
           Row{"during the next-medium notice",
               [&] { StopAtCall(std::string("notice:") + kNextMediumSplit); },
               {kKB << 10},
               1},
       }) {
    SCOPED_TRACE(r.what);
    for (int k = 1; k <= 3; ++k) std::filesystem::remove(Piece(k));
    ExpectStoppedQuietly(Run(true, r.arm), r.inWork ? Piece(r.inWork) : "", kNextMediumSplit);
    EXPECT_EQ(Lengths(dir / "p"), r.lengths);
    std::string written;
    for (int k = 1; FileExists(Piece(k)); ++k) written += ReadFile(Piece(k));
    EXPECT_TRUE(written.empty() || kData.rfind(written.substr(kHeaderSize), 0) == 0);
    EXPECT_TRUE(ReadFile(dir / "photo.jpg") == kData);
  }
}

TEST_F(StopTest, JoinStopsAtEachPointKeepingAPrefixOfTheSource) {
  fs.removable = false;
  ASSERT_EQ(Run(true), Outcome::Done);
  fs.removable = true;
  TempDir stick;
  struct Row {
    const char* what;
    std::function<void()> arm;
    size_t kept;
  };
  for (const Row& r : {
           Row{"inside a piece", [&] { StopAtChunk(Piece(2), 1); }, (kKB << 10) - 262 + (1 << 20)},
           Row{"between pieces", [&] { StopAtCall("status:ファイル結合中です。  2/3"); },
               (kKB << 10) - 262},
           Row{"during the next-medium notice",
               [&] {
                 std::filesystem::rename(Piece(3), stick / "p.003");
                 StopAtCall(std::string("notice:") + kNextMediumJoin);
               },
               (kKB << 11) - 262},
       }) {
    SCOPED_TRACE(r.what);
    ExpectStoppedQuietly(Run(false, r.arm), dir / "out", kNextMediumJoin);
    const std::string out = ReadFile(dir / "out");
    EXPECT_EQ(out.size(), r.kept);
    EXPECT_EQ(kData.rfind(out, 0), 0u) << "a prefix of the source";
    if (FileExists(stick / "p.003")) std::filesystem::rename(stick / "p.003", Piece(3));
  }
}

TEST_F(StopTest, ProgressRisesToTheWholeRunAndARemovableTargetIsPushedAsItGoes) {
  for (bool split : {true, false}) {
    SCOPED_TRACE(split ? "split" : "join");
    fractions_.clear();
    ASSERT_EQ(Run(split), Outcome::Done);
    EXPECT_GE(fractions_.size(), 6u) << "one report per chunk";
    EXPECT_TRUE(std::is_sorted(fractions_.begin(), fractions_.end()));
    EXPECT_GT(fractions_.front(), 0);
    EXPECT_DOUBLE_EQ(fractions_.back(), 1);
    const std::string target = split ? Piece(1) : dir / "out";
    EXPECT_EQ(WithPrefix(fs.events, "push:" + target).size(), split ? 2u : 6u);
  }
  EXPECT_TRUE(ReadFile(dir / "out") == kData);
}

}  // namespace
}  // namespace tolvanix
