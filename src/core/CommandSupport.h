// Pieces the split and the join share: the progress line, the one bounded
// buffer of a run, and the loop that moves bytes through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Commands.h"
#include "core/FileSystem.h"

namespace tolvanix {

// "<prefix>  k/count", the prefix through Tr: the fixed text ends in two
// ASCII spaces.
std::string ProgressText(const char* prefix, int64_t k, int64_t count);

// Zero-filled; nullptr when memory is short.
std::unique_ptr<char[]> ObtainBuffer(int64_t size);

// What a copy tells its watcher after each chunk: the share of the run done
// is base + perByte x the bytes copied so far in this call. On a removable
// medium the written data is pushed out as it goes.
struct CopyPace {
  RunControl* control = nullptr;
  double base = 0;
  double perByte = 0;
  bool pushToMedium = false;
};

struct CopyResult {
  enum Status { Ok, ReadFailed, WriteFailed, Stopped };
  Status status = Ok;
  int64_t copied = 0;  // bytes that reached `to`; fewer than asked with Ok: end of `from`
};

// Moves up to n bytes from `from` to `to`, chunk by chunk, in the kernel
// where the two files allow it and through `buffer` otherwise, stopping early
// at the end of `from`, at the first failure, or before a chunk once a stop is
// requested. A full target is WriteFailed with the bytes that reached it; a
// failing read is ReadFailed, whichever way the bytes went.
CopyResult CopyBytes(File& from, File& to, int64_t n, char* buffer, int64_t bufferSize,
                     const CopyPace& pace = {});

}  // namespace tolvanix
