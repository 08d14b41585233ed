// Real files in a temporary folder, and small helpers to read and make them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvanix {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
int64_t FileSize(const std::string& path);  // -1 when missing
std::string RandomBytes(size_t n, uint32_t seed);
// Entries of /proc/self/fd: no descriptor may be left open by a command.
int OpenDescriptors();
// The entries that start with `prefix`, without it.
std::vector<std::string> WithPrefix(const std::vector<std::string>& all, const std::string& prefix);

}  // namespace tolvanix
