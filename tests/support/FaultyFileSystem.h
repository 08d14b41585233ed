// The real file system, with chosen answers and faults per path, a hook at every chunk and
// one ordered log: "open:P", "create:P", "flush:P", "push:P", "close:P", "space:ROOT".
#pragma once

#include <functional>
#include <map>
#include <optional>

#include "core/FileSystem.h"
#include "support/TestFiles.h"

namespace tolvanix {

class FaultyFileSystem : public FileSystem {
 public:
  // Faults of one path. Byte counts are per handle, from its opening.
  struct Fault {
    bool open = false;         // OpenRead and Create return nullptr
    int64_t readAfter = -1;    // the first Read asking past this many bytes returns -1
    int64_t writeAfter = -1;   // the Write crossing this mark writes up to it and returns
    bool writeError = false;   // that short count (a full device), or -1 with writeError
    bool flush = false;        // Flush returns false
    bool close = false;        // Close returns false, the file closed all the same
    bool push = false;         // PushWritten returns false
    int64_t size = -1;         // what Size reports, if not the truth
    int64_t kernelAfter = -1;  // the kernel copy out of the file stops at this mark,
    KernelCopy::Stop kernelStop = KernelCopy::Fallback;  // this way
  };
  std::map<std::string, Fault> faults;
  std::optional<uint64_t> freeSpace = uint64_t{1} << 40;  // none: the real answer
  std::optional<bool> removable;                          // none: the real answer
  std::vector<std::string> events;
  int64_t kernelCopied = 0;  // bytes the handles moved by the kernel copy
  std::function<void(const std::string& path)> onChunk;
  std::function<void(const std::string& event)> onEvent;  // after it is logged
  void Log(const std::string& event) {
    events.push_back(event);
    if (onEvent) onEvent(event);
  }
  // From the Nth query on (counted from 1) free space answers `status`.
  void FailFreeSpace(SpaceStatus status, int fromQuery = 1) {
    spaceFailure_ = status;
    spaceFailureFrom_ = fromQuery;
  }

  std::unique_ptr<File> OpenRead(const std::string& path) override {
    Log("open:" + path);
    return Wrap(path, faults[path].open ? nullptr : inner_->OpenRead(path));
  }
  std::unique_ptr<File> Create(const std::string& path) override {
    Log("create:" + path);
    return Wrap(path, faults[path].open ? nullptr : inner_->Create(path));
  }
  bool Exists(const std::string& path) override { return inner_->Exists(path); }
  int64_t SizeOf(const std::string& path) override { return inner_->SizeOf(path); }
  FreeSpace FreeSpaceAt(const std::string& root) override {
    Log("space:" + root);
    if (++spaceQueries_ >= spaceFailureFrom_ && spaceFailure_) return {*spaceFailure_, 0};
    return freeSpace ? FreeSpace{SpaceStatus::Ok, *freeSpace} : inner_->FreeSpaceAt(root);
  }
  bool IsRemovable(const std::string& path) override {
    return removable ? *removable : inner_->IsRemovable(path);
  }
  bool SameFile(const std::string& a, const std::string& b) override {
    return inner_->SameFile(a, b);
  }

 private:
  std::unique_ptr<File> Wrap(const std::string& path, std::unique_ptr<File> inner);

  std::unique_ptr<FileSystem> inner_ = MakeNativeFileSystem();
  std::optional<SpaceStatus> spaceFailure_;
  int spaceFailureFrom_ = 1;
  int spaceQueries_ = 0;
};

class FaultyFile final : public File {
 public:
  FaultyFile(std::string path, std::unique_ptr<File> inner, FaultyFileSystem& fs)
      : path_(std::move(path)), inner_(std::move(inner)), fs_(fs) {}
  ~FaultyFile() override {
    if (inner_) Close();
  }
  bool Close() override {
    const bool closed = inner_->Close();
    inner_.reset();  // really closed before "close:" is logged
    fs_.Log("close:" + path_);
    return closed && !Fault().close;
  }
  int64_t Size() override { return Fault().size >= 0 ? Fault().size : inner_->Size(); }
  int64_t Read(void* buffer, int64_t n) override {
    Chunk();
    const int64_t limit = Fault().readAfter;
    if (limit >= 0 && n > 0 && read_ + n > limit) return -1;
    const int64_t got = inner_->Read(buffer, n);
    read_ += std::max<int64_t>(got, 0);
    return got;
  }
  int64_t Write(const void* buffer, int64_t n) override {
    Chunk();
    const auto& fault = Fault();
    const bool crosses = fault.writeAfter >= 0 && written_ + n > fault.writeAfter;
    const int64_t room = crosses ? std::max<int64_t>(0, fault.writeAfter - written_) : n;
    const int64_t put = room > 0 ? inner_->Write(buffer, room) : 0;
    written_ += std::max<int64_t>(put, 0);
    return crosses && fault.writeError ? -1 : put;
  }
  bool Flush() override {
    fs_.Log("flush:" + path_);
    return !Fault().flush && inner_->Flush();
  }
  bool Truncate(int64_t length) override { return inner_->Truncate(length); }
  bool PushWritten() override {
    fs_.Log("push:" + path_);
    return !Fault().push && inner_->PushWritten();
  }
  // Only between handles without read or write faults: those land on Read or Write.
  KernelCopy CopyTo(File& to, int64_t n) override {
    auto* target = dynamic_cast<FaultyFile*>(&to);
    if (target == nullptr || HasFault() || target->HasFault()) return {};
    const auto fault = Fault();
    const int64_t ask = fault.kernelAfter < 0 ? n : std::min(n, fault.kernelAfter - read_);
    KernelCopy result{fault.kernelStop, 0};
    if (ask > 0) result = inner_->CopyTo(*target->inner_, ask);
    // A file system without kernel copies serves its chunks by Read and Write.
    if (result.copied > 0 || result.stop != KernelCopy::Fallback) Chunk();
    if (ask < n && result.stop == KernelCopy::Done) result.stop = fault.kernelStop;
    read_ += result.copied;
    target->written_ += result.copied;
    fs_.kernelCopied += result.copied;
    return result;
  }

 private:
  void Chunk() {
    if (fs_.onChunk) fs_.onChunk(path_);
  }
  FaultyFileSystem::Fault Fault() const {
    auto found = fs_.faults.find(path_);
    return found == fs_.faults.end() ? FaultyFileSystem::Fault{} : found->second;
  }
  bool HasFault() const { return Fault().readAfter >= 0 || Fault().writeAfter >= 0; }

  const std::string path_;
  std::unique_ptr<File> inner_;
  FaultyFileSystem& fs_;
  int64_t read_ = 0;
  int64_t written_ = 0;
};

inline std::unique_ptr<File> FaultyFileSystem::Wrap(const std::string& path,
                                                    std::unique_ptr<File> inner) {
  if (!inner) return nullptr;
  return std::make_unique<FaultyFile>(path, std::move(inner), *this);
}

}  // namespace tolvanix
