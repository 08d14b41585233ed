#include "cli/CliInteraction.h"

#include <algorithm>
#include <filesystem>

#include "cli/Console.h"
#include "cli/Texts.h"
#include "core/Commands.h"
#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix::cli {

void TellError(const std::string& text) {
  std::string lines = std::string(kProgramName) + ": ";
  for (size_t at = 0;;) {
    const size_t end = text.find("\r\n", at);
    lines += text.substr(at, end - at) + "\n";
    if (end == std::string::npos) break;
    at = end + 2;
    lines += "  ";
  }
  WriteError(lines);
}

std::string InFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && !PathName(folder).empty()) return folder + "/" + name;
  return folder + name;  // none, or it ends in a delimiter already
}

std::vector<std::string> SearchFolders(const Options& options) {
  std::vector<std::string> folders = options.searchFolders;
  folders.push_back(FolderOrCurrent(options.file));
  return folders;
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(std::u8string(path.begin(), path.end()), error);
}

namespace {

// -o names a folder: one that exists, or any path that ends in a delimiter.
bool NamesFolder(const std::string& path) { return PathName(path).empty() || IsFolder(path); }

}  // namespace

void CliInteraction::Error(const std::string& text) {
  progress_.Clear();
  TellError(text);
}

void CliInteraction::ShowNotice(const std::string& text) {
  // Between pieces nobody changes a medium: the split goes on in the same
  // folder (the free-space test says when it is full), the join looks in the
  // --search folders.
  if (text == Tr(kNextMediumSplit) || text == Tr(kNextMediumJoin)) return;
  Error(text);
}

Answer CliInteraction::AskYesNoCancel(const std::string& text) {
  if (text != Tr(kLowSpaceWarning)) {
    Error(text);
  } else {
    Error(Say(kLowSpace, {FolderOrCurrent(dialogs_.SaveDialog1.FileName),
                          std::to_string(options_.pieceSizeKB)}));
  }
  return Answer::Cancel;
}

bool CliInteraction::RunFileDialog(TFileDialog& dialog) {
  if (&dialog == &dialogs_.SaveDialog1) return FirstPiece(dialog);
  if (&dialog == &dialogs_.SaveDialog2) return Output(dialog);
  if (&dialog == &dialogs_.OpenDialog3) return MissingPiece(dialog);
  return false;  // the first prompts are answered by the command's file
}

bool CliInteraction::FirstPiece(TFileDialog& dialog) {
  // Proposed: the source's stem with .001; beside the source by default.
  const std::string& proposed = dialog.FileName;
  std::string chosen = PathFolder(options_.file) + proposed;
  if (options_.output) {
    chosen =
        NamesFolder(*options_.output) ? InFolder(*options_.output, proposed) : *options_.output;
  }
  // Every piece the split will write, not only the first that the window's
  // dialog asks about. The source itself is left to the split, which refuses
  // to write over it whatever is given.
  if (!options_.force) {
    const int64_t size = fs_.SizeOf(options_.file);
    const int64_t count =
        size < 0
            ? 1
            : std::min<int64_t>(PieceCount(size, options_.pieceSizeKB * 1024LL), kMaxPieceCount);
    for (int64_t k = 1; k <= count; ++k) {
      const std::string piece = PieceName(chosen, k);
      if (fs_.Exists(piece) && !fs_.SameFile(piece, options_.file)) {
        Error(Say(kOutputExists, {piece}));
        return false;
      }
    }
  }
  dialog.FileName = chosen;
  return true;
}

bool CliInteraction::Output(TFileDialog& dialog) {
  // Proposed: the name stored in the first piece, made safe, or nothing.
  const std::string stored = dialog.FileName;
  std::string chosen = stored;
  if (options_.output) {
    chosen = NamesFolder(*options_.output) ? InFolder(*options_.output, stored) : *options_.output;
  }
  if (PathName(chosen).empty()) {
    Error(Say(kNoStoredName));
    return false;
  }
  if (!options_.force && fs_.Exists(chosen)) {
    Error(Say(kOutputExists, {chosen}));
    return false;
  }
  dialog.FileName = chosen;
  return true;
}

bool CliInteraction::MissingPiece(TFileDialog& dialog) {
  // Proposed: where the piece was expected, beside the one before it.
  const std::string name = PathName(dialog.FileName);
  for (const std::string& folder : SearchFolders(options_)) {
    const std::string candidate = InFolder(folder, name);
    if (fs_.Exists(candidate)) {
      dialog.FileName = candidate;
      return true;
    }
  }
  Error(Say(kPieceMissing, {dialog.FileName}));
  return false;
}

}  // namespace tolvanix::cli
