#include "support/FaultyFileSystem.h"

#include <algorithm>
#include <utility>

namespace tolvanix {
namespace {

class FaultyFile final : public File {
 public:
  FaultyFile(std::string path, std::unique_ptr<File> inner, FaultyFileSystem& fs)
      : path_(std::move(path)), inner_(std::move(inner)), fs_(fs) {}
  ~FaultyFile() override {
    inner_.reset();  // really closed before "close:" is logged
    fs_.events.push_back("close:" + path_);
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
    fs_.events.push_back("flush:" + path_);
    return !Fault().flush && inner_->Flush();
  }

  bool PushWritten() override {
    fs_.events.push_back("push:" + path_);
    return !Fault().push && inner_->PushWritten();
  }

  // Only between handles without read or write faults, so every injected
  // fault lands on Read or Write, the path a failed kernel copy falls back to.
  KernelCopy CopyTo(File& to, int64_t n) override {
    auto* target = dynamic_cast<FaultyFile*>(&to);
    if (target == nullptr || HasFault() || target->HasFault()) return {};
    Chunk();
    const KernelCopy result = inner_->CopyTo(*target->inner_, n);
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

}  // namespace

std::unique_ptr<File> FaultyFileSystem::OpenRead(const std::string& path) {
  events.push_back("open:" + path);
  return Wrap(path, faults[path].open ? nullptr : inner_->OpenRead(path));
}

std::unique_ptr<File> FaultyFileSystem::Create(const std::string& path) {
  events.push_back("create:" + path);
  return Wrap(path, faults[path].open ? nullptr : inner_->Create(path));
}

std::unique_ptr<File> FaultyFileSystem::Wrap(const std::string& path, std::unique_ptr<File> inner) {
  if (!inner) return nullptr;
  return std::make_unique<FaultyFile>(path, std::move(inner), *this);
}

FreeSpace FaultyFileSystem::FreeSpaceAt(const std::string& root) {
  events.push_back("space:" + root);
  if (++spaceQueries_ >= spaceFailureFrom_ && spaceFailure_) return {*spaceFailure_, 0};
  return freeSpace ? FreeSpace{SpaceStatus::Ok, *freeSpace} : inner_->FreeSpaceAt(root);
}

}  // namespace tolvanix
