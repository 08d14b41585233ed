#include "cli/Check.h"

#include "cli/CliInteraction.h"
#include "cli/Console.h"
#include "cli/Texts.h"
#include "core/Checksums.h"
#include "core/PathRules.h"

namespace tolvanix::cli {

namespace {

const char* ListKindName(HashKind kind) {
  switch (kind) {
    case HashKind::Sha256:
      return "SHA-256";
    case HashKind::Md5:
      return "MD5";
    case HashKind::Crc32:
      return "CRC32";
  }
  return "";
}

std::string LengthWord(const PieceReport& piece) {
  if (piece.path.empty()) return Say(kPieceNotFound);
  return Say(piece.lengthHolds ? kLengthHolds : kLengthWrong);
}

std::string SumWord(PieceReport::Sum sum) {
  switch (sum) {
    case PieceReport::Sum::Matches:
      return Say(kSumMatches);
    case PieceReport::Sum::Differs:
      return Say(kSumDiffers);
    case PieceReport::Sum::Unread:
      return Say(kSumUnread);
    case PieceReport::Sum::NoList:
      break;
  }
  return {};
}

}  // namespace

int RunCheck(const Options& options, FileSystem& fs, ProgressLine& progress, const Notes& notes) {
  progress.SetStage(Say(kChecking));
  const SetReport report = CheckSet(fs, options.file, SearchFolders(options), &progress, notes);
  progress.SetStage("");
  if (report.outcome == Outcome::Stopped) return 1;  // the caller tells the stop's own status
  if (report.outcome != Outcome::Done) {
    TellError(std::string(Tr(NoticeText(report.outcome))) + "\r\n" + options.file);
    return 1;
  }

  std::string out = Say(kStoredName, {report.storedName}) + "\n" +
                    Say(kPieceCount, {std::to_string(report.count)}) + "\n" +
                    Say(kPieceBytes, {std::to_string(report.pieceSize)}) + "\n";
  out += report.list
             ? Say(kListUsed, {report.list->path + " (" + ListKindName(report.list->kind) + ")"})
             : Say(kNoList);
  out += "\n";
  const std::vector<std::string> names = PieceNamesOfSet(options.file, report.count);
  for (size_t i = 0; i < report.pieces.size(); ++i) {
    const PieceReport& piece = report.pieces[i];
    std::string row =
        piece.path.empty() ? (i < names.size() ? names[i] : std::string()) : piece.path;
    row += "  " + (piece.length < 0 ? std::string("-") : std::to_string(piece.length));
    row += "  " + LengthWord(piece);
    if (const std::string sum = SumWord(piece.sum); !sum.empty() && !piece.path.empty())
      row += "  " + sum;
    out += row + "\n";
  }
  WriteOutput(out);
  if (report.Holds()) return 0;
  TellError(Say(kSetBroken));
  return 1;
}

}  // namespace tolvanix::cli
