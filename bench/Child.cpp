#include "Child.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "core/Commands.h"

namespace tolvanix::bench {
namespace {

// A user who confirms each prompt with the next path given to the child and
// who must never be told anything: any notice or warning fails the run.
class ConfirmingInteraction final : public Interaction {
 public:
  ConfirmingInteraction(std::deque<std::string> opens, std::deque<std::string> saves)
      : opens_(std::move(opens)), saves_(std::move(saves)) {}

  void ShowNotice(const std::string& text) override { problems_.push_back("notice: " + text); }
  Answer AskYesNoCancel(const std::string& text) override {
    problems_.push_back("warning: " + text);
    return Answer::Cancel;
  }
  bool RunFileDialog(TFileDialog& dialog) override {
    return dialog.kind == TFileDialog::Kind::Save ? Confirm(saves_, dialog, "save")
                                                  : Confirm(opens_, dialog, "open");
  }
  void SetStatusText(const std::string&) override {}
  void SetBusyCursor(bool) override {}

  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  bool Confirm(std::deque<std::string>& queue, TFileDialog& dialog, const char* kind) {
    if (queue.empty()) {
      problems_.push_back(std::string("unexpected ") + kind + " prompt for " + dialog.FileName);
      return false;
    }
    dialog.FileName = std::move(queue.front());
    queue.pop_front();
    return true;
  }

  std::deque<std::string> opens_;
  std::deque<std::string> saves_;
  std::vector<std::string> problems_;
};

int Usage() {
  std::fprintf(stderr,
               "child: --child split SOURCE DESTINATION KB [--no-checksum] | "
               "--child join FIRST OUTPUT [--verified]\n");
  return 1;
}

}  // namespace

int RunChild(int argc, char** argv) {
  if (argc < 5) return Usage();
  const std::string command = argv[2];
  if (command != "split" && command != "join") return Usage();
  const int base = command == "split" ? 6 : 5;
  const std::string option = argc == base + 1 ? argv[base] : "";
  if (argc > base + 1 || option != (argc == base         ? ""
                                    : command == "split" ? "--no-checksum"
                                                         : "--verified"))
    return Usage();

  ConfirmingInteraction ui({argv[3]}, {argv[4]});
  auto fs = MakeLinuxFileSystem();
  FileDialogs dialogs;
  HandleFields handles;
  CommandContext ctx{ui, *fs, dialogs, handles};
  ctx.checksumList = option != "--no-checksum";
  bool verified = false;
  ctx.notes = [&](const Note& note) {
    verified = verified || note.kind == Note::ListVerified;
    if (note.kind != Note::ListWritten && note.kind != Note::ListVerified)
      std::fprintf(stderr, "note %d: %s\n", note.kind, note.path.c_str());
  };
  const Outcome outcome = command == "split" ? RunSplit(ctx, std::atoi(argv[5])) : RunJoin(ctx);
  for (const std::string& problem : ui.Problems()) std::fprintf(stderr, "%s\n", problem.c_str());
  if (option == "--verified" && !verified) std::fprintf(stderr, "the join verified nothing\n");
  return outcome == Outcome::Done && ui.Problems().empty() && (option != "--verified" || verified)
             ? 0
             : 1;
}

}  // namespace tolvanix::bench
