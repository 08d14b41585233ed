// An Interaction for tests that answers prompts from a queue and records every
// call, so a test reads like the dialogue a user has with the program:
//   ui.ConfirmOpen(src); ui.ConfirmSave(dst);   // the answers
//   RunSplit(...);
//   EXPECT_EQ(ui.Notices(), {...});              // what the user was told
// A prompt with no answer queued fails the test and is cancelled.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/Interaction.h"

namespace tolvanix {

class ScriptedInteraction : public Interaction {
 public:
  // Queued answers, consumed in order by the prompts of their kind's order.
  void ConfirmOpen(std::string path);
  void CancelOpen();
  void ConfirmSave(std::string path);
  void CancelSave();
  void Answer(int result);  // the warning box: idYes, idNo, idCancel

  // Runs when a notice is shown, while it is "open" (e.g. to swap a medium).
  std::function<void(const std::string& text)> onNotice;
  // Each recorded call is also handed here (e.g. into a file system's log).
  std::function<void(const std::string& event)> tap;

  // Every call in order: "notice:T", "ask:T", "open:PROPOSED", "save:PROPOSED",
  // "status:T", "busy:1", "busy:0".
  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> Notices() const;
  std::vector<std::string> Statuses() const;
  // The names proposed by the open and save prompts, in order.
  std::vector<std::string> Proposals() const;
  bool Busy() const { return busy_; }
  const std::string& StatusText() const { return status_; }
  size_t UnusedAnswers() const { return answers_.size(); }

  void ShowNotice(const std::string& text) override;
  int AskYesNoCancel(const std::string& text) override;
  bool RunOpenDialog(TOpenDialog& dialog) override;
  bool RunSaveDialog(TSaveDialog& dialog) override;
  void SetStatusText(const std::string& text) override;
  void SetBusyCursor(bool on) override;

 private:
  struct Reply {
    enum Kind { Open, Save, Ask } kind;
    bool confirm = false;
    std::string path;
    int result = 0;
  };
  void Record(std::string event);
  bool RunDialog(Reply::Kind kind, TFileDialog& dialog, const char* tag);
  std::vector<std::string> WithPrefix(const std::string& prefix) const;

  std::deque<Reply> answers_;
  std::vector<std::string> calls_;
  std::string status_;
  bool busy_ = false;
};

}  // namespace tolvanix
