#include "win32/Win32Handover.h"

#include <ole2.h>
#include <shellapi.h>

#include <utility>

#include "win32/Wide.h"

namespace tolvanix::win32 {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Facts final : public HandoverFacts {
 public:
  Kind KindOf(const std::string& path) const override {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::File;
  }

  std::string Absolute(const std::string& path) const override {
    const std::wstring given = Widen(path);
    std::wstring full(GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return Narrow(full);
  }

  // "file:///C:/a%20b" is "C:\a b", "file://server/share/a" is "\\server\share\a".
  std::string PathOfUri(const std::string& uri) const override {
    const std::string rest = uri.substr(5, uri.find_first_of("?#") - 5);  // after "file:"
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
      const int high = i + 2 < rest.size() ? HexDigit(rest[i + 1]) : -1;
      const int low = high >= 0 ? HexDigit(rest[i + 2]) : -1;
      if (rest[i] == '%' && low >= 0) {
        path += static_cast<char>(high * 16 + low);
        i += 2;
      } else {
        path += rest[i];
      }
    }
    for (char& c : path)
      if (c == '/') c = '\\';
    const size_t slashes = path.find_first_not_of('\\');
    if (slashes == std::string::npos) return {};
    const bool drive = path.size() > slashes + 1 && path[slashes + 1] == ':';
    path.erase(0, drive ? slashes : slashes == 3 ? 2 : 0);
    return path;
  }
};

// The paths in a drop's CF_HDROP data; none when it has none (a web link).
std::vector<std::string> FilesOf(IDataObject* data) {
  std::vector<std::string> files;
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (!data || FAILED(data->GetData(&format, &medium))) return files;
  const auto drop = static_cast<HDROP>(medium.hGlobal);
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
    files.push_back(Narrow(name));
  }
  ReleaseStgMedium(&medium);
  return files;
}

// The COM object OLE calls during a drag over the window, on its thread.
class Target final : public IDropTarget {
 public:
  Target(DropTarget::Answer answer, DropTarget::Take take)
      : answer_(std::move(answer)), take_(std::move(take)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IDropTarget) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL at, DWORD* effect) override {
    entries_ = FilesOf(data);
    Answer(at, effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL at, DWORD* effect) override {
    Answer(at, effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    entries_.clear();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect) override {
    entries_ = FilesOf(data);
    const DropAnswer answer = Answer(at, effect);
    entries_.clear();
    if (answer.effect != DropEffect::None) take_(answer.file);
    return S_OK;
  }

 private:
  DropAnswer Answer(POINTL at, DWORD* effect) {
    const DropAnswer answer = answer_(entries_, POINT{at.x, at.y}, *effect);
    *effect = answer.effect == DropEffect::Copy   ? DROPEFFECT_COPY
              : answer.effect == DropEffect::Link ? DROPEFFECT_LINK
                                                  : DROPEFFECT_NONE;
    return answer;
  }

  DropTarget::Answer answer_;
  DropTarget::Take take_;
  std::vector<std::string> entries_;  // of the drag over the window
  ULONG references_ = 1;
};

}  // namespace

const HandoverFacts& Win32FileFacts() {
  static const Facts facts;
  return facts;
}

bool DropTarget::Register(HWND window, Answer answer, Take take) {
  Revoke();
  auto* target = new Target(std::move(answer), std::move(take));
  const bool registered = SUCCEEDED(RegisterDragDrop(window, target));
  target->Release();  // OLE holds it while it is registered
  if (registered) window_ = window;
  return registered;
}

void DropTarget::Revoke() {
  if (window_) RevokeDragDrop(window_);
  window_ = nullptr;
}

}  // namespace tolvanix::win32
