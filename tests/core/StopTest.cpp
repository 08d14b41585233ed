// A run watched from outside: it reports how far it is, and when asked to
// stop it ends at the next chunk or prompt, with nothing told, its files
// flushed and closed, and what it wrote a prefix of what it would have.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/PieceFormat.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

class Watcher final : public RunControl {
 public:
  void Progress(double fraction) override { fractions.push_back(fraction); }
  bool StopRequested() override { return stop; }
  bool stop = false;
  std::vector<double> fractions;
};

constexpr int kKB = 2048;  // pieces of two chunks
const std::string kData = RandomBytes((5 << 20) + 1000, 9);

bool IsPrefix(const std::string& bytes) { return kData.compare(0, bytes.size(), bytes) == 0; }

class StopTest : public CommandFixture {
 protected:
  void SetUp() override {
    ui = ScriptedInteraction();
    fs.events.clear();
    watcher = Watcher();
    chunksAfterStop_ = 0;
    CommandFixture::SetUp();
    WriteFile(dir / "photo.jpg", kData);
    fs.removable = true;
    fs.onChunk = [this](const std::string& path) {
      chunksAfterStop_ += watcher.stop;
      if (path == stopAtPath_ && --stopAtChunk_ == 0) watcher.stop = true;
    };
  }
  // Stops when the file at `path` is read, written or copied from for the nth
  // time.
  void StopAtChunk(const std::string& path, int n) {
    stopAtPath_ = path;
    stopAtChunk_ = n;
  }
  // Stops when the run records this interaction call.
  void StopAtCall(const std::string& call) {
    ui.tap = [this, call](const std::string& event) {
      fs.events.push_back("ui:" + event);
      if (event == call) watcher.stop = true;
    };
  }
  Outcome Run(bool split) {
    const CommandContext ctx{ui, fs, dialogs, handles, &watcher};
    return split ? RunSplit(ctx, kKB) : RunJoin(ctx);
  }
  // The piece in work was flushed before it was closed, and nothing was told
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
  }
  std::string Piece(int k) const { return dir / ("p." + IntToStrl(k, 3)); }

  Watcher watcher;

 private:
  std::string stopAtPath_;
  int stopAtChunk_ = 0;
  int chunksAfterStop_ = 0;
};

TEST_F(StopTest, SplitStopsAtEachPointWithCompletePiecesAndAPrefixInWork) {
  const std::string status2 = "status:ファイル分割中です。  2/3";
  const std::string medium = std::string("notice:") + kNextMediumSplit;
  struct Row {
    const char* what;
    std::function<void()> arm;
    std::vector<int64_t> lengths;  // of p.001, p.002, ... left behind
    int inWork;                    // the piece flushed last; 0 for none
  };
  for (const Row& r : {
           Row{"before the first piece", [&] { StopAtCall("busy:1"); }, {}, 0},
           Row{"inside the header write",
               [&] { StopAtChunk(Piece(1), 2); },
               {262},
               1},  // the count
           Row{"inside a piece",
               [&] { StopAtChunk(dir / "photo.jpg", 3); },  // piece 2's first
               {kKB << 10, 1 << 20},
               2},
           Row{"between pieces", [&] { StopAtCall(status2); }, {kKB << 10}, 1},
           Row{"during the next-medium notice", [&] { StopAtCall(medium); }, {kKB << 10}, 1},
       }) {
    SCOPED_TRACE(r.what);
    TearDown();
    SetUp();
    for (int k = 1; k <= 3; ++k) std::filesystem::remove(Piece(k));
    ui.ConfirmOpen(dir / "photo.jpg");
    ui.ConfirmSave(dir / "p");
    r.arm();
    ExpectStoppedQuietly(Run(true), r.inWork ? Piece(r.inWork) : "", kNextMediumSplit);
    std::vector<int64_t> lengths;
    std::string written;
    for (int k = 1; FileExists(Piece(k)); ++k) {
      lengths.push_back(FileSize(Piece(k)));
      written += ReadFile(Piece(k));
    }
    EXPECT_EQ(lengths, r.lengths);
    EXPECT_TRUE(written.empty() || IsPrefix(written.substr(kHeaderSize)));
    EXPECT_TRUE(ReadFile(dir / "photo.jpg") == kData);
  }
}

TEST_F(StopTest, JoinStopsAtEachPointKeepingAPrefixOfTheSource) {
  ui.ConfirmOpen(dir / "photo.jpg");
  ui.ConfirmSave(dir / "p");
  fs.removable = false;
  ASSERT_EQ(RunSplit({ui, fs, dialogs, handles}, kKB), Outcome::Done);
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
    TearDown();
    SetUp();
    ui.ConfirmOpen(Piece(1));
    ui.ConfirmSave(dir / "out");
    r.arm();
    ExpectStoppedQuietly(Run(false), dir / "out", kNextMediumJoin);
    const std::string out = ReadFile(dir / "out");
    EXPECT_EQ(out.size(), r.kept);
    EXPECT_TRUE(IsPrefix(out));
    if (FileExists(stick / "p.003")) std::filesystem::rename(stick / "p.003", Piece(3));
  }
}

TEST_F(StopTest, ProgressRisesToTheWholeRun) {
  for (bool split : {true, false}) {
    SCOPED_TRACE(split ? "split" : "join");
    watcher.fractions.clear();
    ui.ConfirmOpen(split ? dir / "photo.jpg" : Piece(1));
    ui.ConfirmSave(split ? dir / "p" : dir / "out");
    ASSERT_EQ(Run(split), Outcome::Done);
    EXPECT_GE(watcher.fractions.size(), 6u) << "one report per chunk";
    EXPECT_TRUE(std::is_sorted(watcher.fractions.begin(), watcher.fractions.end()));
    EXPECT_GT(watcher.fractions.front(), 0);
    EXPECT_DOUBLE_EQ(watcher.fractions.back(), 1);
  }
  EXPECT_TRUE(ReadFile(dir / "out") == kData);
  EXPECT_FALSE(fs.Flushes().empty());
  const auto pushes = WithPrefix(fs.events, "push:");
  EXPECT_EQ(std::count(pushes.begin(), pushes.end(), dir / "out"), 6)
      << "a removable output is pushed out chunk by chunk";
}

}  // namespace
}  // namespace tolvanix
