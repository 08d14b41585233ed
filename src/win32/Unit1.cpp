#include "win32/Unit1.h"

#include <algorithm>
#include <utility>

#include "core/PieceFormat.h"
#include "forms/FormDescriptions.h"
#include "forms/FormLayout.h"
#include "forms/Texts.h"
#include "win32/Boxes.h"
#include "win32/Cursor.h"
#include "win32/Unit2.h"
#include "win32/Wide.h"

namespace tolvanix::win32 {

namespace {

constexpr UINT kRunMessage = WM_APP + 1;      // make the run's carried calls
constexpr UINT kOpenMessage = WM_APP + 10;    // run pendingFile_
constexpr UINT kNoticeMessage = WM_APP + 11;  // show pendingNotice_
constexpr UINT_PTR kProgressTimer = 0x7A12;

bool IsUserInput(UINT msg) {
  return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST && msg != WM_SYSKEYDOWN && msg != WM_SYSKEYUP &&
          msg != WM_SYSCHAR) ||
         (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEMOVE);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

TForm1::TForm1()
    : session_(*this),
      OpenDialog1(session_.Dialogs().OpenDialog1),
      SaveDialog1(session_.Dialogs().SaveDialog1),
      OpenDialog2(session_.Dialogs().OpenDialog2),
      SaveDialog2(session_.Dialogs().SaveDialog2),
      OpenDialog3(session_.Dialogs().OpenDialog3) {}

TForm1::~TForm1() {
  session_.Abandon();  // a run still going stops first, while its window lives
  endsProgram_ = false;
  if (hwnd()) DestroyWindow(hwnd());  // before the font its controls use goes
}

bool TForm1::Create() {
  const FormDescription& form = Form1Description();
  if (!CreateTop(Widen(Tr(form.caption)), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                 WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, nullptr, form.clientWidth,
                 form.clientHeight)) {
    return false;
  }
  gui_ = std::make_unique<Win32Interaction>(hwnd(), Label3);
  dropTarget_.Register(
      hwnd(),
      [this](const std::vector<std::string>& entries, POINT screen, DWORD offered) {
        return AnswerDrop(entries, screen, offered);
      },
      [this](const HandedFile& file) { OpenFile(file); });
  const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  const auto text = [&](const char* name) { return Widen(Tr(form.Control(name).text)); };
  Label1.Create(hwnd(), text("Label1"), true);
  Label2.Create(hwnd(), text("Label2"), true);
  Label3.Create(hwnd());
  Button1.Create(hwnd(), text("Button1"));
  Button2.Create(hwnd(), text("Button2"));
  Button3.Create(hwnd(), text("Button3"));
  SpinEdit1.Create(hwnd(), text("SpinEdit1"));
  Button4.Create(hwnd(), text("Button4"));
  Button1.onClick = [this] { Button1Click(&Button1); };
  Button2.onClick = [this] { Button2Click(&Button2); };
  Button3.onClick = [this] { Button3Click(&Button3); };
  Button4.onClick = [this] { Button4Click(&Button4); };

  // Windows stack the first child created on top and tab in stacking order,
  // and screen readers name a control that has no text of its own (the
  // field, the progress control) by the label right above it. So: the
  // controls that take the focus in tab order, the field between its label
  // and its unit; then the others from front (last created) to back, the
  // status line's progress control right below it.
  std::vector<const ControlDescription*> order;
  for (const ControlDescription& c : form.controls)
    if (c.tabOrder >= 0) order.push_back(&c);
  std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
  std::vector<HWND> stack;
  const auto labelsOf = [&](const char* control, bool unit) {
    for (const LabelOf& l : form.labels)
      if (l.unit == unit && l.control == std::string_view(control)) stack.push_back(At(l.label));
  };
  for (const ControlDescription* c : order) {
    labelsOf(c->name, false);
    stack.push_back(At(c->name));
    labelsOf(c->name, true);
  }
  for (auto c = form.controls.rbegin(); c != form.controls.rend(); ++c) {
    const HWND hwnd = At(c->name);
    if (hwnd && std::find(stack.begin(), stack.end(), hwnd) == stack.end()) stack.push_back(hwnd);
  }
  stack.insert(std::find(stack.begin(), stack.end(), Label3.hwnd()) + 1, Label3.Progress());
  HWND above = HWND_TOP;
  for (const HWND hwnd : stack) {
    SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above = hwnd;
  }
  Layout();
  CentreOnScreen();  // as laid out for the language
  return true;
}

Control* TForm1::Named(std::string_view name) {
  Control* const byName[] = {nullptr,  &Label1,  &Label2,    &Label3, &Button1,
                             &Button2, &Button3, &SpinEdit1, &Button4};  // Bevel1 is drawn
  const FormDescription& form = Form1Description();
  return byName[&form.Control(name) - form.controls.data()];
}

HWND TForm1::At(std::string_view name) {
  Control* control = Named(name);
  return control ? control->hwnd() : nullptr;
}

void TForm1::Layout() {
  const FormDescription& form = Form1Description();
  const UINT dpi = DpiOf(hwnd());
  font_ = MakeFont(form.font, dpi);
  for (const ControlDescription& c : form.controls)
    if (Control* control = Named(c.name)) control->SetFont(font_.get());
  const FormLayout layout =
      LayOut(form, [&](const ControlDescription& c) { return Named(c.name)->NeededWidth(dpi); });
  for (size_t i = 0; i < form.controls.size(); ++i)
    if (Control* control = Named(form.controls[i].name)) control->Place(layout.rects[i], dpi);
  Bevel1.Place(layout.rects[&form.Control("Bevel1") - form.controls.data()], dpi);
  if (layout.clientWidth != form.clientWidth || layout.clientHeight != form.clientHeight)
    SizeClient(layout.clientWidth, layout.clientHeight);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void TForm1::Show() {
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  SetForegroundWindow(hwnd());
  SetFocus(At(Form1Description().activeControl));
}

void TForm1::OnDpiChanged(UINT dpi, const RECT& suggested) {
  Wnd::OnDpiChanged(dpi, suggested);
  Layout();
}

void TForm1::Button3Click(Control*) { PostMessageW(hwnd(), WM_CLOSE, 0, 0); }

void TForm1::Button1Click(Control*) { RunStarted(session_.StartSplit(SpinEdit1.Value())); }

std::string TForm1::IntToStrl(int64_t n, int width) const { return tolvanix::IntToStrl(n, width); }

void TForm1::Button2Click(Control*) { RunStarted(session_.StartJoin()); }

void TForm1::Button4Click(Control*) {
  // Built anew for every showing, gone when closed.
  TForm2 about;
  about.ShowModal(hwnd());
}

void TForm1::RunStarted(bool started) {
  if (!started) return;
  SetTimer(hwnd(), kProgressTimer, RunSession::kProgressMs, nullptr);
}

void TForm1::OnTimer(UINT_PTR id) {
  if (id != kProgressTimer) return;
  if (const std::optional<double> fraction = session_.NewProgress()) {
    Label3.SetFill(*fraction);
    taskbar_.Show(hwnd(), *fraction);
  }
}

void TForm1::WakeForRun() { PostMessageW(hwnd(), kRunMessage, 0, 0); }

bool TForm1::AskToStopRun(const std::string& text) {
  return ShowBox(hwnd(), StopQuestionBox(), text) == Answer::Yes;
}

void TForm1::RunEnded() {
  KillTimer(hwnd(), kProgressTimer);
  Label3.SetFill(0);
  taskbar_.Hide(hwnd());
  BusyCursor::Set(false);
  if (closeWhenStopped_) DestroyWindow(hwnd());
}

void TForm1::StartWith(const Handover& handover) {
  if (handover.action == Handover::Action::Open) return OpenFile(handover.file);
  if (handover.action != Handover::Action::Notice) return;
  pendingNotice_ = handover.text;
  PostMessageW(hwnd(), kNoticeMessage, 0, 0);
}

void TForm1::OpenFile(const HandedFile& file) {
  if (CommandRunning()) return;
  pendingFile_ = file;
  PostMessageW(hwnd(), kOpenMessage, 0, 0);
}

DropAnswer TForm1::AnswerDrop(const std::vector<std::string>& entries, POINT screen,
                              DWORD offered) {
  const auto over = [&](const Button& b) {
    RECT r;
    return GetWindowRect(b.hwnd(), &r) && PtInRect(&r, screen);
  };
  Drop drop;
  drop.entries = entries;
  drop.on = over(Button1)   ? DroppedOn::Button1
            : over(Button2) ? DroppedOn::Button2
                            : DroppedOn::Elsewhere;
  // A run, a box or the About window has the program.
  drop.busy = CommandRunning() || !IsWindowEnabled(hwnd());
  drop.copyOffered = offered & DROPEFFECT_COPY;
  drop.linkOffered = offered & DROPEFFECT_LINK;
  return ReadDrop(drop, Win32FileFacts());
}

bool TForm1::PreTranslate(MSG& msg) {
  // While a run goes on the window takes no input from the user; it still
  // repaints, and its close (title bar, Alt+F4) asks.
  if (CommandRunning() && IsUserInput(msg.message)) return true;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
    // Enter clicks the focused button; there is no default button. In the
    // field it is a refused key.
    if (Button* focused = Button::Focused()) {
      focused->Click();
      return true;
    }
    return false;
  }
  return Wnd::PreTranslate(msg);
}

LRESULT TForm1::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kRunMessage:
      session_.MakeCarriedCalls();
      return 0;
    case kOpenMessage: {
      if (session_.Running() || pendingFile_.path.empty()) return 0;
      const HandedFile file = std::exchange(pendingFile_, HandedFile());
      // Where a file dialog confirming this file leaves the process.
      SetCurrentDirectoryW(FolderOf(Widen(file.path)).c_str());
      RunStarted(session_.Open(file, SpinEdit1.Value()));
      return 0;
    }
    case kNoticeMessage:
      if (!pendingNotice_.empty()) gui_->ShowNotice(std::exchange(pendingNotice_, std::string()));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      Bevel1.Paint(BeginPaint(hwnd(), &ps));
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session ends: a run stops as on a close, its files flushed
      // and closed, before the system ends the program.
      if (wParam && session_.Running()) {
        closeWhenStopped_ = true;
        session_.Stop();
        CloseModalWindows(hwnd());
        session_.WaitForEnd(std::chrono::seconds(10));
      }
      return 0;
  }
  return Wnd::OnMessage(msg, wParam, lParam);
}

bool TForm1::OnClose() {
  if (!CommandRunning()) return true;
  if (!closeWhenStopped_ && session_.AskToStop()) closeWhenStopped_ = true;
  return false;  // RunEnded closes the window once the run has stopped
}

void TForm1::OnDestroy() {
  dropTarget_.Revoke();  // while the window is there
  if (endsProgram_) PostQuitMessage(0);
}

}  // namespace tolvanix::win32
