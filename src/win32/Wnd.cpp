#include "win32/Wnd.h"

#include "win32/Controls.h"
#include "win32/Cursor.h"

namespace tolvanix::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TolvanixWindow";

}  // namespace

int Scale(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

UINT DpiOf(HWND hwnd) {
  const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : GetDpiForSystem();
  return dpi ? dpi : 96;
}

tolvanix::Rect ScreenOf(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const HMONITOR monitor = hwnd ? MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY)
                                : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoW(monitor, &info)) return {0, 0, 640, 480};
  const RECT& r = info.rcMonitor;
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Wnd::~Wnd() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

Wnd* Wnd::From(HWND hwnd) {
  wchar_t name[32];
  if (!hwnd || !GetClassNameW(hwnd, name, 32) || lstrcmpW(name, kClassName) != 0) return nullptr;
  return reinterpret_cast<Wnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool Wnd::PreTranslate(MSG& msg) { return IsDialogMessageW(hwnd_, &msg); }

bool Wnd::CreateTop(const std::wstring& caption, DWORD style, DWORD exStyle, HWND owner,
                    int clientWidth, int clientHeight) {
  static const ATOM registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
  }();
  if (!registered) return false;
  // Created hidden and off-size, then sized for the dpi of the monitor it
  // landed on, which only the window itself can tell.
  CreateWindowExW(exStyle, kClassName, caption.c_str(), style & ~WS_VISIBLE, CW_USEDEFAULT,
                  CW_USEDEFAULT, clientWidth, clientHeight, owner, nullptr,
                  GetModuleHandleW(nullptr), this);
  if (!hwnd_) return false;
  SizeClient(clientWidth, clientHeight);
  CentreOnScreen();
  return true;
}

void Wnd::SizeClient(int clientWidth, int clientHeight) {
  const UINT dpi = DpiOf(hwnd_);
  RECT r{0, 0, Scale(clientWidth, dpi), Scale(clientHeight, dpi)};
  AdjustWindowRectExForDpi(&r, GetWindowLongW(hwnd_, GWL_STYLE), FALSE,
                           GetWindowLongW(hwnd_, GWL_EXSTYLE), dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Wnd::CentreOnScreen() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const tolvanix::Point at = CentredOn(ScreenOf(hwnd_), r.right - r.left, r.bottom - r.top);
  SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Wnd::OnDpiChanged(UINT, const RECT& suggested) {
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Wnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      if (OnClose()) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_SETCURSOR:
      if (BusyCursor::SetIfBusy()) return TRUE;
      break;
    // Left for a box, a dialog, another program or a minimise, and back:
    // the focus goes where it was, not to the window itself as the system
    // would put it. It is noted as it moves too, since a window disabled
    // for a box may lose it before it is left.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        RememberFocus();
      } else if (!HIWORD(wParam)) {
        RestoreFocus();
      }
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    // The theme's colours changed (a high-contrast one, say): only top-level
    // windows are told, and the common controls keep colours of their own.
    case WM_SYSCOLORCHANGE:
      EnumChildWindows(
          hwnd_,
          [](HWND child, LPARAM) {
            SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
            return TRUE;
          },
          0);
      InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    // A control's own notifications go back to it.
    case WM_COMMAND:
      RememberFocus();
      if (Control* control = Control::From(reinterpret_cast<HWND>(lParam))) {
        control->OnCommand(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (Control* control = Control::From(header->hwndFrom)) return control->OnNotify(*header);
      break;
    }
    case WM_CTLCOLORSTATIC:
      if (Control* control = Control::From(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = control->OnColor(reinterpret_cast<HDC>(wParam))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void Wnd::RememberFocus() {
  const HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) focus_ = focus;
}

void Wnd::RestoreFocus() {
  HWND to = focus_;
  // Else the first control in tab order.
  if (!to || !IsChild(hwnd_, to) || !IsWindowVisible(to) || !IsWindowEnabled(to))
    to = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (to) SetFocus(to);
}

LRESULT CALLBACK Wnd::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Wnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  Wnd* self = reinterpret_cast<Wnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  const LRESULT result = self->OnMessage(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

void ProcessMessage(MSG& msg) {
  Wnd* top = Wnd::From(GetAncestor(msg.hwnd, GA_ROOT));
  if (top && top->PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool RunLoopUntil(const bool& done) {
  MSG msg;
  while (!done) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (got > 0) ProcessMessage(msg);
  }
  return true;
}

ModalScope::ModalScope() {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM self) {
        if (IsWindowEnabled(hwnd) && IsWindowVisible(hwnd)) {
          reinterpret_cast<ModalScope*>(self)->disabled_.push_back(hwnd);
          EnableWindow(hwnd, FALSE);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(this));
}

ModalScope::~ModalScope() {
  // Before the modal window goes, so that the system activates its owner
  // rather than some other program.
  for (HWND hwnd : disabled_) EnableWindow(hwnd, TRUE);
}

}  // namespace tolvanix::win32
