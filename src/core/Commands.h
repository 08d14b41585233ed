// The split and the join, each one run from the click to its end. They talk to
// the user only through Interaction and touch bytes only through FileSystem.
// Every failure is one fixed notice shown before the clean-up; a cancelled
// prompt or a success ends silently.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/FileSystem.h"
#include "core/Interaction.h"
#include "i18n/Catalogue.h"

namespace tolvanix {

// How a run ended. Each failure maps to exactly one notice text.
enum class Outcome {
  Done,
  Cancelled,
  // split
  SourceOpenFailed,
  PieceSizeTooSmall,
  PieceSizeTooLarge,
  TooManyPieces,
  BufferFailed,
  FreeSpaceFailed,
  PieceCreateFailed,
  HeaderWriteFailed,
  SourceReadFailed,
  PieceWriteFailed,
  // join
  PieceOpenFailed,
  BadFileSize,
  NameReadFailed,
  CountReadFailed,
  OutputCreateFailed,
  PieceReadFailed,
  OutputWriteFailed,
  // a piece's bytes differ from what the checksum list beside the set says
  // (named on the notice's second line); the output holds the pieces before it
  ChecksumMismatch,
  // split: the pieces are complete, but the checksum list could not be
  // written (named on the second line)
  ListWriteFailed,
  // asked to stop from outside (the window closing, a signal): no notice
  Stopped,
};

// The notice of a failure in Japanese, shown through Tr; nullptr for Done,
// Cancelled and Stopped.
const char* NoticeText(Outcome outcome);

// The two handle fields of the main window: the split keeps its source in the
// first and the piece in the second, the join the piece it reads and the
// output. A run leaves both empty.
struct HandleFields {
  std::unique_ptr<File> first;
  std::unique_ptr<File> second;
};

// How a run that someone is watching from another thread reports how far it
// is, and learns that it should stop. Both are asked between chunks of a copy,
// so they must be cheap.
class RunControl {
 public:
  virtual ~RunControl() = default;
  // The share of the whole run done, from 0 to 1.
  virtual void Progress(double fraction) = 0;
  virtual bool StopRequested() = 0;
  // Asked right before the run creates a piece or its output, which it cannot
  // take back: false stops it there. A watcher that is asking the user
  // whether to stop waits here for the answer.
  virtual bool Proceed() { return !StopRequested(); }
};

// What a run tells that is no failure and gets no notice in a window; the
// command line prints it. `path` names the file it is about.
struct Note {
  enum Kind {
    // A checksum list beside the set was ignored: it cannot be read or does
    // not parse as a list of its kind.
    ListUnreadable,
    // A checksum list beside the set was ignored: it names other files than
    // the pieces of this set (another set's, or not every piece).
    ListOfOtherFiles,
    // Split: a file with the list's name exists and is no list of this set's
    // pieces; it is left as it is and no list is written.
    ListNotWritten,
    // Split: the list was written here.
    ListWritten,
    // Join: every piece matched the list at `path`.
    ListVerified,
  };
  Kind kind;
  std::string path;
};
// The text of a note in Japanese, shown through Tr like the notices.
const char* NoteText(Note::Kind kind);
// Called on the run's own thread, which may not be the window's.
using Notes = std::function<void(const Note&)>;

// What a command works with: the user, the disk, the window's dialogs and
// handle fields, and whoever may watch or stop the run (nobody if null).
struct CommandContext {
  Interaction& ui;
  FileSystem& fs;
  FileDialogs& dialogs;
  HandleFields& handles;
  RunControl* control = nullptr;
  // Told what needs no notice (see Note); empty: nobody.
  Notes notes = nullptr;
  // The split writes STEM.sha256 beside the pieces (see core/Checksums.h);
  // false writes none and copies as the split always did (--no-checksum).
  // The join verifies whenever it finds a list: there is nothing to turn off.
  bool checksumList = true;
};

// A copy reports progress and looks for a stop request after each chunk of
// this many bytes: a stop takes effect within one chunk.
inline constexpr int64_t kChunkBytes = 1 << 20;

// Size of the one reusable buffer a run moves data through when the kernel
// cannot copy (see CopyBytes): memory stays the same whatever the piece size.
// 256 KiB measured best among 128 KiB to 4 MiB with read and write alone.
inline constexpr int64_t kCopyBufferSize = 256 << 10;

// With `source` or `firstPiece` given, the command takes it as the file
// confirmed in its first prompt (the dialog's FileName is set to it) and
// does not show that prompt; all else is the same.
//
// RunSplit hashes each piece as it writes it and, after the last, writes the
// checksum list beside the first piece, or beside the last when the pieces
// went to several folders or media. RunJoin verifies each piece against a
// list beside the first piece, or, when not every piece lies beside the
// first, beside a later piece that took the next-medium notice (found on
// another medium or in another folder), as it appends it; at a mismatch it
// cuts the output back to the end of the last piece that matched and ends
// with ChecksumMismatch.
Outcome RunSplit(CommandContext ctx, int32_t pieceSizeKB, const std::string* source = nullptr);
Outcome RunJoin(CommandContext ctx, const std::string* firstPiece = nullptr);

// Fixed texts that are not failures, shown through Tr.
inline constexpr const char* kSplitProgress = N_("ファイル分割中です。");  // then "  k/count"
inline constexpr const char* kJoinProgress = N_("ファイル結合中です。");
inline constexpr const char* kNextMediumSplit = N_("次のメディア入れてください。");
inline constexpr const char* kNextMediumJoin = N_("次のメディアを入れてください。");
inline constexpr const char* kLowSpaceWarning =
    N_("選択されているコピー先に十分な余裕が有りません。ドライブを選択しますか？\r\n"
       "(はい：出力先選択　いいえ：現在の出力先で続行　ｷｬﾝｾﾙ：終了)");

}  // namespace tolvanix
