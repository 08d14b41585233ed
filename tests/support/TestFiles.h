// Real files in a temporary folder, and small helpers to read and make them.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tolvanix {

class TempDir {
 public:
  TempDir() : path_(std::filesystem::temp_directory_path() / "tolvanix-test-XXXXXX") {
    if (mkdtemp(path_.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    ADD_FAILURE() << "cannot write " << path;
}

inline bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

inline int64_t FileSize(const std::string& path) {  // -1 when missing
  return FileExists(path) ? static_cast<int64_t>(std::filesystem::file_size(path)) : -1;
}

inline std::string RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string bytes(n, '\0');
  for (auto& b : bytes) b = static_cast<char>(rng() & 0xFF);
  return bytes;
}

// Entries of /proc/self/fd: no descriptor may be left open by a command.
inline int OpenDescriptors() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  return static_cast<int>(std::distance(begin(fds), end(fds)));
}

// The entries that start with `prefix`, without it.
inline std::vector<std::string> WithPrefix(const std::vector<std::string>& all,
                                           const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& e : all)
    if (e.rfind(prefix, 0) == 0) out.push_back(e.substr(prefix.size()));
  return out;
}

}  // namespace tolvanix
