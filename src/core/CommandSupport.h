// Pieces the split and the join share: how a run ends and what it releases,
// the progress line, the one bounded buffer of a run, and the loop that
// moves bytes through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Commands.h"
#include "core/Digest.h"
#include "core/FileSystem.h"
#include "core/PieceFormat.h"

namespace tolvanix {

// One run of the split or the join. Whatever way it ends, it releases the
// same way, after any notice: its buffer (a member of the command), the file
// in the second handle field, the one in the first; then, once the command
// has called ClearOnEnd, the normal cursor and an empty progress line.
class CommandRun {
 public:
  CommandRun(const CommandRun&) = delete;
  CommandRun& operator=(const CommandRun&) = delete;

 protected:
  explicit CommandRun(const CommandContext& ctx)
      : ui_(ctx.ui),
        fs_(ctx.fs),
        dialogs_(ctx.dialogs),
        handles_(ctx.handles),
        control_(ctx.control),
        notes_(ctx.notes),
        checksumList_(ctx.checksumList) {}
  ~CommandRun();

  // Ends the run with `outcome`: a failure is told first, naming `file` on a
  // second line when given. A run asked to stop tells nothing: the program
  // is on its way out.
  Outcome End(Outcome outcome, const std::string& file = {});
  bool Stopping() const { return control_ && control_->StopRequested(); }
  void Tell(Note::Kind kind, const std::string& path) const {
    if (notes_) notes_({kind, path});
  }
  void ClearOnEnd() { clearOnEnd_ = true; }

  Interaction& ui_;
  FileSystem& fs_;
  FileDialogs& dialogs_;
  HandleFields& handles_;
  RunControl* control_;
  const Notes notes_;
  const bool checksumList_;
  // The file in the second handle field lies on a removable medium.
  bool writingToRemovable_ = false;

 private:
  bool clearOnEnd_ = false;
};

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
// failing read is ReadFailed, whichever way the bytes went. With `hash`, all
// goes through `buffer`, and `hash` is fed every byte read.
CopyResult CopyBytes(File& from, File& to, int64_t n, char* buffer, int64_t bufferSize,
                     const CopyPace& pace = {}, Hasher* hash = nullptr);

// The header of a first piece opened for reading, read from its start.
struct FirstPiece {
  // Done, or BadFileSize (shorter than 257 bytes, or 2 GiB and more),
  // NameReadFailed, CountReadFailed (a count below 1 too).
  Outcome outcome = Outcome::Done;
  int64_t size = 0;
  HeaderBytes header{};
  DecodedHeader decoded;
};
FirstPiece ReadFirstPiece(File& first);

// Several digests of the same bytes, to learn each one's at the end.
class HashSet final : public Hasher {
 public:
  void Add(HashKind kind);
  bool Empty() const { return hashers_.empty(); }
  void Update(const void* data, size_t n) override;
  // The first kind's.
  std::string HexDigest() override;
  // Each kind's, in the order added.
  std::vector<std::pair<HashKind, std::string>> Digests();
  // Drops every kind but this one.
  void KeepOnly(HashKind kind);

 private:
  std::vector<std::pair<HashKind, std::unique_ptr<Hasher>>> hashers_;
};

}  // namespace tolvanix
