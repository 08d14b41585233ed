// The join: first-piece prompt, header, output prompt, then the data of every
// piece appended in number order, looking for each later piece next to the one
// before it and asking the user for the medium or folder that holds it.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "core/Checksums.h"
#include "core/CommandSupport.h"
#include "core/Commands.h"
#include "core/Cp932.h"
#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

class JoinRun final : CommandRun {
 public:
  explicit JoinRun(const CommandContext& ctx) : CommandRun(ctx) {}

  Outcome Run(const std::string* firstPiece);

 private:
  Outcome CopyPieces(const std::string& firstPiece, const FirstPiece& head);
  // The first of the pieces beside the first one whose length breaks the
  // set, or empty. Only the pieces up to the first one missing are looked at;
  // `allBeside` tells whether there was none.
  std::string BrokenPieceBeside(const std::string& firstPiece, int64_t pieceSize, int32_t count,
                                bool& allBeside);
  // Finds piece `number` next to `current`, with the user's help; `asked`
  // tells whether it took the next-medium notice. False when the user gives up.
  bool LocatePiece(const std::string& current, int64_t number, std::string& found, bool& asked);
  // Whether the appended piece at `index` (from 0) hashed to what the list says.
  bool Matches(size_t index) const;
  // Cuts the output back to the pieces before `index`, all of which matched.
  Outcome Mismatch(size_t index);

  std::unique_ptr<char[]> buffer_;
  // The bare names a list beside the set must give, piece by piece.
  std::vector<std::string> names_;
  // The list the pieces are checked against, once one is found.
  std::optional<FoundList> list_;
  // What each piece is hashed with as it is appended: the list's kind, or
  // every kind while a list may still turn up beside a later piece; none
  // when there is no list to be had.
  HashSet hashes_;
  struct Appended {
    std::string path;
    int64_t end;  // of its bytes in the output
    std::vector<std::pair<HashKind, std::string>> digests;
  };
  std::vector<Appended> appended_;
};

// An output path that names a piece of the set would destroy it before it is
// read: the first piece itself or the first piece's stem with a number from 2
// to count, by name in the same folder or through a link.
bool NamesPieceOfSet(FileSystem& fs, const std::string& firstPiece, const std::string& output,
                     int32_t count) {
  if (fs.SameFile(output, firstPiece)) return true;
  const std::string prefix = ComparableName(PathName(PathStem(firstPiece))) + ".";
  const std::string name = ComparableName(PathName(output));
  if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
      fs.SameFile(FolderOrCurrent(output), FolderOrCurrent(firstPiece))) {
    const std::string digits = name.substr(prefix.size());
    if (digits.size() <= 10 && digits.find_first_not_of("0123456789") == std::string::npos) {
      const int64_t n = std::strtoll(digits.c_str(), nullptr, 10);
      if (n >= 2 && n <= count && IntToStrl(n, 3) == digits) return true;
    }
  }
  if (!fs.Exists(output)) return false;
  for (int64_t n = 2; n <= std::min<int64_t>(count, kMaxPieceCount); ++n) {
    if (fs.SameFile(output, PieceName(firstPiece, n))) return true;
  }
  return false;
}

Outcome JoinRun::Run(const std::string* given) {
  if (given) {
    dialogs_.OpenDialog2.FileName = *given;
  } else if (!ui_.RunOpenDialog(dialogs_.OpenDialog2)) {
    return End(Outcome::Cancelled);
  }
  const std::string firstPiece = dialogs_.OpenDialog2.FileName;
  handles_.first = fs_.OpenRead(firstPiece);
  if (!handles_.first) return End(Outcome::PieceOpenFailed);
  // From here on every end gives the normal cursor back and empties the line.
  ClearOnEnd();

  const FirstPiece head = ReadFirstPiece(*handles_.first);
  if (head.outcome != Outcome::Done) return End(head.outcome);
  const int32_t count = head.decoded.count;
  bool allBeside = true;
  if (count > 1) {
    if (head.size % 1024 != 0) return End(Outcome::BadFileSize, firstPiece);
    const std::string broken = BrokenPieceBeside(firstPiece, head.size, count, allBeside);
    if (!broken.empty()) return End(Outcome::BadFileSize, broken);
  }
  if (count <= kMaxPieceCount) {
    names_ = PieceNamesOfSet(firstPiece, count);
    list_ = FindListBeside(fs_, firstPiece, names_, notes_);
    if (list_) {
      hashes_.Add(list_->kind);
    } else if (!allBeside) {
      // Pieces on other media may bring their list with them (the split puts
      // it beside the last piece then): each piece's digests are kept until
      // one turns up, as no piece is read twice.
      for (const HashKind kind : {HashKind::Sha256, HashKind::Md5, HashKind::Crc32})
        hashes_.Add(kind);
    }
  }

  // The stored name is untrusted: only a bare, safe name is proposed.
  dialogs_.SaveDialog2.FileName = SafeNameFromHeader(head.decoded.cp932Name);
  if (!ui_.RunSaveDialog(dialogs_.SaveDialog2)) return End(Outcome::Cancelled);
  ui_.SetBusyCursor(true);

  const std::string outputPath = dialogs_.SaveDialog2.FileName;
  if (NamesPieceOfSet(fs_, firstPiece, outputPath, count)) return End(Outcome::OutputCreateFailed);
  // A stop asked since the prompt leaves a file at that path as it is.
  if (control_ && !control_->Proceed()) return End(Outcome::Stopped);
  handles_.second = fs_.Create(outputPath);
  if (!handles_.second) return End(Outcome::OutputCreateFailed);
  writingToRemovable_ = fs_.IsRemovable(outputPath);

  buffer_ = ObtainBuffer(kCopyBufferSize);
  if (!buffer_) return End(Outcome::BufferFailed);
  return CopyPieces(firstPiece, head);
}

std::string JoinRun::BrokenPieceBeside(const std::string& firstPiece, int64_t pieceSize,
                                       int32_t count, bool& allBeside) {
  for (int64_t number = 2; number <= count; ++number) {
    const std::string path = PieceName(firstPiece, number);
    const int64_t length = fs_.SizeOf(path);
    // What is not there, or not a plain file, is dealt with when it is reached.
    allBeside = length >= 0;
    if (!allBeside) break;
    if (!PieceLengthFits(length, number, count, pieceSize)) return path;
  }
  return {};
}

Outcome JoinRun::CopyPieces(const std::string& firstPiece, const FirstPiece& head) {
  const int32_t count = head.decoded.count;
  const int64_t pieceSize = head.size;
  int64_t dataLength = head.size - kHeaderSize;
  std::string current = firstPiece;
  int64_t outputEnd = 0;
  for (int64_t number = 1;; ++number) {
    if (Stopping()) return End(Outcome::Stopped);
    ui_.SetStatusText(ProgressText(kJoinProgress, number, count));
    // The share of the run: the pieces done, and the part of this one.
    const CopyPace pace{control_, static_cast<double>(number - 1) / count,
                        dataLength > 0 ? 1.0 / (static_cast<double>(dataLength) * count) : 0,
                        writingToRemovable_};
    Hasher* hash = hashes_.Empty() ? nullptr : &hashes_;
    // The list holds digests of whole files: the first piece's header counts.
    if (hash && number == 1) hash->Update(head.header.data(), head.header.size());
    const CopyResult copy = CopyBytes(*handles_.first, *handles_.second, dataLength, buffer_.get(),
                                      kCopyBufferSize, pace, hash);
    if (copy.status == CopyResult::WriteFailed) return End(Outcome::OutputWriteFailed);
    if (copy.status == CopyResult::Stopped) return End(Outcome::Stopped);
    // A piece that fails or ends before its size is a broken read.
    if (copy.status == CopyResult::ReadFailed || copy.copied < dataLength)
      return End(Outcome::PieceReadFailed);
    outputEnd += copy.copied;
    if (hash) {
      appended_.push_back({current, outputEnd, hashes_.Digests()});
      if (list_ && !Matches(appended_.size() - 1)) return Mismatch(appended_.size() - 1);
    }
    handles_.first.reset();

    if (number >= count) break;
    std::string next;
    bool asked = false;
    if (!LocatePiece(current, number + 1, next, asked))
      return End(Stopping() ? Outcome::Stopped : Outcome::Cancelled);
    // A piece on another medium (in the same drive too) or in another folder
    // may have the list beside it: the pieces appended so far answer to it
    // at once.
    if (!list_ && !hashes_.Empty() && asked) {
      list_ = FindListBeside(fs_, next, names_, notes_);
      for (size_t i = 0; list_ && i < appended_.size(); ++i) {
        if (!Matches(i)) return Mismatch(i);
      }
      if (list_) hashes_.KeepOnly(list_->kind);
    }
    current = next;
    handles_.first = fs_.OpenRead(current);
    if (!handles_.first) return End(Outcome::PieceOpenFailed);
    dataLength = handles_.first->Size();
    if (!PieceLengthFits(dataLength, number + 1, count, pieceSize))
      return End(Outcome::BadFileSize, current);
  }
  // The user may pull the medium as soon as the join ends.
  if (writingToRemovable_ && !handles_.second->Flush()) return End(Outcome::OutputWriteFailed);
  // A network file system may tell of a full quota only now.
  const bool closed = handles_.second->Close();
  handles_.second.reset();
  if (!closed) return End(Outcome::OutputWriteFailed);
  if (list_) Tell(Note::ListVerified, list_->path);
  return End(Outcome::Done);
}

bool JoinRun::Matches(size_t index) const {
  for (const auto& [kind, digest] : appended_[index].digests) {
    if (kind == list_->kind) return digest == list_->digests[index];
  }
  // Not hashed with the list's kind (the system refused it): no proof either way.
  return true;
}

Outcome JoinRun::Mismatch(size_t index) {
  // Only bytes that matched stay; should the cut fail, the notice still tells.
  handles_.second->Truncate(index == 0 ? 0 : appended_[index - 1].end);
  return End(Outcome::ChecksumMismatch, appended_[index].path);
}

bool JoinRun::LocatePiece(const std::string& current, int64_t number, std::string& found,
                          bool& asked) {
  std::string expected = PieceName(current, number);
  if (!fs_.Exists(expected)) {
    ui_.ShowNotice(Tr(kNextMediumJoin));
    asked = true;
    while (!fs_.Exists(expected)) {
      if (Stopping()) return false;
      dialogs_.OpenDialog3.FileName = expected;
      if (!ui_.RunOpenDialog(dialogs_.OpenDialog3)) return false;
      // Only the folder of what the user picked counts; the piece keeps its name.
      expected = PieceInFolderOf(dialogs_.OpenDialog3.FileName, expected);
    }
  }
  found = expected;
  return true;
}

}  // namespace

Outcome RunJoin(CommandContext ctx, const std::string* firstPiece) {
  return JoinRun(ctx).Run(firstPiece);
}

}  // namespace tolvanix
