#include "win32/FileDialogs.h"

#include <shobjidl.h>
#include <wrl/client.h>

#include <vector>

#include "forms/FormDescriptions.h"
#include "i18n/Catalogue.h"
#include "win32/Wide.h"
#include "win32/Wnd.h"

namespace tolvanix::win32 {

namespace {

using Microsoft::WRL::ComPtr;

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return full;
}

// Places the dialog's window once it exists: its first folder change comes
// when it has been laid out, before it is shown. Lives on the caller's
// stack, longer than the dialog holds it.
class Placement final : public IFileDialogEvents {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IFileDialogEvents ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog* dialog) override {
    ComPtr<IOleWindow> window;
    HWND hwnd = nullptr;
    if (placed_ || FAILED(dialog->QueryInterface(IID_PPV_ARGS(&window))) ||
        FAILED(window->GetWindow(&hwnd)) || !hwnd) {
      return S_OK;
    }
    placed_ = true;
    RECT r;
    GetWindowRect(hwnd, &r);
    const Point at = DialogPlaceOn(ScreenOf(hwnd), r.right - r.left, r.bottom - r.top);
    SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
  }
  // The rest as the dialog does it by itself: S_OK with the answers untouched.
  HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                             FDE_SHAREVIOLATION_RESPONSE*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*,
                                        FDE_OVERWRITE_RESPONSE*) override {
    return S_OK;
  }

 private:
  bool placed_ = false;
};

}  // namespace

bool RunFileDialog(HWND owner, TFileDialog& dialog) {
  const bool save = dialog.kind == TFileDialog::Kind::Save;
  ComPtr<IFileDialog> box;
  if (FAILED(CoCreateInstance(save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr,
                              CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&box)))) {
    return false;
  }

  std::vector<std::wstring> texts;  // description, patterns, ...
  for (const FileFilter& entry : dialog.filters) {
    texts.push_back(Widen(Tr(entry.description)));
    texts.push_back(Widen(entry.patterns));
  }
  std::vector<COMDLG_FILTERSPEC> types;
  for (size_t i = 0; i < texts.size(); i += 2)
    types.push_back({texts[i].c_str(), texts[i + 1].c_str()});
  if (!types.empty()) {
    box->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    box->SetFileTypeIndex(static_cast<UINT>(dialog.FilterIndex));
  }
  const std::wstring suffix = Widen(dialog.defaultSuffix);
  if (!suffix.empty()) box->SetDefaultExtension(suffix.c_str());

  FILEOPENDIALOGOPTIONS options = 0;
  box->GetOptions(&options);
  // The commands test the chosen path themselves: the dialog demands nothing
  // of it (that it exists, can be opened, is not read-only) and remembers it
  // nowhere.
  options &= ~(FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | FOS_NOREADONLYRETURN | FOS_OVERWRITEPROMPT |
               FOS_ALLOWMULTISELECT);
  options |= FOS_FORCEFILESYSTEM | FOS_NOVALIDATE | FOS_NOCHANGEDIR | FOS_DONTADDTORECENT;
  if (save && dialog.confirmOverwrite) options |= FOS_OVERWRITEPROMPT;
  box->SetOptions(options);

  // The proposed name's folder, else the process's current one: set, so that
  // no folder the system remembers from an earlier run is used. A name with
  // wildcards ("*.001") stays in the name box as the pattern it is.
  const std::wstring proposed = Widen(dialog.FileName);
  const size_t cut = proposed.find_last_of(L"\\/:");
  const std::wstring name = cut == std::wstring::npos ? proposed : proposed.substr(cut + 1);
  ComPtr<IShellItem> folder;
  if (cut == std::wstring::npos ||
      FAILED(SHCreateItemFromParsingName(FullPath(proposed.substr(0, cut + 1)).c_str(), nullptr,
                                         IID_PPV_ARGS(&folder)))) {
    SHCreateItemFromParsingName(FullPath(L".").c_str(), nullptr, IID_PPV_ARGS(&folder));
  }
  if (folder) box->SetFolder(folder.Get());
  box->SetFileName(name.c_str());

  Placement placement;
  DWORD cookie = 0;
  const bool advised = SUCCEEDED(box->Advise(&placement, &cookie));
  const HRESULT shown = box->Show(owner);
  if (advised) box->Unadvise(cookie);
  ComPtr<IShellItem> result;
  PWSTR path = nullptr;
  if (FAILED(shown) || FAILED(box->GetResult(&result)) ||
      FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
    return false;
  }
  const std::wstring chosen(path);
  CoTaskMemFree(path);
  // A pattern confirmed filters the list, in Windows' dialog and Wine's,
  // but Wine may still hand it back once the dialog is closed: no file.
  if (chosen.find_first_of(L"*?") != std::wstring::npos) return false;
  dialog.FileName = Narrow(chosen);
  UINT index = 0;
  if (!types.empty() && SUCCEEDED(box->GetFileTypeIndex(&index)) && index > 0)
    dialog.FilterIndex = static_cast<int>(index);
  SetCurrentDirectoryW(chosen.substr(0, chosen.find_last_of(L'\\') + 1).c_str());
  return true;
}

}  // namespace tolvanix::win32
