#include "support/FaultyFileSystem.h"

#include <algorithm>
#include <utility>

namespace tolvanix {
namespace {

using Recorder = FaultyFileSystem::Recorder;
using WriteLimit = FaultyFileSystem::WriteLimit;

class FaultyFile final : public File {
 public:
  FaultyFile(std::string path, std::unique_ptr<File> inner, std::shared_ptr<Recorder> recorder)
      : path_(std::move(path)), inner_(std::move(inner)), recorder_(std::move(recorder)) {}

  // The inner file closes first, so "close:" is logged once it really is.
  ~FaultyFile() override {
    inner_.reset();
    recorder_->events.push_back("close:" + path_);
  }

  int64_t Size() override { return inner_->Size(); }

  int64_t Read(void* buffer, int64_t n) override {
    auto limit = recorder_->readLimits.find(path_);
    if (limit != recorder_->readLimits.end() && n > 0 && read_ + n > limit->second) return -1;
    int64_t got = inner_->Read(buffer, n);
    if (got > 0) read_ += got;
    return got;
  }

  int64_t Write(const void* buffer, int64_t n) override {
    auto found = recorder_->writeLimits.find(path_);
    if (found == recorder_->writeLimits.end() || n <= 0 || written_ + n <= found->second.bytes) {
      int64_t put = inner_->Write(buffer, n);
      if (put > 0) written_ += put;
      return put;
    }
    const WriteLimit& limit = found->second;
    int64_t room = std::max<int64_t>(0, limit.bytes - written_);
    int64_t put = room > 0 ? inner_->Write(buffer, room) : 0;
    if (put > 0) written_ += put;
    return limit.fail ? -1 : put;
  }

  bool Flush() override {
    recorder_->events.push_back("flush:" + path_);
    if (recorder_->failFlush.count(path_) != 0) return false;
    return inner_->Flush();
  }

  KernelCopy CopyTo(File& to, int64_t n) override {
    auto* target = dynamic_cast<FaultyFile*>(&to);
    if (target == nullptr || HasFault() || target->HasFault()) return {};
    const KernelCopy result = inner_->CopyTo(*target->inner_, n);
    read_ += result.copied;
    target->written_ += result.copied;
    recorder_->kernelCopied += result.copied;
    return result;
  }

 private:
  bool HasFault() const {
    return recorder_->readLimits.count(path_) != 0 || recorder_->writeLimits.count(path_) != 0;
  }

  const std::string path_;
  std::unique_ptr<File> inner_;
  std::shared_ptr<Recorder> recorder_;
  int64_t read_ = 0;
  int64_t written_ = 0;
};

std::vector<std::string> Matching(const std::vector<std::string>& events, const std::string& kind) {
  std::vector<std::string> out;
  for (const auto& e : events) {
    if (e.compare(0, kind.size(), kind) == 0) out.push_back(e.substr(kind.size()));
  }
  return out;
}

}  // namespace

FaultyFileSystem::FaultyFileSystem(std::unique_ptr<FileSystem> inner) : inner_(std::move(inner)) {}

void FaultyFileSystem::SetFreeSpace(uint64_t bytes) { freeSpaceAll_ = bytes; }
void FaultyFileSystem::SetFreeSpace(const std::string& root, uint64_t bytes) {
  freeSpaceAt_[root] = bytes;
}
void FaultyFileSystem::FailFreeSpace(SpaceStatus status, int fromQuery) {
  spaceFailure_ = status;
  spaceFailureFrom_ = fromQuery;
}

void FaultyFileSystem::SetRemovable(bool removable) { removableAll_ = removable; }
void FaultyFileSystem::SetRemovable(const std::string& prefix, bool removable) {
  removableUnder_[prefix] = removable;
}

void FaultyFileSystem::FailOpenRead(const std::string& path) { failOpenRead_.insert(path); }
void FaultyFileSystem::FailCreate(const std::string& path) { failCreate_.insert(path); }

void FaultyFileSystem::FailReadAfter(const std::string& path, int64_t bytes) {
  recorder_->readLimits[path] = bytes;
}
void FaultyFileSystem::ShortWriteAfter(const std::string& path, int64_t bytes) {
  recorder_->writeLimits[path] = {bytes, false};
}
void FaultyFileSystem::FailWriteAfter(const std::string& path, int64_t bytes) {
  recorder_->writeLimits[path] = {bytes, true};
}
void FaultyFileSystem::FailFlush(const std::string& path) { recorder_->failFlush.insert(path); }

void FaultyFileSystem::Log(std::string event) { recorder_->events.push_back(std::move(event)); }
const std::vector<std::string>& FaultyFileSystem::Events() const { return recorder_->events; }
std::vector<std::string> FaultyFileSystem::Flushes() const {
  return Matching(recorder_->events, "flush:");
}
std::vector<std::string> FaultyFileSystem::Creates() const {
  return Matching(recorder_->events, "create:");
}
std::vector<std::string> FaultyFileSystem::OpenReads() const {
  return Matching(recorder_->events, "open:");
}
std::vector<std::string> FaultyFileSystem::SpaceQueries() const {
  return Matching(recorder_->events, "space:");
}

int64_t FaultyFileSystem::KernelCopied() const { return recorder_->kernelCopied; }

std::unique_ptr<File> FaultyFileSystem::OpenRead(const std::string& path) {
  Log("open:" + path);
  if (failOpenRead_.count(path) != 0) return nullptr;
  return Wrap(path, inner_->OpenRead(path));
}

std::unique_ptr<File> FaultyFileSystem::Create(const std::string& path) {
  Log("create:" + path);
  if (failCreate_.count(path) != 0) return nullptr;
  return Wrap(path, inner_->Create(path));
}

std::unique_ptr<File> FaultyFileSystem::Wrap(const std::string& path, std::unique_ptr<File> inner) {
  if (!inner) return nullptr;
  return std::make_unique<FaultyFile>(path, std::move(inner), recorder_);
}

bool FaultyFileSystem::Exists(const std::string& path) { return inner_->Exists(path); }

void FaultyFileSystem::UseRealFreeSpace() {
  freeSpaceAll_.reset();
  freeSpaceAt_.clear();
  spaceFailure_.reset();
}

FreeSpace FaultyFileSystem::FreeSpaceAt(const std::string& root) {
  Log("space:" + root);
  ++spaceQueries_;
  if (spaceFailure_ && spaceQueries_ >= spaceFailureFrom_) return {*spaceFailure_, 0};
  if (auto at = freeSpaceAt_.find(root); at != freeSpaceAt_.end()) {
    return {SpaceStatus::Ok, at->second};
  }
  if (freeSpaceAll_) return {SpaceStatus::Ok, *freeSpaceAll_};
  return inner_->FreeSpaceAt(root);
}

bool FaultyFileSystem::IsRemovable(const std::string& path) {
  const std::string* best = nullptr;
  bool answer = false;
  for (const auto& [prefix, removable] : removableUnder_) {
    if (path.compare(0, prefix.size(), prefix) == 0 && (!best || prefix.size() > best->size())) {
      best = &prefix;
      answer = removable;
    }
  }
  if (best) return answer;
  if (removableAll_) return *removableAll_;
  return inner_->IsRemovable(path);
}

bool FaultyFileSystem::SameFile(const std::string& a, const std::string& b) {
  return inner_->SameFile(a, b);
}

}  // namespace tolvanix
