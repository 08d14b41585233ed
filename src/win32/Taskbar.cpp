#include "win32/Taskbar.h"

namespace tolvanix::win32 {

TaskbarButton::~TaskbarButton() {
  if (list_) list_->Release();
}

void TaskbarButton::Show(HWND window, double fraction) {
  if (!list_) {
    void* list = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, &list))) {
      list_ = static_cast<ITaskbarList3*>(list);
      list_->HrInit();
    }
  }
  if (list_) list_->SetProgressValue(window, static_cast<ULONGLONG>(fraction * 1000 + 0.5), 1000);
  shown_ = fraction;
}

void TaskbarButton::Hide(HWND window) {
  if (list_) list_->SetProgressState(window, TBPF_NOPROGRESS);
  shown_ = -1;
}

}  // namespace tolvanix::win32
