#include "WindowScript.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>

#include "win32/Cursor.h"

namespace tolvanix::testing {

namespace {

WindowScript* running = nullptr;  // one script at a time

// The modal window the user would answer: visible, enabled, owned by another.
HWND OpenModal() {
  HWND modal = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM found) {
        if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || !GetWindow(hwnd, GW_OWNER))
          return TRUE;
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&modal));
  return modal;
}

}  // namespace

std::vector<HWND> Children(HWND parent, const wchar_t* cls, int id) {
  struct Search {
    const wchar_t* cls;
    int id;
    std::vector<HWND> found;
  } search{cls, id, {}};
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64];
        GetClassNameW(hwnd, name, 64);
        if ((!s->cls || lstrcmpiW(name, s->cls) == 0) && (s->id < 0 || GetDlgCtrlID(hwnd) == s->id))
          s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) win32::ProcessMessage(msg);
  }
  return true;
}

WindowScript::WindowScript() : timer_(SetTimer(nullptr, 0, 10, Tick)) { running = this; }

WindowScript::~WindowScript() {
  KillTimer(nullptr, timer_);
  running = nullptr;
  EXPECT_TRUE(steps_.empty()) << steps_.size() << " modal window(s) never came";
}

WindowScript& WindowScript::Then(std::function<void(HWND)> step) {
  steps_.push_back(std::move(step));
  return *this;
}

void CALLBACK WindowScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (running) running->Poll();
}

void WindowScript::Poll() {
  const HWND w = OpenModal();
  if (w && w != last_ && !steps_.empty()) {
    last_ = w;
    waited_ = 0;
    auto step = std::move(steps_.front());
    steps_.pop_front();  // before the step: it may open the next window
    step(w);
    return;
  }
  if ((waited_ = w ? waited_ + 1 : 0) < 500) return;
  waited_ = 0;
  ADD_FAILURE() << "'" << TextOf(w) << "' still open with nothing left to answer it";
  PostMessageW(w, WM_CLOSE, 0, 0);
}

std::string TextOf(HWND hwnd) {
  wchar_t text[1024] = L"";
  SendMessageW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));  // another program's too
  return Narrow(text);
}

std::string BoxLook(HWND box) {
  std::vector<HWND> buttons = Children(box, L"Button");
  std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  std::string look = TextOf(box), text;
  for (HWND s : Children(box, L"Static")) {
    if ((GetWindowLongW(s, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      look += "!";
    } else {
      text = TextOf(s);
    }
  }
  look.append(1, '|').append(text);
  for (HWND b : buttons) look.append(1, '|').append(TextOf(b));
  return look;
}

void PressKey(HWND to, UINT vk, const char* held) {
  SetFocus(to);  // the system's input goes to the focus
  std::vector<INPUT> keys;
  const auto key = [&](UINT code, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = static_cast<WORD>(code);
    in.ki.dwFlags = flags;
    keys.push_back(in);
  };
  std::vector<UINT> mods;
  for (const char m : std::string(held))
    mods.push_back(m == 'S' ? VK_SHIFT : m == 'C' ? VK_CONTROL : VK_MENU);
  for (const UINT m : mods) key(m, 0);
  key(vk, 0);
  key(vk, KEYEVENTF_KEYUP);
  for (const UINT m : mods) key(m, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
  Idle(30);
}

void TypeChar(HWND to, wchar_t c) { PostMessageW(to, WM_CHAR, c, 1); }

HWND NameBox(HWND dialog) {
  // Wine's Common Item Dialog has an edit there, Windows' a combo box with an edit inside.
  for (const int id : {edt1, cmb13}) {
    const std::vector<HWND> boxes = Children(dialog, nullptr, id);
    if (boxes.empty()) continue;
    const std::vector<HWND> edits = Children(boxes.front(), L"Edit");
    return edits.empty() ? boxes.front() : edits.front();
  }
  return nullptr;
}

void ChooseFile(HWND dialog, const std::string& path) {
  SetWindowTextW(NameBox(dialog), Widen(path).c_str());
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void InWindow::SetUp() {
  ASSERT_FALSE(dir_.Path().empty());
  ASSERT_TRUE(SetCurrentDirectoryW(Widen(dir_.Path()).c_str()));
  ASSERT_TRUE(form_.Create());
  form_.Show();
}

void InWindow::TearDown() {
  EXPECT_FALSE(win32::BusyCursor::On()) << "the busy cursor is off when a test ends";
  SetCurrentDirectoryW(L"C:\\");  // the temporary folder can go
}

}  // namespace tolvanix::testing
