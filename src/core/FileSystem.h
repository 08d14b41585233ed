// The file and volume operations the commands need, as an interface so tests
// can put a fault-injecting decorator in front of the real Linux one.
//
// Guarantees of every implementation:
//  - OpenRead opens an existing regular file with no sharing: a folder, FIFO
//    or device is refused without blocking, and a file that is held (by this
//    process or another program that locks) cannot be opened.
//  - Create makes or reuses a regular file with no sharing and empties it only
//    once it holds it, so a path naming a held file fails and leaves it intact.
//    A path whose last part is a symbolic link fails: it is never written through.
//  - Read and Write move the whole count unless the end of the file (read) or
//    a full device (write) comes first; -1 on failure.
//  - Close reports what the system says when the file is let go: a network or
//    FUSE file system may tell of a full quota or a failed write only there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tolvanix {

// How an in-kernel copy between two files ended.
struct KernelCopy {
  enum Stop {
    Done,        // all the bytes asked for were copied
    Full,        // the target's device is full after `copied` bytes
    Fallback,    // stopped after `copied` bytes with no clear cause: move the
                 // rest with Read and Write, which tell what is wrong, if anything
    ReadFailed,  // the source cannot go on from `copied`
  };
  Stop stop = Fallback;
  int64_t copied = 0;
};

class File {
 public:
  virtual ~File() = default;  // closes the file if Close has not, ignoring the result
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // 64-bit size, or -1 when it cannot be taken.
  virtual int64_t Size() = 0;
  // Reads up to n bytes; fewer only at the end of the file. -1 on failure,
  // even after some bytes, so a broken read never passes for the end.
  virtual int64_t Read(void* buffer, int64_t n) = 0;
  // Writes n bytes; fewer (possibly 0) only when the device is full. -1 on
  // any other failure, even after some bytes.
  virtual int64_t Write(const void* buffer, int64_t n) = 0;
  // Pushes written data to the medium (fsync).
  virtual bool Flush() = 0;
  // Cuts a file open for writing to `length` bytes and writes on from there.
  virtual bool Truncate(int64_t length) = 0;
  // Closes the file now; false when the system reports a failure in doing so.
  // Nothing else may be asked of the file afterwards.
  virtual bool Close() = 0;
  // Called as writing goes on: starts pushing what was written since the
  // last call to the medium, and waits until what an earlier call started is
  // there, so writing keeps the medium's pace instead of filling memory.
  // False when the medium reported a failure.
  virtual bool PushWritten() { return true; }
  // Copies up to n bytes from this file's position to `to`'s position inside
  // the kernel, advancing both by `copied`. Never reports the end of this file:
  // a copy that runs dry ends in Fallback, and Read finds the end. Files that
  // cannot copy this way answer Fallback with nothing copied.
  virtual KernelCopy CopyTo(File& /*to*/, int64_t /*n*/) { return {}; }
};

enum class SpaceStatus { Ok, FolderMissing, Failed };

struct FreeSpace {
  SpaceStatus status = SpaceStatus::Failed;
  uint64_t bytes = 0;  // valid with Ok
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // nullptr on failure.
  virtual std::unique_ptr<File> OpenRead(const std::string& path) = 0;
  virtual std::unique_ptr<File> Create(const std::string& path) = 0;
  // Something that is not a folder exists at the path.
  virtual bool Exists(const std::string& path) = 0;
  // Size of the regular file at the path, without opening it; -1 when there
  // is none or its size cannot be had.
  virtual int64_t SizeOf(const std::string& path) = 0;
  // Free space of the volume that holds `root` (a folder).
  virtual FreeSpace FreeSpaceAt(const std::string& root) = 0;
  // Whether the volume holding `path` sits on a removable drive.
  virtual bool IsRemovable(const std::string& path) = 0;
  // Both paths name the same existing file (through links too).
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;
};

// The real one of the platform this program is built for.
std::unique_ptr<FileSystem> MakeNativeFileSystem();
// The real one, on Linux system calls.
std::unique_ptr<FileSystem> MakeLinuxFileSystem();
// How a file is locked against other programs: flock(2), or a stand-in.
using LockCall = int (*)(int fd, int operation);
// The calls a Linux file moves bytes with; where one is null, the system's.
// On FUSE, NFS and CIFS, and when a signal comes, each may move fewer bytes
// than asked without an error.
struct LinuxByteCalls {
  int64_t (*read)(int fd, void* buffer, size_t n) = nullptr;
  int64_t (*write)(int fd, const void* buffer, size_t n) = nullptr;
  // splice(2) from one position to the other, one side being a pipe.
  int64_t (*splice)(int from, int to, size_t n) = nullptr;
};
// The same, reading the drive flags from a sysfs tree at `sysfsRoot` instead
// of /sys, locking with `lock` and moving bytes with `calls`, so tests can fake
// a removable disk, the locks of other file systems and their short counts.
std::unique_ptr<FileSystem> MakeLinuxFileSystemForTest(const std::string& sysfsRoot, LockCall lock,
                                                       const LinuxByteCalls& calls = {});

}  // namespace tolvanix
