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

// Where a set's pieces lie, by the join's rule (beside the piece before,
// then in the SearchFolders), looked up before anything is written.
struct SetPlan {
  int64_t dataBytes = 0;  // pieces not found counted at the first one's length
  std::string missing;    // the first piece found nowhere, where it was expected
};

SetPlan PlanSet(FileSystem& fs, const Options& options) {
  SetPlan plan;
  std::unique_ptr<File> first = fs.OpenRead(options.file);
  if (!first) return plan;  // the command tells what is wrong with it
  const int64_t size = first->Size();
  HeaderBytes header{};
  if (size < kHeaderSize || first->Read(header.data(), kHeaderSize) != kHeaderSize) return plan;
  const int32_t count = DecodeHeader(header).count;
  plan.dataBytes = size - kHeaderSize;
  std::string previous = options.file;
  for (int64_t n = 2; n <= std::min<int64_t>(count, kMaxPieceCount); ++n) {
    const std::string expected = PieceName(previous, n);
    std::string piece = expected;
    for (const std::string& folder : SearchFolders(options)) {
      if (fs.Exists(piece)) break;
      piece = InFolder(folder, PathName(expected));
    }
    if (!fs.Exists(piece)) {
      if (plan.missing.empty()) plan.missing = expected;
      plan.dataBytes += size;
      continue;
    }
    previous = piece;
    plan.dataBytes += std::max<int64_t>(fs.SizeOf(piece), 0);
  }
  return plan;
}

int RunCommand(const Options& options) {
  const std::unique_ptr<FileSystem> fs = MakeNativeFileSystem();
  const bool shown = !options.quiet && ErrorIsTerminal();
  int64_t total = std::max<int64_t>(fs->SizeOf(options.file), 0);
  if (options.command != Command::Split) {
    const SetPlan plan = PlanSet(*fs, options);
    // A join that would stop at a piece found nowhere starts nothing: no
    // partial output to clear away before the next try.
    if (options.command == Command::Join && !plan.missing.empty()) {
      TellError(Say(kPieceMissing, {plan.missing}));
      return 1;
    }
    total = plan.dataBytes + (options.command == Command::Check ? kHeaderSize : 0);
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
  UseLanguage(ChooseLanguage(UsersLanguages(), EmbeddedLanguages()));
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
