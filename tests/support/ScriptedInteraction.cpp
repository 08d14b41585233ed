#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace tolvanix {

void ScriptedInteraction::Record(std::string event) {
  if (tap) tap(event);
  calls_.push_back(std::move(event));
}

bool ScriptedInteraction::Next(Reply::Kind kind, const std::string& what, Reply& reply) {
  if (answers_.empty() || answers_.front().kind != kind) {
    ADD_FAILURE() << "unexpected " << what;
    return false;
  }
  reply = answers_.front();
  answers_.pop_front();
  return true;
}

void ScriptedInteraction::ShowNotice(const std::string& text) {
  Record("notice:" + text);
  if (onNotice) onNotice(text);
}

int ScriptedInteraction::AskYesNoCancel(const std::string& text) {
  Record("ask:" + text);
  Reply reply{Reply::Ask, false, {}, 0};
  return Next(Reply::Ask, "warning box", reply) ? reply.result : idCancel;
}

bool ScriptedInteraction::RunDialog(Reply::Kind kind, TFileDialog& dialog, const char* tag) {
  Record(std::string(tag) + ":" + dialog.FileName);
  Reply reply{kind, false, {}, 0};
  if (!Next(kind, std::string(tag) + " prompt proposing " + dialog.FileName, reply)) return false;
  if (reply.confirm) dialog.FileName = reply.path;  // a cancelled dialog keeps it, as the real ones
  return reply.confirm;
}

void ScriptedInteraction::SetStatusText(const std::string& text) {
  status_ = text;
  Record("status:" + text);
}

void ScriptedInteraction::SetBusyCursor(bool on) {
  busy_ = on;
  Record(on ? "busy:1" : "busy:0");
}

std::vector<std::string> ScriptedInteraction::Proposals() const {
  std::vector<std::string> out;
  for (const auto& call : calls_) {
    if (call.rfind("open:", 0) == 0 || call.rfind("save:", 0) == 0) out.push_back(call.substr(5));
  }
  return out;
}

}  // namespace tolvanix
