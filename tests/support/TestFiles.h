// Real files in a temporary folder, and small helpers to read and make them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tolvanix {

// std::filesystem would take a plain string in the system's code page on Windows.
inline std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

class TempDir {
 public:
  TempDir() {
    const auto path = std::filesystem::temp_directory_path() /
                      ("tolvanix-test-" + std::to_string(std::random_device()()));
    std::error_code error;
    if (!std::filesystem::create_directory(path, error)) ADD_FAILURE() << "cannot make " << path;
    path_ = Utf8Path(path);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FsPath(path_), ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    ADD_FAILURE() << "cannot write " << path;
}

inline bool FileExists(const std::string& path) { return std::filesystem::exists(FsPath(path)); }

inline int64_t FileSize(const std::string& path) {  // -1 when missing
  return FileExists(path) ? static_cast<int64_t>(std::filesystem::file_size(FsPath(path))) : -1;
}

inline std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string bytes(n, '\0');
  for (auto& b : bytes) b = static_cast<char>(rng() & 0xFF);
  return bytes;
}

// --- What each platform answers in its own way (TestPlatform*.cpp) --------

// Descriptors or handles this process has open: no command may leave one.
int OpenDescriptors();
// A symbolic link at `link` to `target`; false where the system cannot make one.
bool MakeSymlink(const std::string& target, const std::string& link);

// The entries that start with `prefix`, without it.
inline std::vector<std::string> WithPrefix(const std::vector<std::string>& all,
                                           const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& e : all)
    if (e.rfind(prefix, 0) == 0) out.push_back(e.substr(prefix.size()));
  return out;
}

}  // namespace tolvanix
