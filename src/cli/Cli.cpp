// tolvanix-cli: the split and the join of the windows, and a check of a set,
// for a shell or a script. The same core runs them; this program answers
// their prompts from the command line and never waits for a person.
#include <algorithm>
#include <memory>

#include "cli/Check.h"
#include "cli/CliInteraction.h"
#include "cli/Console.h"
#include "cli/Options.h"
#include "cli/ProgressLine.h"
#include "cli/Texts.h"
#include "core/Commands.h"
#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix::cli {

namespace {

using Command = Options::Command;

// What a join moves: the data of every piece, those not found yet counted
// at the first piece's length. Only for the progress line.
int64_t JoinBytes(FileSystem& fs, const Options& options) {
  std::unique_ptr<File> first = fs.OpenRead(options.file);
  if (!first) return 0;
  const int64_t size = first->Size();
  HeaderBytes header{};
  if (size < kHeaderSize || first->Read(header.data(), kHeaderSize) != kHeaderSize) return 0;
  const int32_t count = DecodeHeader(header).count;
  int64_t total = size - kHeaderSize;
  std::string previous = options.file;
  for (int64_t n = 2; n <= std::min<int64_t>(count, kMaxPieceCount); ++n) {
    std::string piece = PieceName(previous, n);
    for (const std::string& folder : options.searchFolders) {
      if (fs.SizeOf(piece) >= 0) break;
      piece = InFolder(folder, PathName(piece));
    }
    const int64_t length = fs.SizeOf(piece);
    if (length >= 0) previous = piece;
    total += length >= 0 ? length : size;
  }
  return total;
}

int RunCommand(const Options& options) {
  const std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
  const bool shown = !options.quiet && ErrorIsTerminal();
  int64_t total = 0;
  if (shown) {
    total = options.command == Command::Split ? std::max<int64_t>(fs->SizeOf(options.file), 0)
            : options.command == Command::Join ? JoinBytes(*fs, options)
                                               : JoinBytes(*fs, options) + kHeaderSize;
  }
  ProgressLine progress(shown, total);
  // A list that was ignored is always told: the set was not verified. That
  // one was written or every piece matched, only to a person watching.
  const Notes notes = [&](const Note& note) {
    const bool news = note.kind == Note::ListWritten || note.kind == Note::ListVerified;
    if (news && !shown) return;
    progress.Clear();
    WriteError(std::string(kProgramName) + ": " + Tr(NoteText(note.kind)) + " " + note.path + "\n");
  };
  int status = 0;
  if (options.command == Command::Check) {
    status = RunCheck(options, *fs, progress, notes);
  } else {
    FileDialogs dialogs;
    HandleFields handles;
    CliInteraction ui(options, *fs, dialogs, progress);
    CommandContext context{ui, *fs, dialogs, handles, &progress};
    context.notes = notes;
    context.checksumList = !options.noChecksum;
    const Outcome outcome = options.command == Command::Split
                                ? RunSplit(context, options.pieceSizeKB, &options.file)
                                : RunJoin(context, &options.file);
    status = outcome == Outcome::Done ? 0 : 1;
  }
  progress.Clear();
  return StopStatus() != 0 ? StopStatus() : status;
}

}  // namespace

std::string Say(const char* text, std::initializer_list<std::string_view> args) {
  std::string said = Tr(text);
  size_t at = 0;
  for (const std::string_view arg : args) {
    at = said.find("%s", at);
    if (at == std::string::npos) break;
    said.replace(at, 2, arg);
    at += arg.size();
  }
  return said;
}

int Main(const std::vector<std::string>& arguments) {
  UseLanguage(ChooseLanguage(PreferredLanguages(), EmbeddedLanguages()));
  const Options options = ReadOptions(arguments);
  switch (options.command) {
    case Command::Help:
      WriteOutput(Tr(kHelp));
      return 0;
    case Command::Version:
      WriteOutput(std::string(kProgramName) + " (Tolvanix) " TOLVANIX_VERSION "\n");
      return 0;
    case Command::Usage:
      WriteError(std::string(kProgramName) + ": " + options.error + "\n" + Say(kTryHelp) + "\n");
      return 2;
    default:
      break;
  }
  WatchStopRequests();
  const int status = RunCommand(options);
  StopDone();
  return status;
}

}  // namespace tolvanix::cli
