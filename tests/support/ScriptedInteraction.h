// An Interaction for tests that answers prompts from a queue and records every
// call in order: "notice:T", "ask:T", "open:PROPOSED", "save:PROPOSED",
// "status:T", "busy:1", "busy:0". A prompt with no answer of its kind queued
// fails the test and is cancelled.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/Interaction.h"
#include "support/TestFiles.h"

namespace tolvanix {

class ScriptedInteraction : public Interaction {
 public:
  void ConfirmOpen(std::string path) { answers_.push_back({Reply::Open, true, std::move(path)}); }
  void CancelOpen() { answers_.push_back({Reply::Open, false, {}}); }
  void ConfirmSave(std::string path) { answers_.push_back({Reply::Save, true, std::move(path)}); }
  void CancelSave() { answers_.push_back({Reply::Save, false, {}}); }
  void Answer(int result) {
    answers_.push_back({Reply::Ask, true, {}, result});
  }  // idYes, idNo, idCancel

  // Runs while a notice is open (e.g. to swap a medium).
  std::function<void(const std::string& text)> onNotice;
  // Each recorded call is also handed here (e.g. into a file system's log).
  std::function<void(const std::string& event)> tap;

  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> Notices() const { return WithPrefix(calls_, "notice:"); }
  std::vector<std::string> Statuses() const { return WithPrefix(calls_, "status:"); }
  std::vector<std::string> Proposals() const;  // of the open and save prompts
  bool Busy() const { return busy_; }
  const std::string& StatusText() const { return status_; }
  size_t UnusedAnswers() const { return answers_.size(); }

  void ShowNotice(const std::string& text) override;
  int AskYesNoCancel(const std::string& text) override;
  bool RunOpenDialog(TOpenDialog& dialog) override {
    return RunDialog(Reply::Open, dialog, "open");
  }
  bool RunSaveDialog(TSaveDialog& dialog) override {
    return RunDialog(Reply::Save, dialog, "save");
  }
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
  bool Next(Reply::Kind kind, const std::string& what, Reply& reply);
  bool RunDialog(Reply::Kind kind, TFileDialog& dialog, const char* tag);

  std::deque<Reply> answers_;
  std::vector<std::string> calls_;
  std::string status_;
  bool busy_ = false;
};

}  // namespace tolvanix
