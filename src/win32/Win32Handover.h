// The hand-over's Win32 side: what a path is and where it lies, what a file:
// URI names, and the window's OLE drop target, which answers each step of a
// drag with the shared rules' answer (forms/Handover.h) so that the pointer
// shows whether the drop would be taken.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/Handover.h"

namespace tolvanix::win32 {

const HandoverFacts& Win32FileFacts();

// Keeps a window registered as a drop target (OleInitialize first) until
// Revoke, which must come before the window is destroyed.
class DropTarget {
 public:
  // What a drop of `entries` (the paths of its CF_HDROP data) at `screen`,
  // with `offered` DROPEFFECT_ bits, would be.
  using Answer = std::function<DropAnswer(const std::vector<std::string>& entries, POINT screen,
                                          DWORD offered)>;
  // Called with the file of a drop taken, once the drop is answered.
  using Take = std::function<void(const HandedFile& file)>;

  DropTarget() = default;
  ~DropTarget() { Revoke(); }
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  bool Register(HWND window, Answer answer, Take take);
  void Revoke();

 private:
  HWND window_ = nullptr;
};

}  // namespace tolvanix::win32
