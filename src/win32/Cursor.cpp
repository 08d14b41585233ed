#include "win32/Cursor.h"

#include <windows.h>

namespace tolvanix::win32 {

namespace {

bool busy = false;  // the GUI thread's alone

// Asks the window under the pointer, if it is this program's, to set its
// pointer again now rather than at the next move.
void Refresh() {
  POINT at;
  if (!GetCursorPos(&at)) return;
  const HWND under = WindowFromPoint(at);
  DWORD pid = 0;
  if (!under || !GetWindowThreadProcessId(under, &pid) || pid != GetCurrentProcessId()) return;
  const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
  SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
               MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

}  // namespace

void BusyCursor::Set(bool on) {
  if (on == busy) return;
  busy = on;
  Refresh();
}

bool BusyCursor::On() { return busy; }

bool BusyCursor::SetIfBusy() {
  if (!busy) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

BusyCursor::Lift::Lift() : was_(busy) { Set(false); }

BusyCursor::Lift::~Lift() { Set(was_); }

}  // namespace tolvanix::win32
