// Answers prompts from a queue and records every call in order: "notice:T",
// "ask:T", "open:PROPOSED", "save:PROPOSED", "status:T", "busy:1", "busy:0".
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "core/Interaction.h"
#include "support/TestFiles.h"

namespace tolvanix {

class ScriptedInteraction : public Interaction {
 public:
  void ConfirmOpen(std::string path) { answers_.push_back({Open, true, std::move(path)}); }
  void CancelOpen() { answers_.push_back({Open, false, {}}); }
  void ConfirmSave(std::string path) { answers_.push_back({Save, true, std::move(path)}); }
  void CancelSave() { answers_.push_back({Save, false, {}}); }
  void Reply(Answer result) { answers_.push_back({Ask, true, {}, result}); }

  std::function<void(const std::string& text)> onNotice;  // runs while a notice is open
  std::function<void(const std::string& event)> tap;      // sees each recorded call

  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> Notices() const { return WithPrefix(calls_, "notice:"); }
  std::vector<std::string> Proposals() const {  // of the open and save prompts, in order
    std::vector<std::string> out;
    for (const auto& c : calls_)
      if (c.rfind("open:", 0) == 0 || c.rfind("save:", 0) == 0) out.push_back(c.substr(5));
    return out;
  }
  bool Busy() const { return busy_; }
  size_t UnusedAnswers() const { return answers_.size(); }

  void ShowNotice(const std::string& text) override {
    Record("notice:" + text);
    if (onNotice) onNotice(text);
  }
  Answer AskYesNoCancel(const std::string& text) override {
    Record("ask:" + text);
    return Next(Ask, text).result;
  }
  bool RunFileDialog(TFileDialog& dialog) override {
    const bool save = dialog.kind == TFileDialog::Kind::Save;
    const std::string call = (save ? "save:" : "open:") + dialog.FileName;
    Record(call);
    const Queued reply = Next(save ? Save : Open, call);
    if (reply.confirm)
      dialog.FileName = reply.path;  // a cancelled dialog keeps it, as the real ones
    return reply.confirm;
  }
  void SetStatusText(const std::string& text) override { Record("status:" + text); }
  void SetBusyCursor(bool on) override { Record((busy_ = on) ? "busy:1" : "busy:0"); }

 private:
  enum Kind { Open, Save, Ask };
  struct Queued {
    Kind kind;
    bool confirm = false;
    std::string path;
    Answer result = Answer::Cancel;
  };
  void Record(const std::string& event) {
    if (tap) tap(event);
    calls_.push_back(event);
  }
  Queued Next(Kind kind, const std::string& what) {
    if (answers_.empty() || answers_.front().kind != kind) {
      ADD_FAILURE() << "unexpected prompt: " << what;
      return {kind, false, {}};
    }
    Queued reply = answers_.front();
    answers_.pop_front();
    return reply;
  }

  std::deque<Queued> answers_;
  std::vector<std::string> calls_;
  bool busy_ = false;
};

}  // namespace tolvanix
