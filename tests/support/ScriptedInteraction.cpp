#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace tolvanix {

void ScriptedInteraction::ConfirmOpen(std::string path) { answers_.push_back({Reply::Open, true, std::move(path)}); }
void ScriptedInteraction::CancelOpen() { answers_.push_back({Reply::Open, false, {}}); }
void ScriptedInteraction::ConfirmSave(std::string path) { answers_.push_back({Reply::Save, true, std::move(path)}); }
void ScriptedInteraction::CancelSave() { answers_.push_back({Reply::Save, false, {}}); }
void ScriptedInteraction::Answer(int result) { answers_.push_back({Reply::Ask, true, {}, result}); }

void ScriptedInteraction::Record(std::string event) {
  if (tap) tap(event);
  calls_.push_back(std::move(event));
}

void ScriptedInteraction::ShowNotice(const std::string& text) {
  Record("notice:" + text);
  if (onNotice) onNotice(text);
}

int ScriptedInteraction::AskYesNoCancel(const std::string& text) {
  Record("ask:" + text);
  if (answers_.empty() || answers_.front().kind != Reply::Ask) {
    ADD_FAILURE() << "unexpected warning box: " << text;
    return idCancel;
  }
  const int result = answers_.front().result;
  answers_.pop_front();
  return result;
}

bool ScriptedInteraction::RunDialog(Reply::Kind kind, TFileDialog& dialog, const char* tag) {
  Record(std::string(tag) + ":" + dialog.FileName);
  if (answers_.empty() || answers_.front().kind != kind) {
    ADD_FAILURE() << "unexpected " << tag << " prompt proposing " << dialog.FileName;
    return false;
  }
  const Reply reply = answers_.front();
  answers_.pop_front();
  // As the real dialogs: a cancelled run leaves FileName as it was.
  if (reply.confirm) dialog.FileName = reply.path;
  return reply.confirm;
}

bool ScriptedInteraction::RunOpenDialog(TOpenDialog& dialog) { return RunDialog(Reply::Open, dialog, "open"); }
bool ScriptedInteraction::RunSaveDialog(TSaveDialog& dialog) { return RunDialog(Reply::Save, dialog, "save"); }

void ScriptedInteraction::SetStatusText(const std::string& text) {
  status_ = text;
  Record("status:" + text);
}

void ScriptedInteraction::SetBusyCursor(bool on) {
  busy_ = on;
  Record(on ? "busy:1" : "busy:0");
}

std::vector<std::string> ScriptedInteraction::WithPrefix(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& call : calls_) {
    if (call.compare(0, prefix.size(), prefix) == 0) out.push_back(call.substr(prefix.size()));
  }
  return out;
}

std::vector<std::string> ScriptedInteraction::Notices() const { return WithPrefix("notice:"); }
std::vector<std::string> ScriptedInteraction::Statuses() const { return WithPrefix("status:"); }

std::vector<std::string> ScriptedInteraction::Proposals() const {
  std::vector<std::string> out;
  for (const auto& call : calls_) {
    if (call.rfind("open:", 0) == 0 || call.rfind("save:", 0) == 0) out.push_back(call.substr(5));
  }
  return out;
}

}  // namespace tolvanix
