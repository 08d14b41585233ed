#include "win32/Runner.h"

#include <utility>

#include "forms/Texts.h"
#include "win32/Boxes.h"
#include "win32/Controls.h"
#include "win32/Cursor.h"
#include "win32/Wnd.h"

namespace tolvanix::win32 {

namespace {

constexpr UINT kCallMessage = WM_APP + 1;   // lParam: the Call to make
constexpr UINT kEndedMessage = WM_APP + 2;  // the worker is done
constexpr UINT_PTR kProgressTimer = 0x7A12;

}  // namespace

struct Runner::Call {
  std::function<void()> make;
  bool prompt;  // a box or a dialog: waits for the close question, not shown once stopping
  bool done = false;
};

// The worker's side of the user: each call is handed to the window's thread
// and waited for. Once a stop is asked a prompt is not shown and answers as
// cancelled; the status line and the cursor still follow the run to its end.
class Runner::Marshal final : public Interaction {
 public:
  explicit Marshal(Runner& runner) : runner_(runner) {}

  void ShowNotice(const std::string& text) override {
    Prompt([&] { runner_.gui_.ShowNotice(text); });
  }
  Answer AskYesNoCancel(const std::string& text) override {
    Answer answer = Answer::Cancel;
    Prompt([&] { answer = runner_.gui_.AskYesNoCancel(text); });
    return answer;
  }
  bool RunFileDialog(TFileDialog& dialog) override {
    bool confirmed = false;
    Prompt([&] { confirmed = runner_.gui_.RunFileDialog(dialog); });
    return confirmed;
  }
  void SetStatusText(const std::string& text) override {
    Call call{[&] { runner_.gui_.SetStatusText(text); }, false};
    runner_.Send(call);
  }
  void SetBusyCursor(bool on) override {
    Call call{[&] { runner_.gui_.SetBusyCursor(on); }, false};
    runner_.Send(call);
  }

 private:
  void Prompt(std::function<void()> show) {
    if (runner_.StopRequested()) return;
    Call call{std::move(show), true};
    runner_.Send(call);
  }

  Runner& runner_;
};

Runner::Runner(HWND window, Interaction& gui, StatusLine& statusLine)
    : window_(window), gui_(gui), status_(statusLine) {}

Runner::~Runner() {
  if (Running()) StopAndWait(INFINITE);
  if (taskbar_) taskbar_->Release();
}

bool Runner::Start(Kind kind, Work work, std::function<void()> ended) {
  if (Running()) return false;
  kind_ = kind;
  ended_ = std::move(ended);
  stop_ = false;
  fraction_ = 0;
  shown_ = 0;
  SetTimer(window_, kProgressTimer, kProgressMs, nullptr);
  worker_ = std::thread([this, work = std::move(work)] {
    Marshal user(*this);
    work(user, *this);
    PostMessageW(window_, kEndedMessage, 0, 0);
  });
  return true;
}

void Runner::Send(Call& call) {
  std::unique_lock<std::mutex> lock(mutex_);
  // Not carried (the queue full): not made, a prompt answering as cancelled.
  if (!PostMessageW(window_, kCallMessage, 0, reinterpret_cast<LPARAM>(&call))) return;
  changed_.wait(lock, [&] { return call.done; });
}

void Runner::Execute(Call* call) {
  if (!call->prompt || !StopRequested()) call->make();
  std::lock_guard<std::mutex> lock(mutex_);
  call->done = true;
  changed_.notify_all();
}

bool Runner::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kCallMessage: {
      auto* call = reinterpret_cast<Call*>(lParam);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (call->prompt && questionOpen_) {
          parked_ = call;  // answered once the question is
          return true;
        }
      }
      Execute(call);
      return true;
    }
    case kEndedMessage:
      Ended();
      return true;
    case WM_TIMER:
      if (wParam != kProgressTimer) return false;
      ShowProgress();
      return true;
  }
  return false;
}

void Runner::Progress(double fraction) { fraction_.store(fraction); }

bool Runner::Proceed() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !questionOpen_; });
  return !StopRequested();
}

void Runner::RequestStop() {
  if (!Running()) return;
  stop_ = true;
  CloseModalWindows(window_);
}

bool Runner::AskToStop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (questionOpen_) return false;
    questionOpen_ = true;
  }
  const bool yes =
      ShowBox(window_, StopQuestionBox(),
              Tr(kind_ == Kind::Split ? kStopSplitQuestion : kStopJoinQuestion)) == Answer::Yes;
  if (yes) stop_ = true;
  Call* parked;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    questionOpen_ = false;
    parked = std::exchange(parked_, nullptr);
    changed_.notify_all();
  }
  // Made from the message loop: shown after No, answered cancelled after Yes.
  if (parked) PostMessageW(window_, kCallMessage, 0, reinterpret_cast<LPARAM>(parked));
  return yes;
}

void Runner::StopAndWait(DWORD ms) {
  RequestStop();
  const ULONGLONG deadline = ms == INFINITE ? ~0ull : GetTickCount64() + ms;
  while (Running() && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (Running() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      ProcessMessage(msg);
    }
  }
}

void Runner::Ended() {
  worker_.join();
  KillTimer(window_, kProgressTimer);
  status_.SetFill(0);
  ShowOnTaskbar(-1);
  BusyCursor::Set(false);
  if (auto ended = std::exchange(ended_, nullptr)) ended();
}

void Runner::ShowProgress() {
  const double fraction = fraction_.load();
  if (fraction == shown_) return;
  shown_ = fraction;
  status_.SetFill(fraction);
  ShowOnTaskbar(fraction);
}

void Runner::ShowOnTaskbar(double fraction) {
  if (!taskbar_ && fraction >= 0) {
    void* list = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, &list))) {
      taskbar_ = static_cast<ITaskbarList3*>(list);
      taskbar_->HrInit();
    }
  }
  if (taskbar_) {
    if (fraction < 0) {
      taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
    } else {
      taskbar_->SetProgressValue(window_, static_cast<ULONGLONG>(fraction * 1000 + 0.5), 1000);
    }
  }
  taskbarShown_ = fraction;
}

}  // namespace tolvanix::win32
