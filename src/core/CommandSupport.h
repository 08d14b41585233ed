// Pieces the split and the join share: the progress line, the one bounded
// buffer of a run, and the loop that moves bytes through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/FileSystem.h"

namespace tolvanix {

// "<prefix>  k/count": the fixed text ends in two ASCII spaces.
std::string ProgressText(const char* prefix, int64_t k, int64_t count);

// Zero-filled; nullptr when memory is short.
std::unique_ptr<char[]> ObtainBuffer(int64_t size);

struct CopyResult {
  enum Status { Ok, ReadFailed, WriteFailed };
  Status status = Ok;
  int64_t copied = 0;  // bytes that reached `to`; fewer than asked with Ok: end of `from`
};

// Moves up to n bytes from `from` to `to`, in the kernel where the two files
// allow it and through `buffer` otherwise, stopping early at the end of `from`
// or at the first failure. A full target is WriteFailed with the bytes that
// reached it; a failing read is ReadFailed, whichever way the bytes went.
CopyResult CopyBytes(File& from, File& to, int64_t n, char* buffer, int64_t bufferSize);

}  // namespace tolvanix
