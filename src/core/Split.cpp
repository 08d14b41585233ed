// The split: source prompt, destination prompt, then one piece after another,
// each after a free-space test of its volume, the header first in piece 1;
// each piece hashed as it is written, and their checksum list at the end.
#include <algorithm>
#include <set>

#include "core/Checksums.h"
#include "core/CommandSupport.h"
#include "core/Commands.h"
#include "core/Cp932.h"
#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

class SplitRun final : CommandRun {
 public:
  explicit SplitRun(const CommandContext& ctx) : CommandRun(ctx) {}

  Outcome Run(int32_t pieceSizeKB, const std::string* source);

 private:
  Outcome WritePieces(const std::string& sourceName, const std::string& firstPiece);
  // Free-space test of the piece's volume, with the low-space warning and the
  // new-destination prompt. False when the user ends the run.
  bool MakeRoom(std::string& piecePath, const std::string& sourceName, int64_t k, Outcome& failure);
  // Whether the file at `path` is a checksum list that only names pieces
  // with the stem of one of this run's pieces or of `piece`: one this program
  // wrote for the pieces this run rewrites, and so no one else's file.
  bool IsListOfOurPieces(const std::string& path, const std::string& piece);
  // A list of ours beside the first piece would tell of the pieces this run
  // overwrites: it is emptied before they are, and taken as ours afterwards.
  void EmptyStaleList(const std::string& firstPiece);
  // The list beside the first piece, or beside the last when the pieces went
  // to several folders or media; then the run's end.
  Outcome WriteList(const std::string& firstPiece, const std::string& lastPiece);

  std::string sourcePath_;
  int64_t pieceSize_ = 0;
  int64_t count_ = 0;
  int64_t sourceSize_ = 0;
  // One bounded buffer for the whole run, whatever the piece size.
  std::unique_ptr<char[]> buffer_;
  // Null when no list is written.
  std::unique_ptr<Hasher> hash_;
  std::vector<ListEntry> entries_;  // of the pieces written
  // The pieces went to more than one folder or medium.
  bool spread_ = false;
  std::string emptiedList_;
};

Outcome SplitRun::Run(int32_t pieceSizeKB, const std::string* source) {
  if (source) {
    dialogs_.OpenDialog1.FileName = *source;
  } else if (!ui_.RunOpenDialog(dialogs_.OpenDialog1)) {
    return End(Outcome::Cancelled);
  }
  const std::string sourcePath = sourcePath_ = dialogs_.OpenDialog1.FileName;
  handles_.first = fs_.OpenRead(sourcePath);
  if (!handles_.first) return End(Outcome::SourceOpenFailed);

  if (pieceSizeKB <= 0) return End(Outcome::PieceSizeTooSmall);
  if (pieceSizeKB > kMaxPieceSizeKB) return End(Outcome::PieceSizeTooLarge);
  pieceSize_ = int64_t{pieceSizeKB} * 1024;

  sourceSize_ = handles_.first->Size();
  if (sourceSize_ < 0) return End(Outcome::SourceOpenFailed);
  count_ = PieceCount(sourceSize_, pieceSize_);
  if (count_ > kMaxPieceCount) return End(Outcome::TooManyPieces);

  const std::string sourceName = PathName(sourcePath);
  dialogs_.SaveDialog1.FileName = PieceName(ProposableName(sourceName), 1);
  if (!ui_.RunSaveDialog(dialogs_.SaveDialog1)) return End(Outcome::Cancelled);
  return WritePieces(sourceName, PieceName(dialogs_.SaveDialog1.FileName, 1));
}

Outcome SplitRun::WritePieces(const std::string& sourceName, const std::string& firstPiece) {
  ui_.SetBusyCursor(true);
  ClearOnEnd();
  const int64_t bufferSize = std::min(pieceSize_, kCopyBufferSize);
  buffer_ = ObtainBuffer(bufferSize);
  if (!buffer_) return End(Outcome::BufferFailed);
  if (checksumList_) hash_ = MakeHasher(HashKind::Sha256);

  std::string piecePath = firstPiece;
  // The share of the run is the share of the source copied.
  const double perByte = sourceSize_ > 0 ? 1.0 / static_cast<double>(sourceSize_) : 0;
  int64_t copiedBefore = 0;
  for (int64_t k = 1;; ++k) {
    if (Stopping()) return End(Outcome::Stopped);
    ui_.SetStatusText(ProgressText(kSplitProgress, k, count_));
    Outcome failure = Outcome::Done;
    if (!MakeRoom(piecePath, sourceName, k, failure)) {
      return End(failure);
    }
    // Nothing new is started once a stop is asked, or while the user is
    // being asked whether to stop.
    if (control_ && !control_->Proceed()) return End(Outcome::Stopped);

    if (k == 1) EmptyStaleList(piecePath);
    handles_.second = fs_.Create(piecePath);
    if (!handles_.second) return End(Outcome::PieceCreateFailed);
    File& piece = *handles_.second;
    writingToRemovable_ = fs_.IsRemovable(piecePath);

    if (k == 1) {
      const HeaderBytes header =
          EncodeHeader(HeaderNameFromUtf8(sourceName), static_cast<int32_t>(count_));
      if (piece.Write(header.data(), kNameFieldSize) != kNameFieldSize ||
          piece.Write(header.data() + kNameFieldSize, kCountFieldSize) != kCountFieldSize) {
        return End(Outcome::HeaderWriteFailed);
      }
      if (hash_) hash_->Update(header.data(), header.size());
    }

    const int64_t capacity = PieceCapacity(k, pieceSize_);
    const CopyPace pace{control_, perByte * static_cast<double>(copiedBefore), perByte,
                        writingToRemovable_};
    const CopyResult copy =
        CopyBytes(*handles_.first, piece, capacity, buffer_.get(), bufferSize, pace, hash_.get());
    copiedBefore += copy.copied;
    if (copy.status == CopyResult::ReadFailed) return End(Outcome::SourceReadFailed);
    if (copy.status == CopyResult::WriteFailed) return End(Outcome::PieceWriteFailed);
    if (copy.status == CopyResult::Stopped) return End(Outcome::Stopped);
    // Linux keeps written data in memory: a piece on a removable medium must
    // reach it before the user is asked to swap media, the last one too.
    if (writingToRemovable_ && !piece.Flush()) return End(Outcome::PieceWriteFailed);
    // A network file system may tell of a full quota only now.
    const bool closed = piece.Close();
    handles_.second.reset();
    if (!closed) return End(Outcome::PieceWriteFailed);
    if (hash_) entries_.push_back({PathName(piecePath), hash_->HexDigest()});

    if (copy.copied < capacity || k == count_) return WriteList(firstPiece, piecePath);
    if (writingToRemovable_) {
      ui_.ShowNotice(Tr(kNextMediumSplit));
      spread_ = true;
    }
    piecePath = NextSplitPiece(piecePath, k + 1);
  }
}

bool SplitRun::MakeRoom(std::string& piecePath, const std::string& sourceName, int64_t k,
                        Outcome& failure) {
  for (;;) {
    const FreeSpace space = fs_.FreeSpaceAt(VolumeRoot(piecePath));
    if (space.status == SpaceStatus::Failed) {
      failure = Outcome::FreeSpaceFailed;
      return false;
    }
    // A vanished folder is a medium that was changed between pieces: no room
    // there, so the warning lets the user pick the new medium's folder. The
    // first piece's folder was just chosen: its creation tells what is wrong.
    if (space.status == SpaceStatus::FolderMissing && k == 1) return true;
    const uint64_t freeBytes = space.status == SpaceStatus::Ok ? space.bytes : 0;
    if (static_cast<uint64_t>(pieceSize_) <= freeBytes) return true;

    const Answer answer = ui_.AskYesNoCancel(Tr(kLowSpaceWarning));
    if (answer == Answer::No) return true;
    if (answer != Answer::Yes) {
      failure = Outcome::Cancelled;
      return false;
    }
    dialogs_.SaveDialog1.FileName = PieceName(ProposableName(sourceName), k);
    // Cancelled: carry on under the path in force before the warning.
    if (!ui_.RunSaveDialog(dialogs_.SaveDialog1)) return true;
    piecePath = PieceName(dialogs_.SaveDialog1.FileName, k);
    spread_ = true;
  }
}

bool SplitRun::IsListOfOurPieces(const std::string& path, const std::string& piece) {
  if (fs_.SameFile(path, sourcePath_)) return false;
  const std::optional<std::string> text = ReadListFile(fs_, path);
  if (!text) return false;
  const auto entries = ParseList(HashKind::Sha256, *text);
  if (!entries || entries->empty()) return false;
  std::set<std::string> stems{ComparableName(PathStem(PathName(piece)))};
  for (const ListEntry& e : entries_) stems.insert(ComparableName(PathStem(e.name)));
  for (const ListEntry& e : *entries) {
    const std::string extension = PathExtension(e.name);
    const std::string number = extension.empty() ? extension : extension.substr(1);
    if (number.size() < 3 || number.find_first_not_of("0123456789") != std::string::npos ||
        !stems.contains(ComparableName(PathStem(e.name))))
      return false;
  }
  return true;
}

void SplitRun::EmptyStaleList(const std::string& firstPiece) {
  const std::string path = ListBeside(firstPiece, HashKind::Sha256);
  if (!fs_.Exists(path) || !IsListOfOurPieces(path, firstPiece)) return;
  if (auto file = fs_.Create(path); file && file->Close()) emptiedList_ = path;
}

Outcome SplitRun::WriteList(const std::string& firstPiece, const std::string& lastPiece) {
  if (!hash_) return End(Outcome::Done);
  const std::string path = ListBeside(spread_ ? lastPiece : firstPiece, HashKind::Sha256);
  // Never in place of a file someone else made, nor of the source itself.
  // The list emptied at the start is ours only while no medium was changed.
  const bool emptied = !spread_ && path == emptiedList_;
  if (!emptied && fs_.Exists(path) && !IsListOfOurPieces(path, lastPiece)) {
    Tell(Note::ListNotWritten, path);
    return End(Outcome::Done);
  }
  if (control_ && !control_->Proceed()) return End(Outcome::Stopped);
  handles_.second = fs_.Create(path);
  if (!handles_.second) return End(Outcome::ListWriteFailed, path);
  writingToRemovable_ = fs_.IsRemovable(path);
  const std::string text = FormatList(HashKind::Sha256, entries_);
  const auto size = static_cast<int64_t>(text.size());
  if (handles_.second->Write(text.data(), size) != size ||
      (writingToRemovable_ && !handles_.second->Flush()))
    return End(Outcome::ListWriteFailed, path);
  const bool closed = handles_.second->Close();
  handles_.second.reset();
  if (!closed) return End(Outcome::ListWriteFailed, path);
  Tell(Note::ListWritten, path);
  return End(Outcome::Done);
}

}  // namespace

Outcome RunSplit(CommandContext ctx, int32_t pieceSizeKB, const std::string* source) {
  return SplitRun(ctx).Run(pieceSizeKB, source);
}

}  // namespace tolvanix
