// The run session: a command on a worker thread, each of its calls made on the
// window's thread (here the test's own, its loop Pump), the close question, a
// stop, the progress and the end.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "forms/RunSession.h"
#include "forms/Texts.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kData = RandomBytes((3 << 20) - 5000, 5);  // 3 pieces of 1024 KB

bool IsPrompt(const std::string& call) {
  for (const char* kind : {"notice:", "ask:", "open:", "save:"})
    if (call.rfind(kind, 0) == 0) return true;
  return false;
}

// Not a CommandFixture: on Windows the threads library keeps handles of ended threads for a
// while, so handles are not counted here; the commands' own are, where they run on one thread.
class RunSessionTest : public ::testing::Test, public RunWindow {
 protected:
  void SetUp() override {
    WriteFile(dir / "photo.jpg", kData);
    session_.UseFileSystem(&fs);
    fs.removable = false;
    // On the worker. At the trigger it waits until the window's thread has acted on it.
    fs.onEvent = [this](const std::string& event) {
      spaces_ += event.rfind("space:", 0) == 0;
      nextCreated_ = nextCreated_ || event == "create:" + next_;
      if (event != trigger_) return;
      triggered_ = true;
      for (int i = 0; i < 5000 && !released_; ++i) std::this_thread::sleep_for(1ms);
    };
  }
  void TearDown() override {
    EXPECT_FALSE(ui.Busy());
    EXPECT_EQ(ui.UnusedAnswers(), 0u);
  }
  // A fresh run: no answers, no files of the last, nothing seen.
  void Reset() {
    ui = ScriptedInteraction();
    for (const char* name : {"p.001", "p.002", "p.003", "out"}) std::remove((dir / name).c_str());
    ended_ = 0;
    spaces_ = 0;
    triggered_ = released_ = nextCreated_ = false;
  }

  // The window's loop: on a wake makes the carried calls; while `go` holds
  // and the run goes on, 10 s at most.
  void Pump(const std::function<bool()>& go = [] { return true; }) {
    for (const auto until = Clock::now() + 10s;
         session_.Running() && go() && Clock::now() < until;) {
      for (int i = 0; i < 10 && wakes_ == 0; ++i) std::this_thread::sleep_for(1ms);
      const int wakes = wakes_.exchange(0);
      wakesTaken_ += wakes;
      if (triggered_ && atTrigger_) std::exchange(atTrigger_, nullptr)();
      if (wakes > 0) session_.MakeCarriedCalls();
      if (const auto fraction = session_.NewProgress()) fractions_.push_back(*fraction);
      seen_ = chunks_.load();
    }
  }

  void WakeForRun() override { ++wakes_; }
  Interaction& RunInteraction() override {
    EXPECT_EQ(std::this_thread::get_id(), windowThread_);
    return ui;
  }
  // The question's own loop: the run's calls go on being made until the run
  // is held, by a call carried but not made (a prompt), or after piece 2's
  // free space (its creation next); then a moment more, for a run that
  // would not wait.
  bool AskToStopRun(const std::string& text) override {
    questions_.push_back(text);
    const int wakesBefore = wakesTaken_;
    const size_t callsBefore = callsAtQuestion_ = ui.Calls().size();
    released_ = true;
    const auto held = [&] {
      return wakesTaken_ - wakesBefore > static_cast<int>(ui.Calls().size() - callsBefore) ||
             spaces_ >= 2;
    };
    Pump([&] { return !held(); });
    EXPECT_TRUE(held()) << "the run came to what waits";
    const auto grace = Clock::now() + 50ms;
    Pump([&] { return Clock::now() < grace; });
    return answer_;
  }
  void RunEnded() override {
    EXPECT_EQ(std::this_thread::get_id(), windowThread_);
    ++ended_;
  }

  TempDir dir;
  FaultyFileSystem fs;
  ScriptedInteraction ui;
  RunSession session_{*this};
  const std::thread::id windowThread_ = std::this_thread::get_id();
  std::atomic<int> wakes_{0};
  int wakesTaken_ = 0;
  int ended_ = 0;
  std::vector<double> fractions_;
  std::vector<std::string> questions_;
  size_t callsAtQuestion_ = 0;
  bool answer_ = false;
  std::function<void()> atTrigger_;  // on the window's thread, once the trigger has come
  std::string trigger_, next_;       // events: where the worker waits; the file it must not create
  std::atomic<bool> triggered_{false}, released_{false}, nextCreated_{false};
  std::atomic<int> spaces_{0}, chunks_{0}, seen_{0};
};

// Each chunk waits until the window's thread has looked at the progress. The split says to the
// user what it says on one thread, in that order; a second run is refused meanwhile.
TEST_F(RunSessionTest, CarriesEachCallToTheWindowThreadInOrderAndReportsProgressAndEnd) {
  fs.removable = true;  // a notice between pieces
  fs.onChunk = [this](const std::string&) {
    const int chunk = ++chunks_;
    for (int i = 0; i < 5000 && seen_ < chunk; ++i) std::this_thread::sleep_for(1ms);
  };
  ui.ConfirmOpen(dir / "photo.jpg");
  ui.ConfirmSave(dir / "p.001");
  ASSERT_TRUE(session_.StartSplit(1024));
  EXPECT_FALSE(session_.StartJoin()) << "one run at a time";
  Pump();
  fs.onChunk = nullptr;
  EXPECT_FALSE(session_.Running());
  EXPECT_EQ(ended_, 1);
  EXPECT_GE(fractions_.size(), 3u);
  EXPECT_TRUE(std::is_sorted(fractions_.begin(), fractions_.end()));
  EXPECT_NEAR(fractions_.empty() ? 0 : fractions_.back(), 1, 1e-9);

  ScriptedInteraction alone;
  alone.ConfirmOpen(dir / "photo.jpg");
  alone.ConfirmSave(dir / "q.001");
  FileDialogs dialogs;
  HandleFields handles;
  RunSplit({alone, fs, dialogs, handles}, 1024);
  EXPECT_EQ(ui.Calls(), alone.Calls());
}

// The question comes when piece 1 is closed (a split: the next-medium notice or piece 2's
// creation next) or the first piece is open (a join: its output prompt next). While it is open
// that waits; after Yes no prompt shows and nothing is created; after No the run goes on.
TEST_F(RunSessionTest, WhileTheCloseQuestionIsOpenPromptsAndNewFilesWaitForItsAnswer) {
  CommandFixture::CutSet(dir / "s", kData, 1 << 20);
  struct Row {
    bool join, removable, yes;
  };
  for (const Row& r : {
           Row{false, true, true},
           Row{false, true, false},
           Row{false, false, true},
           Row{false, false, false},
           Row{true, false, true},
           Row{true, false, false},
       }) {
    SCOPED_TRACE(std::string(r.join ? "join" : "split") + (r.removable ? " removable" : "") +
                 (r.yes ? " yes" : " no"));
    Reset();
    questions_.clear();
    fs.removable = r.removable;
    trigger_ = r.join ? "open:" + dir / "s.001" : "close:" + dir / "p.001";
    next_ = dir / (r.join ? "out" : "p.002");
    answer_ = r.yes;
    atTrigger_ = [this] { session_.AskToStop(); };
    ui.ConfirmOpen(dir / (r.join ? "s.001" : "photo.jpg"));
    if (!r.join) ui.ConfirmSave(dir / "p.001");
    if (r.join && !r.yes) ui.ConfirmSave(next_);
    ASSERT_TRUE(r.join ? session_.StartJoin() : session_.StartSplit(1024));
    Pump();
    EXPECT_EQ(ended_, 1);
    EXPECT_EQ(questions_,
              std::vector<std::string>{r.join ? kStopJoinQuestion : kStopSplitQuestion});
    EXPECT_EQ(nextCreated_, !r.yes);
    const auto& calls = ui.Calls();
    EXPECT_EQ(std::any_of(calls.begin() + callsAtQuestion_, calls.end(), IsPrompt),
              !r.yes && (r.join || r.removable));
  }
}

// A signal or the session's end, while the next-medium notice is open or as piece 1 is closed:
// no prompt shows any more and nothing is created; the status line and the cursor follow the
// run to its end, made where the window waits for it.
TEST_F(RunSessionTest, AStopAnswersEveryPromptAsCancelledAndTheWindowWaitsForTheEnd) {
  for (const bool duringNotice : {true, false}) {
    SCOPED_TRACE(duringNotice ? "during the notice" : "as piece 1 is closed");
    Reset();
    fs.removable = true;
    trigger_ = "close:" + dir / "p.001";
    next_ = dir / "p.002";
    released_ = duringNotice;
    ui.onNotice = [&](const std::string&) { session_.Stop(); };
    atTrigger_ = [&] {
      if (duringNotice) return;
      session_.Stop();
      released_ = true;
      EXPECT_TRUE(session_.WaitForEnd(10s));
      EXPECT_FALSE(session_.Running());
    };
    ui.ConfirmOpen(dir / "photo.jpg");
    ui.ConfirmSave(dir / "p.001");
    ASSERT_TRUE(session_.StartSplit(1024));
    Pump();
    EXPECT_EQ(ended_, 1);
    EXPECT_FALSE(nextCreated_);
    EXPECT_EQ(ui.Notices().size(), duringNotice ? 1u : 0u);
    const auto& calls = ui.Calls();
    EXPECT_EQ(std::vector<std::string>(calls.end() - 2, calls.end()),
              (std::vector<std::string>{"busy:0", "status:"}));
  }
}

// A file handed over opens as its name says (a first piece joins, anything else splits) or as
// asked, as the file of the command's first prompt; the caller's copy of its name may go.
TEST_F(RunSessionTest, AFileHandedOverOpensAsItsNameSaysOrAsAsked) {
  CommandFixture::CutSet(dir / "s", kData, 1 << 20);
  WriteFile(dir / "s.bin", ReadFile(dir / "s.001"));
  const struct {
    const char* file;
    OpenAs as;
    const char* proposed;  // by the output prompt, the first shown
  } rows[] = {
      {"s.001", OpenAs::ByName, "photo.jpg"},
      {"photo.jpg", OpenAs::ByName, "photo.001"},
      {"s.001", OpenAs::Split, "s.001"},
      {"s.bin", OpenAs::Join, "photo.jpg"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.file);
    Reset();
    ui.CancelSave();
    ASSERT_TRUE(session_.Open(dir / r.file, r.as, 1024));
    Pump();
    EXPECT_EQ(ui.Proposals(), std::vector<std::string>{r.proposed});
  }
}

// A window going away during a run: the run stops, its calls no longer made.
TEST_F(RunSessionTest, AbandonedTheRunEndsWithoutTheWindowThread) {
  ASSERT_TRUE(session_.StartSplit(1024));
  session_.Abandon();
  EXPECT_FALSE(session_.Running());
  EXPECT_EQ(ended_, 0);
  EXPECT_EQ(ui.Calls(), std::vector<std::string>());
}

}  // namespace
}  // namespace tolvanix
