#include "win32/FileDialogs.h"

#include <commdlg.h>

#include <vector>

#include "forms/FormDescriptions.h"
#include "i18n/Catalogue.h"
#include "win32/Wide.h"
#include "win32/Wnd.h"

namespace tolvanix::win32 {

namespace {

// Room for the longest path the system takes, not the 260 characters of old.
constexpr size_t kNameRoom = 32768;

UINT_PTR CALLBACK PlaceDialog(HWND child, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
    const HWND dialog = GetParent(child);
    RECT r;
    GetWindowRect(dialog, &r);
    const Point at = DialogPlaceOn(ScreenOf(dialog), r.right - r.left, r.bottom - r.top);
    SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  return 0;
}

}  // namespace

bool RunFileDialog(HWND owner, TFileDialog& dialog) {
  // "description\0pattern\0...\0\0"
  std::wstring filter;
  for (const FileFilter& entry : dialog.filters) {
    filter += Widen(Tr(entry.description)) + L'\0' + Widen(entry.patterns) + L'\0';
  }
  const std::wstring suffix = Widen(dialog.defaultSuffix);

  std::vector<wchar_t> name(kNameRoom, L'\0');
  const std::wstring proposed = Widen(dialog.FileName);
  proposed.copy(name.data(), std::min(proposed.size(), kNameRoom - 1));
  // A proposal without a folder opens in the process's current folder,
  // whatever the system remembers.
  std::wstring here;
  if (proposed.find_first_of(L"\\/:") == std::wstring::npos) {
    here.resize(GetCurrentDirectoryW(0, nullptr));
    here.resize(GetCurrentDirectoryW(static_cast<DWORD>(here.size()), here.data()));
  }

  const bool save = dialog.kind == TFileDialog::Kind::Save;
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = filter.empty() ? 0 : static_cast<DWORD>(dialog.FilterIndex);
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = here.empty() ? nullptr : here.c_str();
  ofn.lpstrDefExt = suffix.empty() ? nullptr : suffix.c_str();
  // No dialog offers to open a file read-only.
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_LONGNAMES | OFN_HIDEREADONLY;
  if (save && dialog.confirmOverwrite) ofn.Flags |= OFN_OVERWRITEPROMPT;
  ofn.lpfnHook = PlaceDialog;

  if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
  const std::wstring chosen(name.data());
  if (chosen.empty()) return false;
  dialog.FileName = Narrow(chosen);
  if (!filter.empty()) dialog.FilterIndex = static_cast<int>(ofn.nFilterIndex);
  SetCurrentDirectoryW(chosen.substr(0, ofn.nFileOffset).c_str());
  return true;
}

}  // namespace tolvanix::win32
