// A FileSystem decorator for tests: passes everything to an inner file system
// (the real one by default) unless told to report a chosen free space or
// drive type, or to fail an open, a read, a write or a flush. It records what
// the commands asked for in one ordered event log:
//   "open:P"  "create:P"  "flush:P"  "close:P"  "space:ROOT"
// plus whatever the test adds with Log(), so a test can check, for example,
// that a piece was flushed before it was closed and before a notice.
//
// Read and write faults count bytes per handle, from the moment it opened.
// The kernel copy between two handles is passed on to the inner files only
// while neither has a read or write fault set, so every injected fault lands
// on Read or Write, the path a failed kernel copy falls back to.
// Handles share the recorder with the file system, so they may outlive it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/FileSystem.h"

namespace tolvanix {

class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(std::unique_ptr<FileSystem> inner = MakeLinuxFileSystem());

  // Free space: a figure for every root, or for one root (exact string).
  void SetFreeSpace(uint64_t bytes);
  void SetFreeSpace(const std::string& root, uint64_t bytes);
  // Back to the real volumes' answers.
  void UseRealFreeSpace();
  // From the Nth query on (counted from 1 over all roots) the query answers
  // `status` (FolderMissing or Failed) instead.
  void FailFreeSpace(SpaceStatus status, int fromQuery = 1);

  // Drive type: for every path, or for paths under a prefix (longest wins).
  void SetRemovable(bool removable);
  void SetRemovable(const std::string& prefix, bool removable);

  // Opening `path` returns nullptr.
  void FailOpenRead(const std::string& path);
  void FailCreate(const std::string& path);

  // Through a handle on `path`, the first Read that asks for bytes past the
  // first `bytes` returns -1 (0: the first read fails).
  void FailReadAfter(const std::string& path, int64_t bytes);
  // Through a handle on `path`, writes stop after `bytes`: the Write that
  // crosses the mark writes up to it and returns that short count (a full
  // device), or -1 with FailWriteAfter.
  void ShortWriteAfter(const std::string& path, int64_t bytes);
  void FailWriteAfter(const std::string& path, int64_t bytes);
  // Flush on `path` returns false without flushing.
  void FailFlush(const std::string& path);

  // The shared log, and the parts of it tests ask about most.
  void Log(std::string event);
  const std::vector<std::string>& Events() const;
  std::vector<std::string> Flushes() const;
  std::vector<std::string> Creates() const;
  std::vector<std::string> OpenReads() const;
  std::vector<std::string> SpaceQueries() const;
  // Bytes the handles moved by the kernel copy, all together.
  int64_t KernelCopied() const;

  std::unique_ptr<File> OpenRead(const std::string& path) override;
  std::unique_ptr<File> Create(const std::string& path) override;
  bool Exists(const std::string& path) override;
  FreeSpace FreeSpaceAt(const std::string& root) override;
  bool IsRemovable(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;

  // What a handle needs after the file system that made it is gone.
  struct WriteLimit {
    int64_t bytes = 0;
    bool fail = false;  // -1 rather than a short count
  };
  struct Recorder {
    std::vector<std::string> events;
    std::map<std::string, int64_t> readLimits;
    std::map<std::string, WriteLimit> writeLimits;
    std::set<std::string> failFlush;
    int64_t kernelCopied = 0;
  };

 private:
  std::unique_ptr<File> Wrap(const std::string& path, std::unique_ptr<File> inner);

  std::unique_ptr<FileSystem> inner_;
  std::shared_ptr<Recorder> recorder_ = std::make_shared<Recorder>();
  std::optional<uint64_t> freeSpaceAll_;
  std::map<std::string, uint64_t> freeSpaceAt_;
  std::optional<SpaceStatus> spaceFailure_;
  int spaceFailureFrom_ = 1;
  int spaceQueries_ = 0;
  std::optional<bool> removableAll_;
  std::map<std::string, bool> removableUnder_;
  std::set<std::string> failOpenRead_;
  std::set<std::string> failCreate_;
};

}  // namespace tolvanix
