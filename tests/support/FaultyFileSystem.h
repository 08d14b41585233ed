// A FileSystem decorator for tests: passes everything to the real file system
// unless told to report a chosen free space or drive type, or to fail an
// open, a read, a write, a flush or a push to the medium, or to run a hook at
// every read, write or kernel copy of a chunk. It keeps one ordered event log,
//   "open:P"  "create:P"  "flush:P"  "push:P"  "close:P"  "space:ROOT"
// plus whatever the test adds, so a test can check, for example, that a piece
// was flushed and closed before a notice. Handles must not outlive it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/FileSystem.h"
#include "support/TestFiles.h"

namespace tolvanix {

class FaultyFileSystem : public FileSystem {
 public:
  // Faults of one path. Byte counts are per handle, from its opening.
  struct Fault {
    bool open = false;        // OpenRead and Create return nullptr
    int64_t readAfter = -1;   // the first Read asking past this many bytes returns -1
    int64_t writeAfter = -1;  // the Write crossing this mark writes up to it and returns
    bool writeError = false;  // that short count (a full device), or -1 with writeError
    bool flush = false;       // Flush returns false
    bool push = false;        // PushWritten returns false
    int64_t size = -1;        // what Size reports, if not the truth
  };
  std::map<std::string, Fault> faults;
  std::optional<uint64_t> freeSpace = uint64_t{1} << 40;  // none: the real answer
  std::optional<bool> removable;                          // none: the real answer
  std::vector<std::string> events;
  int64_t kernelCopied = 0;  // bytes the handles moved by the kernel copy
  // Runs before each Read, Write and kernel copy, with the file's path: to
  // slow a run down, or to act at a chosen point of it.
  std::function<void(const std::string& path)> onChunk;
  // From the Nth query on (counted from 1) free space answers `status`.
  void FailFreeSpace(SpaceStatus status, int fromQuery = 1) {
    spaceFailure_ = status;
    spaceFailureFrom_ = fromQuery;
  }

  std::vector<std::string> Flushes() const { return WithPrefix(events, "flush:"); }
  std::vector<std::string> SpaceQueries() const { return WithPrefix(events, "space:"); }

  std::unique_ptr<File> OpenRead(const std::string& path) override;
  std::unique_ptr<File> Create(const std::string& path) override;
  bool Exists(const std::string& path) override { return inner_->Exists(path); }
  FreeSpace FreeSpaceAt(const std::string& root) override;
  bool IsRemovable(const std::string& path) override {
    return removable ? *removable : inner_->IsRemovable(path);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return inner_->SameFile(a, b);
  }

 private:
  std::unique_ptr<File> Wrap(const std::string& path, std::unique_ptr<File> inner);

  std::unique_ptr<FileSystem> inner_ = MakeLinuxFileSystem();
  std::optional<SpaceStatus> spaceFailure_;
  int spaceFailureFrom_ = 1;
  int spaceQueries_ = 0;
};

}  // namespace tolvanix
