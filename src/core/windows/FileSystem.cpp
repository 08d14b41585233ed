// FileSystem on the Win32 API. No sharing is the system's own: every file is
// opened with share mode 0, so a second open of it, by this program or any
// other, fails with a sharing violation. Paths are UTF-8 here and UTF-16 at
// every call, made full and given the "\\?\" prefix so that no 260-character
// limit applies.
#include "core/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "core/windows/Path.h"

namespace tolvanix {
namespace {

// ReadFile and WriteFile take a 32-bit count; stay well below it.
constexpr int64_t kMaxChunk = int64_t{1} << 30;

// Owns a handle: closed exactly once on every way out, unless released.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (Valid()) ::CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE h_;
};

// UTF-8 -> UTF-16; empty when the bytes are not UTF-8 or hold a NUL.
std::wstring Widen(const std::string& utf8) {
  if (utf8.empty() || utf8.find('\0') != std::string::npos) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        wide.data(), n);
  return wide;
}

// The full path as Windows resolves it ("." and ".." gone, "/" made "\",
// relative to the current folder); empty on failure.
std::wstring FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  if (wide.empty()) return {};
  DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return {};
  std::wstring full(n, L'\0');
  n = ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (n == 0 || n >= full.size()) return {};
  full.resize(n);
  return full;
}

bool StartsWith(const std::wstring& s, const wchar_t* prefix) { return s.rfind(prefix, 0) == 0; }

// A device ("\\.\NUL", "\\.\COM1") answers attribute queries as if it were a
// file on some versions of Windows: it is none.
bool IsDevicePath(const std::wstring& wide) { return StartsWith(wide, L"\\\\.\\"); }

// Only a file on a disk, not a folder or device: a read from a pipe or a
// console would wait for a writer. A file to write must not be a reparse
// point either: it was opened as itself, so a link is refused, not followed.
// A file read may be one (a link followed, a file kept in the cloud).
bool IsPlainDiskFile(HANDLE h, bool writing) {
  BY_HANDLE_FILE_INFORMATION info;
  if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h, &info)) return false;
  const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE |
                         (writing ? FILE_ATTRIBUTE_REPARSE_POINT : 0);
  return (info.dwFileAttributes & notPlain) == 0;
}

class WindowsFile final : public File {
 public:
  explicit WindowsFile(HANDLE h) : h_(h) {}
  ~WindowsFile() override {
    if (h_ != INVALID_HANDLE_VALUE) Close();
  }

  bool Close() override {
    if (h_ == INVALID_HANDLE_VALUE) return false;
    return ::CloseHandle(std::exchange(h_, INVALID_HANDLE_VALUE)) != 0;
  }

  int64_t Size() override {
    LARGE_INTEGER size;
    return ::GetFileSizeEx(h_, &size) ? size.QuadPart : -1;
  }

  // An error after some bytes still fails: a broken read must not pass for
  // the end of the file.
  int64_t Read(void* buffer, int64_t n) override {
    if (n < 0) return -1;
    auto* p = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < n) {
      DWORD got = 0;
      const auto ask = static_cast<DWORD>(std::min(n - done, kMaxChunk));
      if (!::ReadFile(h_, p + done, ask, &got, nullptr)) return -1;
      if (got == 0) break;
      done += got;
    }
    return done;
  }

  // A full disk gives the count written so far, possibly 0; any other error
  // gives -1 even after some bytes, so a fault never looks like a full disk.
  int64_t Write(const void* buffer, int64_t n) override {
    if (n < 0) return -1;
    const auto* p = static_cast<const char*>(buffer);
    int64_t done = 0;
    while (done < n) {
      DWORD put = 0;
      const auto ask = static_cast<DWORD>(std::min(n - done, kMaxChunk));
      if (!::WriteFile(h_, p + done, ask, &put, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_DISK_FULL && error != ERROR_HANDLE_DISK_FULL) return -1;
        return done + put;
      }
      if (put == 0) break;
      done += put;
    }
    return done;
  }

  bool Flush() override { return ::FlushFileBuffers(h_) != 0; }

  bool Truncate(int64_t length) override {
    LARGE_INTEGER at;
    at.QuadPart = length;
    return length >= 0 && ::SetFilePointerEx(h_, at, nullptr, FILE_BEGIN) && ::SetEndOfFile(h_);
  }

  HANDLE Native() const { return h_; }

 private:
  HANDLE h_;
};

class WindowsFileSystem final : public FileSystem {
 public:
  std::unique_ptr<File> OpenRead(const std::string& path) override {
    const std::wstring wide = Win32Path(path);
    if (wide.empty()) return nullptr;
    Handle h(::CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!h.Valid() || !IsPlainDiskFile(h.get(), false)) return nullptr;
    return std::make_unique<WindowsFile>(h.release());
  }

  // OPEN_ALWAYS, not CREATE_ALWAYS: the file is emptied only once it is held,
  // so a path naming a held file fails and leaves it intact. A symbolic link
  // or junction planted where a piece or the output goes is opened itself,
  // not followed, and refused: it is never written through.
  std::unique_ptr<File> Create(const std::string& path) override {
    const std::wstring wide = Win32Path(path);
    if (wide.empty()) return nullptr;
    Handle h(::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h.Valid() || !IsPlainDiskFile(h.get(), true)) return nullptr;
    auto file = std::make_unique<WindowsFile>(h.release());
    const int64_t size = file->Size();
    if (size < 0) return nullptr;
    if (size > 0 && !::SetEndOfFile(file->Native())) return nullptr;
    return file;
  }

  bool Exists(const std::string& path) override {
    const std::wstring wide = Win32Path(path);
    if (wide.empty() || IsDevicePath(wide)) return false;
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  int64_t SizeOf(const std::string& path) override {
    const std::wstring wide = Win32Path(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (wide.empty() || IsDevicePath(wide) ||
        !::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data))
      return -1;
    constexpr DWORD kNotPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT;
    if (data.dwFileAttributes & kNotPlain) return -1;
    return static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  }

  // A medium swapped keeps its drive letter, so the root answers for whatever
  // is in the drive now; a drive with no medium is a folder gone missing.
  FreeSpace FreeSpaceAt(const std::string& root) override {
    const std::wstring wide = Win32Path(root);
    ULARGE_INTEGER available;
    if (!wide.empty() && ::GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr))
      return {SpaceStatus::Ok, available.QuadPart};
    const bool noMedium = ::GetLastError() == ERROR_NOT_READY;
    return {noMedium ? SpaceStatus::FolderMissing : SpaceStatus::Failed, 0};
  }

  // The volume that holds the path, a mounted folder too, even when the path
  // itself is not there yet.
  bool IsRemovable(const std::string& path) override {
    const std::wstring full = FullPath(path);
    if (full.empty()) return false;
    std::wstring volume(full.size() + 2, L'\0');
    if (!::GetVolumePathNameW(full.c_str(), volume.data(), static_cast<DWORD>(volume.size())))
      return false;
    return ::GetDriveTypeW(volume.c_str()) == DRIVE_REMOVABLE;
  }

  // Opened for no access and with full sharing, a file held by this program
  // or another can still be identified; a folder too.
  bool SameFile(const std::string& a, const std::string& b) override {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return Identify(a, ia) && Identify(b, ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
  }

 private:
  static bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const std::wstring wide = Win32Path(path);
    if (wide.empty()) return false;
    Handle h(::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h.Valid() && ::GetFileInformationByHandle(h.get(), &info);
  }
};

}  // namespace

std::wstring Win32Path(const std::string& utf8) {
  const std::wstring full = FullPath(utf8);
  if (full.empty() || StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) return full;
  if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::unique_ptr<FileSystem> MakeNativeFileSystem() { return std::make_unique<WindowsFileSystem>(); }

}  // namespace tolvanix
