// FileSystem on Linux system calls. No sharing is built from two things:
//  - every file this process holds is noted by its identity (device and
//    inode), so a second open of it here fails on any file system;
//  - every handle takes an exclusive flock on its own open file description,
//    so another program that locks cannot have it either. Where the file
//    system cannot lock as asked (NFS locks a file open for reading only
//    shared, and some have no locks at all) a handle makes do with less.
#include "core/FileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace tolvanix {
namespace {

// Linux moves at most 2,147,479,552 bytes per read or write; stay below it.
constexpr int64_t kMaxChunk = int64_t{1} << 30;

// On a removable medium writing is pushed out in batches of this size, with
// at most two of them on their way: small enough that a wait for the medium
// stays short, large enough to keep a USB stick busy.
constexpr off_t kPushBatch = 2 << 20;

// Owns a descriptor: closed exactly once on every way out, unless released
// (to the LinuxFile that closes it then).
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// A private pipe for the kernel copies out of one file, empty between chunks.
// 1 MiB, what an unprivileged process may ask for, measured fastest (64 KiB,
// the default, costs a fifth more); a smaller pipe (the limit lowered, the
// user's pipe quota spent) still works, in more passes.
class SplicePipe {
 public:
  SplicePipe(int readEnd, int writeEnd) : read_(readEnd), write_(writeEnd) {}
  // None when no pipe can be had: the copy then goes by Read and Write.
  static std::unique_ptr<SplicePipe> Open() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return nullptr;
    auto pipe = std::make_unique<SplicePipe>(fds[0], fds[1]);
    ::fcntl(fds[1], F_SETPIPE_SZ, kPipeBytes);  // if refused, the size it has
    pipe->capacity_ = ::fcntl(fds[1], F_GETPIPE_SZ);
    return pipe->capacity_ > 0 ? std::move(pipe) : nullptr;
  }
  int ReadEnd() const { return read_.get(); }
  int WriteEnd() const { return write_.get(); }
  int64_t Capacity() const { return capacity_; }

 private:
  static constexpr int kPipeBytes = 1 << 20;
  Descriptor read_, write_;
  int64_t capacity_ = 0;
};

// The identities of the files this process holds, whatever the file system.
class HeldFiles {
 public:
  using Identity = std::pair<dev_t, ino_t>;
  // False when the file is held already.
  static bool Take(const Identity& id) {
    std::lock_guard<std::mutex> guard(mutex_);
    return held_.insert(id).second;
  }
  static void Release(const Identity& id) {
    std::lock_guard<std::mutex> guard(mutex_);
    held_.erase(id);
  }

 private:
  static inline std::mutex mutex_;
  static inline std::set<Identity> held_;
};

class LinuxFile final : public File {
 public:
  LinuxFile(int fd, HeldFiles::Identity id, const LinuxByteCalls& calls)
      : fd_(fd), id_(id), calls_(calls) {}
  ~LinuxFile() override {
    if (fd_ >= 0) Close();
  }

  // A close interrupted by a signal has still released the descriptor on
  // Linux, so it is never retried; it may not have said all, so it fails.
  bool Close() override {
    if (fd_ < 0) return false;
    pipe_.reset();
    const bool closed = ::close(std::exchange(fd_, -1)) == 0;
    HeldFiles::Release(id_);
    return closed;
  }

  int Fd() const { return fd_; }

  int64_t Size() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
  }

  // An error after some bytes still fails: a broken read must not pass for
  // the end of the file.
  int64_t Read(void* buffer, int64_t n) override {
    if (n < 0) return -1;
    auto* p = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < n) {
      const int64_t got =
          calls_.read(fd_, p + done, static_cast<size_t>(std::min(n - done, kMaxChunk)));
      if (got < 0) {
        if (errno == EINTR) continue;
        return -1;
      }
      if (got == 0) break;
      done += got;
    }
    return done;
  }

  // A full device (ENOSPC, EDQUOT, or a write that moves nothing) gives the
  // count written so far, possibly 0. Any other error gives -1 even after
  // some bytes, so a fault never looks like a full device and a short count
  // never hides bytes that were not written.
  int64_t Write(const void* buffer, int64_t n) override {
    if (n < 0) return -1;
    const auto* p = static_cast<const char*>(buffer);
    int64_t done = 0;
    while (done < n) {
      const int64_t put =
          calls_.write(fd_, p + done, static_cast<size_t>(std::min(n - done, kMaxChunk)));
      if (put < 0) {
        if (errno == EINTR) continue;
        if (errno == ENOSPC || errno == EDQUOT) break;
        return -1;
      }
      if (put == 0) break;
      done += put;
    }
    return done;
  }

  bool Flush() override {
    while (::fsync(fd_) != 0) {
      if (errno != EINTR) return false;
    }
    return true;
  }

  bool Truncate(int64_t length) override {
    if (length < 0 || ::lseek(fd_, length, SEEK_SET) != length) return false;
    while (::ftruncate(fd_, length) != 0) {
      if (errno != EINTR) return false;
    }
    // What was pushed beyond the cut is gone; pushing starts again from here.
    started_ = std::min<off_t>(started_, length);
    waited_ = std::min<off_t>(waited_, length);
    return true;
  }

  // An error the medium reports here is the caller's to tell: once reported
  // the kernel may not report it again to a later fsync.
  bool PushWritten() override {
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) return false;
    if (at - started_ < kPushBatch) return true;
    if (started_ > waited_ && !SyncRange(waited_, started_ - waited_,
                                         SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                             SYNC_FILE_RANGE_WAIT_AFTER)) {
      return false;
    }
    waited_ = started_;
    if (!SyncRange(started_, at - started_, SYNC_FILE_RANGE_WRITE)) return false;
    started_ = at;
    return true;
  }

  // The source's pages go into a pipe by reference and from there into the
  // target's page cache: one copy of each byte and no user buffer. Only
  // ENOSPC and EDQUOT are taken as they come; any other stop (a filesystem
  // without splice, EIO, a 0 that may not be the end) hands the rest to Read
  // and Write, which tell for certain which side failed.
  KernelCopy CopyTo(File& to, int64_t n) override {
    auto* target = dynamic_cast<LinuxFile*>(&to);
    KernelCopy result;
    if (target == nullptr || n < 0) return result;
    // One pipe for all the chunks this file is copied in.
    if (!pipe_ && !(pipe_ = SplicePipe::Open())) return result;
    SplicePipe& pipe = *pipe_;
    while (result.copied < n) {
      const int64_t in = calls_.splice(
          fd_, pipe.WriteEnd(), static_cast<size_t>(std::min(n - result.copied, pipe.Capacity())));
      if (in < 0 && errno == EINTR) continue;
      if (in <= 0) return result;
      int64_t pending = in;
      while (pending > 0) {
        const int64_t out =
            calls_.splice(pipe.ReadEnd(), target->fd_, static_cast<size_t>(pending));
        if (out > 0) {
          result.copied += out;
          pending -= out;
          continue;
        }
        if (out < 0 && errno == EINTR) continue;
        const bool full = out < 0 && (errno == ENOSPC || errno == EDQUOT);
        // What the pipe still holds was never written: the source steps back
        // so that both files stand at `copied`, and the pipe goes with those
        // bytes. A source that cannot step back is not handed to Read, which
        // would skip them.
        const bool back = ::lseek(fd_, -pending, SEEK_CUR) >= 0;
        pipe_.reset();
        result.stop = full   ? KernelCopy::Full
                      : back ? KernelCopy::Fallback
                             : KernelCopy::ReadFailed;
        return result;
      }
    }
    result.stop = KernelCopy::Done;
    return result;
  }

 private:
  // Not interrupted by signals: no EINTR to retry.
  bool SyncRange(off_t from, off_t length, unsigned flags) {
    return ::sync_file_range(fd_, from, length, flags) == 0;
  }

  int fd_;
  const HeldFiles::Identity id_;
  const LinuxByteCalls calls_;
  std::unique_ptr<SplicePipe> pipe_;
  off_t started_ = 0;  // pushing to the medium has started up to here
  off_t waited_ = 0;   // and is known done up to here
};

// Keeps other programs off the file. An exclusive lock first; where the file
// system cannot take it as asked (NFS refuses an exclusive lock on a file open
// only for reading with EBADF; ENOLCK and EOPNOTSUPP where there are no
// locks), a shared one, and at worst none. A lock held elsewhere refuses.
bool LockAgainstOthers(int fd, LockCall lock) {
  for (const int operation : {LOCK_EX, LOCK_SH}) {
    int rc;
    while ((rc = lock(fd, operation | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc == 0) return true;
    if (errno != EBADF && errno != ENOLCK && errno != EOPNOTSUPP) return false;
  }
  return true;
}

// A regular file, not held by this process already, locked against others,
// and blocking again: O_NONBLOCK was only there for the open, and some
// filesystems (FUSE) pass it on to reads. `st` is filled in.
std::unique_ptr<LinuxFile> HoldRegularFile(Descriptor& fd, struct stat& st, LockCall lock,
                                           const LinuxByteCalls& calls) {
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  const HeldFiles::Identity id{st.st_dev, st.st_ino};
  if (!HeldFiles::Take(id)) return nullptr;
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (!LockAgainstOthers(fd.get(), lock) || flags == -1 ||
      ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    HeldFiles::Release(id);
    return nullptr;
  }
  return std::make_unique<LinuxFile>(fd.release(), id, calls);
}

// The system's calls for those not given. Offsets are never passed to
// splice: both files move from where they stand.
LinuxByteCalls WithSystemCalls(LinuxByteCalls calls) {
  if (!calls.read)
    calls.read = [](int fd, void* b, size_t n) -> int64_t { return ::read(fd, b, n); };
  if (!calls.write)
    calls.write = [](int fd, const void* b, size_t n) -> int64_t { return ::write(fd, b, n); };
  if (!calls.splice) {
    calls.splice = [](int from, int to, size_t n) -> int64_t {
      return ::splice(from, nullptr, to, nullptr, n, 0);
    };
  }
  return calls;
}

// The folder part of a path, for walking up to an existing parent.
std::string ParentOf(const std::string& path) {
  if (path.empty()) return ".";
  auto end = path.find_last_not_of('/');
  if (end == std::string::npos) return "/";
  auto slash = path.find_last_of('/', end);
  if (slash == std::string::npos) return ".";
  auto keep = path.find_last_not_of('/', slash);
  return keep == std::string::npos ? "/" : path.substr(0, keep + 1);
}

// The device of the filesystem holding `path`, or of its nearest existing
// folder when the path itself is not there yet.
bool DeviceOf(std::string path, dev_t* dev) {
  struct stat st;
  while (::stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return false;
    std::string parent = ParentOf(path);
    if (parent == path) return false;
    path = std::move(parent);
  }
  *dev = st.st_dev;
  return true;
}

class LinuxFileSystem final : public FileSystem {
 public:
  LinuxFileSystem(std::string sysfsRoot, LockCall lock, const LinuxByteCalls& calls)
      : sysfs_(std::move(sysfsRoot)), lock_(lock), calls_(WithSystemCalls(calls)) {}

  // O_NONBLOCK keeps a FIFO from waiting for a writer before fstat can
  // refuse it.
  std::unique_ptr<File> OpenRead(const std::string& path) override {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st;
    if (fd.get() < 0) return nullptr;
    return HoldRegularFile(fd, st, lock_, calls_);
  }

  // No O_TRUNC: the file is emptied only once the lock is ours, so a path
  // naming a held file leaves it intact. O_NOFOLLOW: a link planted where a
  // piece or output goes (anyone can, in a shared folder) is never written
  // through; folders on the way may still be links.
  std::unique_ptr<File> Create(const std::string& path) override {
    Descriptor fd(::open(path.c_str(),
                         O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666));
    if (fd.get() < 0) return nullptr;
    struct stat st;
    auto file = HoldRegularFile(fd, st, lock_, calls_);
    // Only a file with bytes is truncated: ext4 answers a truncate to 0 by
    // writing the whole file out when it is closed (auto_da_alloc), which
    // stalls every close of a new piece or output for nothing.
    if (file && st.st_size != 0 && ::ftruncate(file->Fd(), 0) != 0) return nullptr;
    return file;
  }

  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  int64_t SizeOf(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
  }

  // A medium swapped on Linux mounts elsewhere, so the old folder vanishes:
  // that is FolderMissing, not a failed query.
  FreeSpace FreeSpaceAt(const std::string& root) override {
    struct statvfs vfs;
    if (::statvfs(root.c_str(), &vfs) != 0) {
      bool gone = errno == ENOENT || errno == ENOTDIR;
      return {gone ? SpaceStatus::FolderMissing : SpaceStatus::Failed, 0};
    }
    return {SpaceStatus::Ok, static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize};
  }

  // The flag lives on the whole disk; a partition's node has a `partition`
  // file and sits inside its disk's folder. Filesystems without a block
  // device (tmpfs, network) have no node and answer false.
  bool IsRemovable(const std::string& path) override {
    dev_t dev;
    if (!DeviceOf(path, &dev)) return false;
    std::string node =
        sysfs_ + "/dev/block/" + std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    char* resolved = ::realpath(node.c_str(), nullptr);
    if (resolved == nullptr) return false;
    std::string disk = resolved;
    std::free(resolved);
    if (::access((disk + "/partition").c_str(), F_OK) == 0) disk = ParentOf(disk);
    return std::ifstream(disk + "/removable").get() == '1';
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
  }

 private:
  const std::string sysfs_;
  const LockCall lock_;
  const LinuxByteCalls calls_;
};

}  // namespace

std::unique_ptr<FileSystem> MakeNativeFileSystem() { return MakeLinuxFileSystem(); }

std::unique_ptr<FileSystem> MakeLinuxFileSystem() {
  return std::make_unique<LinuxFileSystem>("/sys", ::flock, LinuxByteCalls{});
}

std::unique_ptr<FileSystem> MakeLinuxFileSystemForTest(const std::string& sysfsRoot, LockCall lock,
                                                       const LinuxByteCalls& calls) {
  return std::make_unique<LinuxFileSystem>(sysfsRoot, lock, calls);
}

}  // namespace tolvanix
