// The commands' six operations for a program that never waits for a person:
// a failure notice goes to standard error; each prompt is answered from the
// command line, or refused with an error that says what to give instead.
//  - the split's first piece: -o, or beside the source as the window
//    proposes; the join's output: -o, or the stored name in the current
//    folder. A file there is replaced only with --force;
//  - a piece that is not beside the one before it: looked for in the
//    SearchFolders; the next-medium notices are not shown;
//  - the low-space warning: Cancel, with what to do about it;
//  - the status line: the progress line.
#pragma once

#include <string>
#include <vector>

#include "cli/Options.h"
#include "cli/ProgressLine.h"
#include "core/FileSystem.h"
#include "core/Interaction.h"

namespace tolvanix::cli {

class CliInteraction final : public Interaction {
 public:
  CliInteraction(const Options& options, FileSystem& fs, FileDialogs& dialogs,
                 ProgressLine& progress)
      : options_(options), fs_(fs), dialogs_(dialogs), progress_(progress) {}

  void ShowNotice(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  bool RunFileDialog(TFileDialog& dialog) override;
  void SetStatusText(const std::string& text) override { progress_.SetStage(text); }
  void SetBusyCursor(bool) override {}

 private:
  void Error(const std::string& text);
  bool FirstPiece(TFileDialog& dialog);
  bool Output(TFileDialog& dialog);
  bool MissingPiece(TFileDialog& dialog);

  const Options& options_;
  FileSystem& fs_;
  FileDialogs& dialogs_;
  ProgressLine& progress_;
};

// An error on standard error, "tolvanix-cli: " in front; a text of several
// lines (the notices put a file name on a line of its own) keeps them.
void TellError(const std::string& text);

// Where a piece that is not beside the one before it is looked for: the
// --search folders in their order, then the first piece's folder (a set
// spread over folders may come back to it).
std::vector<std::string> SearchFolders(const Options& options);

// `name` inside `folder`.
std::string InFolder(const std::string& folder, const std::string& name);
// The path names a folder that exists.
bool IsFolder(const std::string& path);

}  // namespace tolvanix::cli
