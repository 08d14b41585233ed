// The run session: a command on a worker thread, its calls made on the window's (the test's).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

#include "forms/RunSession.h"
#include "forms/Texts.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

using namespace std::chrono_literals;

const std::string kData = RandomBytes((3 << 20) - 5000, 5);  // 3 pieces of 1024 KB

// Not a CommandFixture: Windows keeps ended threads' handles a while, so none are counted here.
class RunSessionTest : public ::testing::Test, public RunWindow {
 protected:
  void SetUp() override {
    WriteFile(dir / "photo.jpg", kData);
    session_.UseFileSystem(&fs);
    fs.removable = false;
    // On the worker: at the trigger it waits until the window's thread lets it go on.
    fs.onEvent = [this](const std::string& event) {
      nextCreated_ = nextCreated_ || event == "create:" + next_;
      triggered_ = triggered_ || event == trigger_;
      for (int i = 0; i < 5000 && event == trigger_ && !released_; ++i)
        std::this_thread::sleep_for(1ms);
    };
  }
  void TearDown() override {
    EXPECT_FALSE(ui.Busy());
    EXPECT_EQ(ui.UnusedAnswers(), 0u);
  }
  size_t Prompts() const { return ui.Notices().size() + ui.Proposals().size(); }

  void WakeForRun() override { ++wakes_; }
  Interaction& RunInteraction() override {
    EXPECT_EQ(std::this_thread::get_id(), windowThread_);
    return ui;
  }
  // The question's own loop makes the run's calls until the run waits for the answer.
  bool AskToStopRun(const std::string& text) override {
    questions_.push_back(text);
    const size_t prompts = Prompts();
    released_ = true;
    EXPECT_FALSE(session_.WaitForEnd(100ms)) << "the run waits";
    EXPECT_EQ(Prompts(), prompts) << "no prompt meanwhile";
    EXPECT_FALSE(nextCreated_) << "nothing created meanwhile";
    wakesAtAnswer_ = wakes_;
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
  int wakesAtAnswer_ = 0;
  int ended_ = 0;
  std::vector<std::string> questions_;
  bool answer_ = false;
  std::string trigger_, next_;  // events: where the worker waits; the file it must not create
  std::atomic<bool> triggered_{false}, released_{false}, nextCreated_{false};
};

// Each chunk waits until the window's thread has looked at the progress.
TEST_F(RunSessionTest, CarriesEachCallToTheWindowThreadInOrderAndReportsProgressAndEnd) {
  std::atomic<int> chunks{0}, seen{0};
  fs.onChunk = [&](const std::string&) {
    const int chunk = ++chunks;
    for (int i = 0; i < 5000 && seen < chunk; ++i) std::this_thread::sleep_for(1ms);
  };
  fs.removable = true;  // a notice between pieces
  ui.ConfirmOpen(dir / "photo.jpg");
  ui.ConfirmSave(dir / "p.001");
  ASSERT_TRUE(session_.StartSplit(1024));
  EXPECT_FALSE(session_.StartJoin()) << "one run at a time";
  std::vector<double> fractions;  // as the window's timer shows them
  for (int i = 0; i < 10000 && session_.Running(); ++i) {
    if (wakes_.exchange(0) > 0) session_.MakeCarriedCalls();
    if (const auto fraction = session_.NewProgress()) fractions.push_back(*fraction);
    seen = chunks.load();
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(ended_, 1);
  EXPECT_GE(fractions.size(), 3u);
  EXPECT_EQ(std::adjacent_find(fractions.begin(), fractions.end(), std::greater_equal<>()),
            fractions.end())
      << "each shown once, rising";
  EXPECT_NEAR(fractions.empty() ? 0 : fractions.back(), 1, 1e-9);

  fs.onChunk = nullptr;
  ScriptedInteraction alone;
  alone.ConfirmOpen(dir / "photo.jpg");
  alone.ConfirmSave(dir / "q.001");
  FileDialogs dialogs;
  HandleFields handles;
  RunSplit({alone, fs, dialogs, handles}, 1024);
  EXPECT_EQ(ui.Calls(), alone.Calls());
}

// The close question answered (y, n) or a stop (s) as a piece closes or the first one opens.
TEST_F(RunSessionTest, PromptsAndNewFilesWaitForTheCloseQuestionAndNoneComeAfterAStop) {
  CommandFixture::CutSet(dir / "s", kData, 1 << 20);
  struct Row {
    bool join, removable;
    const char *at, *next;  // the piece closed (the first piece opened); the file created next
    char answer;
    size_t promptsAfter;
  };
  for (const Row& r : {
           Row{false, true, "p.001", "p.002", 'n', 2},
           Row{false, true, "p.001", "p.002", 's', 0},
           Row{false, false, "p.003", "p.004", 'y', 0},
           Row{true, false, "s.001", "out", 'y', 0},
       }) {
    SCOPED_TRACE(std::string(r.join ? "join " : "split ") + (r.removable ? "removable " : "") +
                 r.at + " " + r.answer);
    ui = ScriptedInteraction();
    questions_.clear();
    for (const char* name : {"p.001", "p.002", "p.003"}) std::remove((dir / name).c_str());
    ended_ = wakesAtAnswer_ = 0;
    triggered_ = released_ = nextCreated_ = false;
    fs.removable = r.removable;
    trigger_ = (r.join ? "open:" : "close:") + dir / r.at;
    next_ = dir / r.next;
    answer_ = r.answer == 'y';
    ui.ConfirmOpen(dir / (r.join ? "s.001" : "photo.jpg"));
    if (!r.join) ui.ConfirmSave(dir / "p.001");
    ASSERT_TRUE(r.join ? session_.StartJoin() : session_.StartSplit(1024));
    while (!triggered_ && session_.Running()) session_.WaitForEnd(1ms);
    r.answer == 's' ? session_.Stop() : void(session_.AskToStop());
    EXPECT_GT(wakes_, wakesAtAnswer_) << "the window woken for what waited";
    released_ = true;
    EXPECT_TRUE(session_.WaitForEnd(10s));
    EXPECT_EQ(ended_, 1);
    const std::string question = r.join ? kStopJoinQuestion : kStopSplitQuestion;
    EXPECT_EQ(questions_, std::vector<std::string>(r.answer != 's', question));
    EXPECT_EQ(nextCreated_, r.answer == 'n');
    EXPECT_EQ(Prompts(), (r.join ? 1 : 2) + r.promptsAfter);
    const auto& calls = ui.Calls();
    EXPECT_EQ(std::vector<std::string>(calls.end() - 2, calls.end()),
              (std::vector<std::string>{"busy:0", "status:"}));
  }
}

TEST_F(RunSessionTest, AbandonedTheRunEndsWithoutTheWindowThread) {
  ASSERT_TRUE(session_.StartSplit(1024));
  session_.Abandon();
  EXPECT_FALSE(session_.Running());
  EXPECT_EQ(ended_, 0);
  EXPECT_EQ(ui.Calls(), std::vector<std::string>());
}

}  // namespace
}  // namespace tolvanix
