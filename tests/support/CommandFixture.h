// A split or join run over real files in a temporary folder, with the
// scripted user and the fault-injecting file system. After every test: no
// descriptor left open, no handle field holding a file, the normal cursor,
// and no scripted answer left unused.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Commands.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace tolvanix {

class CommandFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    descriptorsBefore_ = OpenDescriptors();
    ui.tap = [this](const std::string& event) { fs.events.push_back("ui:" + event); };
  }
  void TearDown() override {
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore_) << "a descriptor was left open";
    EXPECT_FALSE(handles.first || handles.second);
    EXPECT_FALSE(ui.Busy());
    EXPECT_EQ(ui.UnusedAnswers(), 0u);
  }

  Outcome Split(int32_t kb) { return RunSplit({ui, fs, dialogs, handles}, kb); }
  Outcome Join() { return RunJoin({ui, fs, dialogs, handles}); }

  // The names in the folder, sorted.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  // The run ended with this notice, then the clean-up: cursor off, empty line.
  void ExpectEndedWithNotice(Outcome outcome, Outcome expected) {
    EXPECT_EQ(outcome, expected);
    const auto& calls = ui.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{std::string("notice:") + NoticeText(expected), "busy:0",
                                        "status:"}));
  }

  TempDir dir;
  FaultyFileSystem fs;
  ScriptedInteraction ui;
  FileDialogs dialogs;
  HandleFields handles;

 private:
  int descriptorsBefore_ = 0;
};

}  // namespace tolvanix
