// The join: first-piece prompt, header, output prompt, then the data of every
// piece appended in number order, looking for each later piece next to the one
// before it and asking the user for the medium or folder that holds it.
#include <algorithm>
#include <cstdlib>

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
  Outcome CopyPieces(const std::string& firstPiece, int64_t dataLength, int32_t count);
  // The first of the pieces beside the first one whose length breaks the
  // set, or empty. Only the pieces up to the first one missing are looked at.
  std::string BrokenPieceBeside(const std::string& firstPiece, int64_t pieceSize, int32_t count);
  // Finds piece `number` next to `current`, with the user's help. False when
  // the user gives up.
  bool LocatePiece(const std::string& current, int64_t number, std::string& found);

  std::unique_ptr<char[]> buffer_;
};

// The split writes every piece but the last at the first piece's length, a
// whole number of KB, and the last with at least one byte and no more: any
// other length is a piece cut short (a medium pulled early) or not of this
// set, and joining it would pass a corrupt file for good.
bool PieceLengthFits(int64_t length, int64_t number, int32_t count, int64_t pieceSize) {
  if (number < count) return length == pieceSize;
  return length >= 1 && length <= pieceSize;
}

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

  File& first = *handles_.first;
  const int64_t size = first.Size();
  if (size < 257 || size > kMaxPieceBytes) return End(Outcome::BadFileSize);
  HeaderBytes header{};
  const int64_t nameBytes = first.Read(header.data(), kNameFieldSize);
  if (nameBytes <= 0) return End(Outcome::NameReadFailed);
  if (first.Read(header.data() + kNameFieldSize, kCountFieldSize) != kCountFieldSize) {
    return End(Outcome::CountReadFailed);
  }
  const DecodedHeader decoded = DecodeHeader(header);
  // A set has at least one piece: anything less is a corrupt header, not a
  // join of nothing.
  if (decoded.count < 1) return End(Outcome::CountReadFailed);
  if (decoded.count > 1) {
    if (size % 1024 != 0) return End(Outcome::BadFileSize, firstPiece);
    const std::string broken = BrokenPieceBeside(firstPiece, size, decoded.count);
    if (!broken.empty()) return End(Outcome::BadFileSize, broken);
  }

  // The stored name is untrusted: only a bare, safe name is proposed.
  dialogs_.SaveDialog2.FileName = SafeNameFromHeader(decoded.cp932Name);
  if (!ui_.RunSaveDialog(dialogs_.SaveDialog2)) return End(Outcome::Cancelled);
  ui_.SetBusyCursor(true);

  const std::string outputPath = dialogs_.SaveDialog2.FileName;
  if (NamesPieceOfSet(fs_, firstPiece, outputPath, decoded.count))
    return End(Outcome::OutputCreateFailed);
  // A stop asked since the prompt leaves a file at that path as it is.
  if (control_ && !control_->Proceed()) return End(Outcome::Stopped);
  handles_.second = fs_.Create(outputPath);
  if (!handles_.second) return End(Outcome::OutputCreateFailed);
  writingToRemovable_ = fs_.IsRemovable(outputPath);

  buffer_ = ObtainBuffer(kCopyBufferSize);
  if (!buffer_) return End(Outcome::BufferFailed);
  return CopyPieces(firstPiece, size - kHeaderSize, decoded.count);
}

std::string JoinRun::BrokenPieceBeside(const std::string& firstPiece, int64_t pieceSize,
                                       int32_t count) {
  for (int64_t number = 2; number <= count; ++number) {
    const std::string path = PieceName(firstPiece, number);
    const int64_t length = fs_.SizeOf(path);
    // What is not there, or not a plain file, is dealt with when it is reached.
    if (length < 0) break;
    if (!PieceLengthFits(length, number, count, pieceSize)) return path;
  }
  return {};
}

Outcome JoinRun::CopyPieces(const std::string& firstPiece, int64_t dataLength, int32_t count) {
  const int64_t pieceSize = dataLength + kHeaderSize;
  std::string current = firstPiece;
  for (int64_t number = 1;; ++number) {
    if (Stopping()) return End(Outcome::Stopped);
    ui_.SetStatusText(ProgressText(kJoinProgress, number, count));
    // The share of the run: the pieces done, and the part of this one.
    const CopyPace pace{control_, static_cast<double>(number - 1) / count,
                        dataLength > 0 ? 1.0 / (static_cast<double>(dataLength) * count) : 0,
                        writingToRemovable_};
    const CopyResult copy = CopyBytes(*handles_.first, *handles_.second, dataLength, buffer_.get(),
                                      kCopyBufferSize, pace);
    if (copy.status == CopyResult::WriteFailed) return End(Outcome::OutputWriteFailed);
    if (copy.status == CopyResult::Stopped) return End(Outcome::Stopped);
    // A piece that fails or ends before its size is a broken read.
    if (copy.status == CopyResult::ReadFailed || copy.copied < dataLength)
      return End(Outcome::PieceReadFailed);
    handles_.first.reset();

    if (number >= count) break;
    std::string next;
    if (!LocatePiece(current, number + 1, next))
      return End(Stopping() ? Outcome::Stopped : Outcome::Cancelled);
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
  return End(Outcome::Done);
}

bool JoinRun::LocatePiece(const std::string& current, int64_t number, std::string& found) {
  std::string expected = PieceName(current, number);
  if (!fs_.Exists(expected)) {
    ui_.ShowNotice(Tr(kNextMediumJoin));
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
