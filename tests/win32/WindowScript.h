// Answers each modal window with the next step, from a timer that runs in their message loops.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/TestFiles.h"
#include "win32/Unit1.h"
#include "win32/Wide.h"

namespace tolvanix::testing {

using win32::Narrow;
using win32::Widen;

// Handles messages as the program does until `done` or `ms` have passed.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 10000);
inline void Idle(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}
inline void Dismiss(HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }

class WindowScript {
 public:
  WindowScript();
  ~WindowScript();
  WindowScript(const WindowScript&) = delete;
  WindowScript& operator=(const WindowScript&) = delete;
  WindowScript& Then(std::function<void(HWND window)> step);

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Poll();
  UINT_PTR timer_;
  std::deque<std::function<void(HWND)>> steps_;
  HWND last_ = nullptr;
  int waited_ = 0;
};

// The windows inside `parent`, at any depth, of a class (null: any) and an id (-1: any).
std::vector<HWND> Children(HWND parent, const wchar_t* cls, int id = -1);
// A box as "caption|text|button|button...", buttons left to right, "!" for an icon.
std::string TextOf(HWND hwnd);
std::string BoxLook(HWND box);
// A key through the system's input, "S", "C", "A" in `held`: Shift, Ctrl, Alt held.
void PressKey(HWND to, UINT vk, const char* held = "");
void TypeChar(HWND to, wchar_t c);
HWND NameBox(HWND dialog);
void ChooseFile(HWND dialog, const std::string& path);

// The main window, created and shown, in a temporary folder made current.
class InWindow : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string Path(const std::string& name) const { return dir_.Path() + "\\" + name; }

  TempDir dir_;
  win32::TForm1 form_;
};

}  // namespace tolvanix::testing
