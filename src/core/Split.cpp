// The split: source prompt, destination prompt, then one piece after another,
// each after a free-space test of its volume, the header first in piece 1.
#include <algorithm>

#include "core/CommandSupport.h"
#include "core/Commands.h"
#include "core/Cp932.h"
#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

class SplitRun {
 public:
  explicit SplitRun(CommandContext ctx)
      : ui_(ctx.ui),
        fs_(ctx.fs),
        dialogs_(ctx.dialogs),
        handles_(ctx.handles),
        control_(ctx.control) {}
  SplitRun(const SplitRun&) = delete;
  SplitRun& operator=(const SplitRun&) = delete;

  // Whatever way the run ends, the files it holds are closed once here.
  ~SplitRun() {
    handles_.second.reset();
    handles_.first.reset();
  }

  Outcome Run(int32_t pieceSizeKB, const std::string* source);

 private:
  // The notice comes first; the caller's return then releases everything.
  // A run asked to stop tells nothing: the program is on its way out.
  Outcome Fail(Outcome outcome) {
    // Push what the unfinished piece holds to a removable medium before the
    // user can pull it while the notice is open.
    if (handles_.second && pieceRemovable_) handles_.second->Flush();
    if (const char* text = NoticeText(outcome); text && !Stopping()) ui_.ShowNotice(Tr(text));
    return outcome;
  }
  bool Stopping() const { return control_ && control_->StopRequested(); }

  Outcome WritePieces(const std::string& sourceName, const std::string& firstPiece);
  // Free-space test of the piece's volume, with the low-space warning and the
  // new-destination prompt. False when the user ends the run.
  bool MakeRoom(std::string& piecePath, const std::string& sourceName, int64_t k, Outcome& failure);

  Interaction& ui_;
  FileSystem& fs_;
  FileDialogs& dialogs_;
  HandleFields& handles_;
  RunControl* control_;
  int64_t pieceSize_ = 0;
  int64_t count_ = 0;
  int64_t sourceSize_ = 0;
  bool pieceRemovable_ = false;
};

// Switches the busy cursor on for its lifetime; on the way out the normal
// cursor comes back and the progress line is emptied, after any notice.
class BusyScope {
 public:
  explicit BusyScope(Interaction& ui) : ui_(ui) { ui_.SetBusyCursor(true); }
  ~BusyScope() {
    ui_.SetBusyCursor(false);
    ui_.SetStatusText("");
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Interaction& ui_;
};

Outcome SplitRun::Run(int32_t pieceSizeKB, const std::string* source) {
  if (source) {
    dialogs_.OpenDialog1.FileName = *source;
  } else if (!ui_.RunOpenDialog(dialogs_.OpenDialog1)) {
    return Outcome::Cancelled;
  }
  const std::string sourcePath = dialogs_.OpenDialog1.FileName;
  handles_.first = fs_.OpenRead(sourcePath);
  if (!handles_.first) return Fail(Outcome::SourceOpenFailed);

  if (pieceSizeKB <= 0) return Fail(Outcome::PieceSizeTooSmall);
  if (pieceSizeKB > kMaxPieceSizeKB) return Fail(Outcome::PieceSizeTooLarge);
  pieceSize_ = int64_t{pieceSizeKB} * 1024;

  sourceSize_ = handles_.first->Size();
  if (sourceSize_ < 0) return Fail(Outcome::SourceOpenFailed);
  count_ = PieceCount(sourceSize_, pieceSize_);
  if (count_ > kMaxPieceCount) return Fail(Outcome::TooManyPieces);

  const std::string sourceName = PathName(sourcePath);
  dialogs_.SaveDialog1.FileName = PieceName(ProposableName(sourceName), 1);
  if (!ui_.RunSaveDialog(dialogs_.SaveDialog1)) return Outcome::Cancelled;
  return WritePieces(sourceName, PieceName(dialogs_.SaveDialog1.FileName, 1));
}

Outcome SplitRun::WritePieces(const std::string& sourceName, const std::string& firstPiece) {
  BusyScope busy(ui_);
  // One bounded buffer for the whole run, whatever the piece size.
  const int64_t bufferSize = std::min(pieceSize_, kCopyBufferSize);
  const std::unique_ptr<char[]> buffer = ObtainBuffer(bufferSize);
  if (!buffer) return Fail(Outcome::BufferFailed);

  std::string piecePath = firstPiece;
  // The share of the run is the share of the source copied.
  const double perByte = sourceSize_ > 0 ? 1.0 / static_cast<double>(sourceSize_) : 0;
  int64_t copiedBefore = 0;
  for (int64_t k = 1;; ++k) {
    if (Stopping()) return Fail(Outcome::Stopped);
    ui_.SetStatusText(ProgressText(kSplitProgress, k, count_));
    Outcome failure = Outcome::Done;
    if (!MakeRoom(piecePath, sourceName, k, failure)) {
      return failure == Outcome::Cancelled ? failure : Fail(failure);
    }
    // Nothing new is started once a stop is asked, or while the user is
    // being asked whether to stop.
    if (control_ && !control_->Proceed()) return Fail(Outcome::Stopped);

    handles_.second = fs_.Create(piecePath);
    if (!handles_.second) return Fail(Outcome::PieceCreateFailed);
    File& piece = *handles_.second;
    pieceRemovable_ = fs_.IsRemovable(piecePath);

    if (k == 1) {
      const HeaderBytes header =
          EncodeHeader(HeaderNameFromUtf8(sourceName), static_cast<int32_t>(count_));
      if (piece.Write(header.data(), kNameFieldSize) != kNameFieldSize ||
          piece.Write(header.data() + kNameFieldSize, kCountFieldSize) != kCountFieldSize) {
        return Fail(Outcome::HeaderWriteFailed);
      }
    }

    const int64_t capacity = PieceCapacity(k, pieceSize_);
    const CopyPace pace{control_, perByte * static_cast<double>(copiedBefore), perByte,
                        pieceRemovable_};
    const CopyResult copy =
        CopyBytes(*handles_.first, piece, capacity, buffer.get(), bufferSize, pace);
    copiedBefore += copy.copied;
    if (copy.status == CopyResult::ReadFailed) return Fail(Outcome::SourceReadFailed);
    if (copy.status == CopyResult::WriteFailed) return Fail(Outcome::PieceWriteFailed);
    if (copy.status == CopyResult::Stopped) return Fail(Outcome::Stopped);
    // Linux keeps written data in memory: a piece on a removable medium must
    // reach it before the user is asked to swap media, the last one too.
    if (pieceRemovable_ && !piece.Flush()) return Fail(Outcome::PieceWriteFailed);
    // A network file system may tell of a full quota only now.
    const bool closed = piece.Close();
    handles_.second.reset();
    if (!closed) return Fail(Outcome::PieceWriteFailed);

    if (copy.copied < capacity || k == count_) return Outcome::Done;
    if (pieceRemovable_) ui_.ShowNotice(Tr(kNextMediumSplit));
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

    const int answer = ui_.AskYesNoCancel(Tr(kLowSpaceWarning));
    if (answer == idNo) return true;
    if (answer != idYes) {
      failure = Outcome::Cancelled;
      return false;
    }
    dialogs_.SaveDialog1.FileName = PieceName(ProposableName(sourceName), k);
    // Cancelled: carry on under the path in force before the warning.
    if (!ui_.RunSaveDialog(dialogs_.SaveDialog1)) return true;
    piecePath = PieceName(dialogs_.SaveDialog1.FileName, k);
  }
}

}  // namespace

Outcome RunSplit(CommandContext ctx, int32_t pieceSizeKB, const std::string* source) {
  return SplitRun(ctx).Run(pieceSizeKB, source);
}

}  // namespace tolvanix
