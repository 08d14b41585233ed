// The small window layer the two windows and the boxes stand on. A Wnd owns
// one top-level HWND and turns its messages into virtual handlers; the
// controls on it are objects of their own (Controls.h) to which it hands
// back their notifications, so a window's code reads as its controls and
// their handlers. Every message of the program goes through ProcessMessage,
// which lets the window it is for see it first (keys, dialog navigation).
// A window that becomes active again gives the focus back to the control
// that had it, as a dialog does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/FormDescriptions.h"

namespace tolvanix::win32 {

// Pixels at 96 dpi on a screen of `dpi`.
int Scale(int pixels, UINT dpi);
// A window's dpi; the system's before it has a window.
UINT DpiOf(HWND hwnd);
// The monitor's whole area that holds most of `hwnd` (the primary without one).
tolvanix::Rect ScreenOf(HWND hwnd);

class Wnd {
 public:
  Wnd() = default;
  // Destroys the window if it still exists.
  virtual ~Wnd();
  Wnd(const Wnd&) = delete;
  Wnd& operator=(const Wnd&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The Wnd behind a window of this program's class, or null.
  static Wnd* From(HWND hwnd);

  // Lets the window see a message for it or its controls before it is
  // dispatched: true when it was handled. By default, dialog navigation
  // (Tab, Shift+Tab).
  virtual bool PreTranslate(MSG& msg);

 protected:
  // A top-level window of the program's own class, client size in pixels
  // at 96 dpi, scaled for the monitor it opens on, centred there.
  bool CreateTop(const std::wstring& caption, DWORD style, DWORD exStyle, HWND owner,
                 int clientWidth, int clientHeight);
  // Resizes the window to the client size at its present dpi.
  void SizeClient(int clientWidth, int clientHeight);
  void CentreOnScreen();

  virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // False keeps the window open.
  virtual bool OnClose() { return true; }
  virtual void OnDestroy() {}
  // The monitor's dpi changed: fonts and places anew; `suggested` is the
  // system's new window rectangle.
  virtual void OnDpiChanged(UINT /*dpi*/, const RECT& suggested);
  virtual void OnTimer(UINT_PTR /*id*/) {}

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void RememberFocus();
  void RestoreFocus();
  HWND hwnd_ = nullptr;
  HWND focus_ = nullptr;  // the control that had the focus last
};

// Dispatches one message the way the program's windows expect.
void ProcessMessage(MSG& msg);
// Handles messages until `done` is true or WM_QUIT comes (which is posted
// again for the outer loop). True unless WM_QUIT ended it.
bool RunLoopUntil(const bool& done);

// A window that stands for the program while it is modal: every other
// top-level window of this thread is disabled while it lives and enabled
// again, before it goes, so that the system activates the owner.
class ModalScope {
 public:
  ModalScope();
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  std::vector<HWND> disabled_;  // by this scope, enabled again by it
};

}  // namespace tolvanix::win32
