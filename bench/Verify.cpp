#include "Verify.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace tolvanix::bench {
namespace {

constexpr size_t kChunk = 1 << 20;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::runtime_error SystemError(const std::string& what, const std::string& path) {
  return std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

// The files as one stream; Read fills the buffer unless the stream ends.
class ConcatStream {
 public:
  ConcatStream(std::vector<std::string> files, int64_t skip)
      : files_(std::move(files)), skip_(skip) {}

  size_t Read(char* buffer, size_t n) {
    size_t done = 0;
    while (done < n) {
      if (!current_) {
        if (next_ == files_.size()) break;
        current_ = std::make_unique<Fd>(::open(files_[next_].c_str(), O_RDONLY | O_CLOEXEC));
        if (current_->get() < 0) throw SystemError("cannot open", files_[next_]);
        ++next_;
        if (skip_ > 0 && ::lseek(current_->get(), skip_, SEEK_SET) != skip_) {
          throw SystemError("cannot seek in", files_[next_ - 1]);
        }
        skip_ = 0;
      }
      const ssize_t got = ::read(current_->get(), buffer + done, n - done);
      if (got < 0) {
        if (errno == EINTR) continue;
        throw SystemError("cannot read", files_[next_ - 1]);
      }
      if (got == 0) {
        current_.reset();
        continue;
      }
      done += static_cast<size_t>(got);
    }
    return done;
  }

 private:
  std::vector<std::string> files_;
  int64_t skip_;
  size_t next_ = 0;
  std::unique_ptr<Fd> current_;
};

}  // namespace

void MakeSource(const std::string& path, int64_t size, uint64_t seed) {
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) throw SystemError("cannot create", path);
  std::vector<uint64_t> block(kChunk / sizeof(uint64_t));
  uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
  for (int64_t left = size; left > 0;) {
    for (uint64_t& word : block) {
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
      word = x;
    }
    const size_t n = static_cast<size_t>(std::min<int64_t>(left, kChunk));
    if (::write(fd.get(), block.data(), n) != static_cast<ssize_t>(n))
      throw SystemError("cannot write", path);
    left -= static_cast<int64_t>(n);
  }
}

std::string CompareConcatenation(const std::vector<std::string>& files, int64_t skip,
                                 const std::string& source) {
  ConcatStream expected({source}, 0);
  ConcatStream actual(files, skip);
  const auto a = std::make_unique<char[]>(kChunk);
  const auto b = std::make_unique<char[]>(kChunk);
  for (int64_t offset = 0;; offset += kChunk) {
    const size_t n = expected.Read(a.get(), kChunk);
    const size_t m = actual.Read(b.get(), kChunk);
    if (n != m) return "length differs near byte " + std::to_string(offset + std::min(n, m));
    if (std::memcmp(a.get(), b.get(), n) != 0)
      return "bytes differ in the MiB at " + std::to_string(offset);
    if (n < kChunk) return "";
  }
}

}  // namespace tolvanix::bench
