// Runs a split or a join on a worker thread while the window's thread goes
// on with its messages: the window repaints, shows how far the run is (the
// fill behind the status line, the taskbar button), and can stop it. The
// command stays sequential: each call it makes to the user is carried to
// the window's thread, in order, and the command waits for the answer.
//
// The close question: while it is open a prompt of the run waits, and so
// does the run before it creates a piece or its output; after Yes neither
// goes on, and no prompt of the run is shown any more.
#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <shobjidl.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "core/Commands.h"

namespace tolvanix::win32 {

class StatusLine;

class Runner final : public RunControl {
 public:
  enum class Kind { Split, Join };
  using Work = std::function<void(Interaction& ui, RunControl& control)>;

  // `window` forwards its messages to HandleMessage; `gui` talks to the user
  // on its thread; `statusLine` shows the progress.
  Runner(HWND window, Interaction& gui, StatusLine& statusLine);
  // A run still going is stopped and waited for.
  ~Runner() override;
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  // Starts `work`; `ended` is called on the window's thread when it is over.
  // False while another run goes on.
  bool Start(Kind kind, Work work, std::function<void()> ended);
  bool Running() const { return worker_.joinable(); }

  // Stops at the next chunk or prompt; an open prompt closes as cancelled.
  void RequestStop();
  // The question before a close during a run: true for Yes, the run then
  // asked to stop.
  bool AskToStop();
  // Stops and handles messages until the run has ended, at most `ms`.
  void StopAndWait(DWORD ms);

  // The window's messages that are the runner's: true when handled.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // RunControl, asked on the worker.
  void Progress(double fraction) override;
  bool StopRequested() override { return stop_.load(); }
  bool Proceed() override;

  // The progress last shown on the taskbar button, from 0 to 1; -1: none.
  double TaskbarShown() const { return taskbarShown_; }
  static constexpr UINT kProgressMs = 100;

 private:
  struct Call;
  class Marshal;
  void Send(Call& call);
  void Execute(Call* call);
  void Ended();
  void ShowProgress();
  void ShowOnTaskbar(double fraction);

  HWND window_;
  Interaction& gui_;
  StatusLine& status_;
  Kind kind_ = Kind::Split;
  std::thread worker_;
  std::function<void()> ended_;
  std::atomic<bool> stop_{false};
  std::atomic<double> fraction_{0};
  double shown_ = 0;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool questionOpen_ = false;  // guarded by mutex_
  Call* parked_ = nullptr;     // a prompt that came while the question was open

  ITaskbarList3* taskbar_ = nullptr;
  double taskbarShown_ = -1;
};

}  // namespace tolvanix::win32
