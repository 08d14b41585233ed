// A split or a join run on a worker thread while the window's thread goes on
// with its events: the window repaints, shows how far the run is, and can stop
// it. The command itself stays sequential: each call it makes to the user is
// carried to the window's thread, in order, and the command waits for the
// answer, so the dialogue is the same as on one thread. The carried calls wait
// here, the window only woken for them: none is lost with a message the
// window's queue drops, and the session can make them itself while it waits
// for a stopped run.
//
// The close question: while it is open a prompt of the run waits, and so do
// the run before it creates a piece or its output and the run's end; after Yes
// the run goes on to nothing new, and no prompt of it shows any more. A stop
// without the question (a signal, the session ending) does the same.
//
// The session also holds what the commands work with between runs: the
// window's five file dialogs and its two handle fields.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/Commands.h"
#include "forms/Handover.h"

namespace tolvanix {

// What a window gives the run session it holds. All but WakeForRun are called
// on the window's thread.
class RunWindow {
 public:
  // Has the window's thread call RunSession::MakeCarriedCalls soon. Called
  // from any thread.
  virtual void WakeForRun() = 0;
  // The boxes, dialogs, status line and cursor.
  virtual Interaction& RunInteraction() = 0;
  // The question before a close during a run, `text` in a box with Yes and
  // No: true for Yes.
  virtual bool AskToStopRun(const std::string& text) = 0;
  // The run is over: its files are closed and its worker is gone.
  virtual void RunEnded() = 0;

 protected:
  ~RunWindow() = default;
};

class RunSession final : private RunControl {
 public:
  // How often the window shows the progress, at most.
  static constexpr int kProgressMs = 100;

  explicit RunSession(RunWindow& window) : window_(window) {}
  // A run still going is stopped and its worker waited for; the calls it
  // carries from then on are not made.
  ~RunSession() override;
  RunSession(const RunSession&) = delete;
  RunSession& operator=(const RunSession&) = delete;

  FileDialogs& Dialogs() { return dialogs_; }
  // For tests: the commands work on `fs` instead of the real disk.
  void UseFileSystem(FileSystem* fs) { fileSystem_ = fs; }

  // Starts the split (the piece size as the field read at the click), the
  // join, or the command for a file handed over, which takes it as the file
  // confirmed in its first prompt. False, and nothing started, while a run
  // goes on. The end comes as RunEnded.
  bool StartSplit(int32_t pieceSizeKB);
  bool StartJoin();
  bool Open(const HandedFile& file, int32_t pieceSizeKB);
  bool Running() const { return worker_.joinable(); }

  // The share of the run done, from 0 to 1, when it has moved since it was
  // last asked for: what the window's progress timer shows.
  std::optional<double> NewProgress();

  // Makes the calls the run has carried to this, the window's thread, in
  // order, and ends the run when its worker is done.
  void MakeCarriedCalls();

  // The question before a close during a run (AskToStopRun): true for Yes,
  // the run then stopping. False at once while the question is open.
  bool AskToStop();
  // Stops the run without a question: at its next chunk, before it creates a
  // file, and with no prompt shown any more, each answering as cancelled.
  // The window closes a prompt that is open.
  void Stop() { stop_ = true; }
  // Makes the run's calls here until it has ended, at most `limit`: true if
  // it has.
  bool WaitForEnd(std::chrono::milliseconds limit);
  // Stops a run still going and waits for its worker without making any
  // more of its calls: for a window that is going away.
  void Abandon();

 private:
  struct Call {
    std::function<void()> make;  // empty: the end of the run
    bool prompt = false;         // a box or a dialog
    bool done = false;
  };
  class Carrier;

  bool Start(bool split, std::function<Outcome(CommandContext)> command);
  // On the worker: hands the call to the window's thread and waits until it
  // is made (or the session gives up on it).
  void Carry(Call& call);
  // The call to make next, or null (none, or the first must wait).
  Call* ReadyLocked();

  // RunControl, asked by the command on the worker.
  void Progress(double fraction) override { fraction_ = fraction; }
  bool StopRequested() override { return stop_; }
  bool Proceed() override;

  RunWindow& window_;
  FileDialogs dialogs_;
  HandleFields handles_;  // used by the worker only
  FileSystem* fileSystem_ = nullptr;
  std::string handedOver_;  // the file a run was handed, alive as long as the run
  bool splitting_ = false;
  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<double> fraction_{0};
  double shown_ = 0;

  std::mutex mutex_;
  std::condition_variable changed_;
  // Guarded by mutex_.
  std::deque<Call*> queue_;
  bool questionOpen_ = false;
  bool abandoned_ = false;
  Call end_;
};

}  // namespace tolvanix
