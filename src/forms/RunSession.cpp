#include "forms/RunSession.h"

#include <utility>

#include "forms/Texts.h"

namespace tolvanix {

// The worker's side of the user: each call is carried to the window's thread
// and waited for. Once a stop is asked a prompt is not shown there and
// answers as cancelled; the status line and the cursor still follow the run
// to its end.
class RunSession::Carrier final : public Interaction {
 public:
  explicit Carrier(RunSession& session) : session_(session) {}

  void ShowNotice(const std::string& text) override {
    Prompt([&] { Window().ShowNotice(text); });
  }
  Answer AskYesNoCancel(const std::string& text) override {
    Answer answer = Answer::Cancel;
    Prompt([&] { answer = Window().AskYesNoCancel(text); });
    return answer;
  }
  bool RunFileDialog(TFileDialog& dialog) override {
    bool confirmed = false;
    Prompt([&] { confirmed = Window().RunFileDialog(dialog); });
    return confirmed;
  }
  void SetStatusText(const std::string& text) override {
    Call call{[&] { Window().SetStatusText(text); }};
    session_.Carry(call);
  }
  void SetBusyCursor(bool on) override {
    Call call{[&] { Window().SetBusyCursor(on); }};
    session_.Carry(call);
  }

 private:
  Interaction& Window() { return session_.window_.RunInteraction(); }
  void Prompt(std::function<void()> show) {
    Call call{std::move(show), true};
    session_.Carry(call);
  }

  RunSession& session_;
};

RunSession::~RunSession() { Abandon(); }

bool RunSession::StartSplit(int32_t pieceSizeKB) {
  return Start(true, [pieceSizeKB](CommandContext ctx) { return RunSplit(ctx, pieceSizeKB); });
}

bool RunSession::StartJoin() {
  return Start(false, [](CommandContext ctx) { return RunJoin(ctx); });
}

bool RunSession::Open(const HandedFile& handed, int32_t pieceSizeKB) {
  if (Running()) return false;
  handedOver_ = handed.path;
  const std::string* file = &handedOver_;
  if (handed.join) return Start(false, [file](CommandContext ctx) { return RunJoin(ctx, file); });
  return Start(
      true, [file, pieceSizeKB](CommandContext ctx) { return RunSplit(ctx, pieceSizeKB, file); });
}

bool RunSession::Start(bool split, std::function<Outcome(CommandContext)> command) {
  if (Running()) return false;
  splitting_ = split;
  stop_ = false;
  fraction_ = 0;
  shown_ = 0;
  worker_ = std::thread([this, command = std::move(command)] {
    Carrier user(*this);
    const std::unique_ptr<FileSystem> own = fileSystem_ ? nullptr : MakeNativeFileSystem();
    command({user, fileSystem_ ? *fileSystem_ : *own, dialogs_, handles_, this});
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(&end_);
    }
    changed_.notify_all();
    window_.WakeForRun();
  });
  return true;
}

void RunSession::Carry(Call& call) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (abandoned_) return;
    queue_.push_back(&call);
  }
  changed_.notify_all();
  window_.WakeForRun();
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return call.done || abandoned_; });
}

RunSession::Call* RunSession::ReadyLocked() {
  if (queue_.empty()) return nullptr;
  Call* call = queue_.front();
  // While the close question is open a prompt waits for the answer, and so
  // does the end of the run: the window must not close under the question.
  if (questionOpen_ && (call->prompt || call == &end_)) return nullptr;
  return call;
}

void RunSession::MakeCarriedCalls() {
  for (;;) {
    Call* call;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      call = ReadyLocked();
      if (!call) return;
      queue_.pop_front();
    }
    if (call == &end_) {
      worker_.join();
      window_.RunEnded();
      continue;
    }
    // A prompt may open a box whose event loop comes back here: the call is
    // off the queue by then, and the worker waits for it, so nothing follows.
    if (!call->prompt || !stop_) call->make();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      call->done = true;
    }
    changed_.notify_all();
  }
}

std::optional<double> RunSession::NewProgress() {
  const double fraction = fraction_;
  if (fraction == shown_) return std::nullopt;
  return shown_ = fraction;
}

bool RunSession::Proceed() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !questionOpen_ || abandoned_; });
  return !stop_;
}

bool RunSession::AskToStop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (questionOpen_ || !Running()) return false;
    questionOpen_ = true;
  }
  const bool yes = window_.AskToStopRun(Tr(splitting_ ? kStopSplitQuestion : kStopJoinQuestion));
  {
    // Yes stops the run the moment it is given: what waited for the answer
    // sees the stop.
    std::lock_guard<std::mutex> lock(mutex_);
    if (yes) stop_ = true;
    questionOpen_ = false;
  }
  changed_.notify_all();
  // What waited is made from the window's loop: a prompt shown after No,
  // answered as cancelled after Yes.
  window_.WakeForRun();
  return yes;
}

bool RunSession::WaitForEnd(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    MakeCarriedCalls();
    if (!Running()) return true;
    std::unique_lock<std::mutex> lock(mutex_);
    if (!changed_.wait_until(lock, deadline, [&] { return ReadyLocked() != nullptr; }))
      return false;
  }
}

void RunSession::Abandon() {
  if (!Running()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    abandoned_ = true;
    queue_.clear();
  }
  changed_.notify_all();
  worker_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.clear();
  abandoned_ = false;
}

}  // namespace tolvanix
