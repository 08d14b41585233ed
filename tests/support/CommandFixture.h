// After each test: no descriptor or handle field left open, every scripted answer used.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Commands.h"
#include "core/PieceFormat.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace tolvanix {

// Whether the native file system copies between files in the kernel.
inline bool KernelCopies() {
  TempDir d;
  WriteFile(d / "a", "ab");
  auto native = MakeNativeFileSystem();
  return native->OpenRead(d / "a")->CopyTo(*native->Create(d / "b"), 1).copied == 1;
}

class CommandFixture : public ::testing::Test {
 public:
  // A piece set cut by hand, independent of the split: header, then slices of the data.
  static std::vector<std::string> CutSet(const std::string& stem, const std::string& data,
                                         size_t pieceSize, const std::string& name = "photo.jpg",
                                         uint32_t count = 0) {
    std::string all(name);
    all.resize(258, '\0');
    const size_t n = (data.size() + 262 + pieceSize - 1) / pieceSize;
    for (int i = 0; i < 4; ++i) all += static_cast<char>((count ? count : n) >> (8 * i));
    all += data;
    std::vector<std::string> paths;
    for (size_t k = 1; k <= n; ++k) {
      paths.push_back(stem + "." + IntToStrl(static_cast<int64_t>(k), 3));
      WriteFile(paths.back(), all.substr((k - 1) * pieceSize, pieceSize));
    }
    return paths;
  }

 protected:
  void SetUp() override { descriptorsBefore_ = OpenDescriptors(); }
  void TearDown() override {
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore_) << "a descriptor was left open";
    EXPECT_EQ(handles.first, nullptr);
    EXPECT_EQ(handles.second, nullptr);
    EXPECT_FALSE(ui.Busy());
    EXPECT_EQ(ui.UnusedAnswers(), 0u);
  }

  Outcome Split(int32_t kb) { return RunSplit(Context(), kb); }
  Outcome Join() { return RunJoin(Context()); }
  CommandContext Context() {
    CommandContext ctx{ui, fs, dialogs, handles};
    ctx.checksumList = checksumList;
    ctx.notes = [this](const Note& note) {
      static const char* const kKinds[] = {
          "unreadable:", "other files:", "not written:", "written:", "verified:"};
      notes.push_back(kKinds[note.kind] + note.path);
    };
    return ctx;
  }
  Outcome Join(const std::string& first, const std::string& out) {
    ui.ConfirmOpen(first);
    ui.ConfirmSave(out);
    return Join();
  }

  // Sizes of stem.001, stem.002, ... as far as they go.
  static std::vector<int64_t> Lengths(const std::string& stem) {
    std::vector<int64_t> lengths;
    for (int k = 1; FileExists(stem + "." + IntToStrl(k, 3)); ++k)
      lengths.push_back(FileSize(stem + "." + IntToStrl(k, 3)));
    return lengths;
  }
  // The run ended with this notice (naming `named`), then the cursor off and the line emptied.
  void ExpectEndedWithNotice(Outcome outcome, Outcome expected, const std::string& named = "") {
    EXPECT_EQ(outcome, expected);
    const std::string notice = NoticeText(expected) + (named.empty() ? "" : "\r\n" + named);
    const auto& calls = ui.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"notice:" + notice, "busy:0", "status:"}));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "busy:0"), 1) << "the cursor was on";
    EXPECT_EQ(handles.first, nullptr);
    EXPECT_EQ(handles.second, nullptr);
  }
  void Fresh() {
    ui = ScriptedInteraction();
    fs = FaultyFileSystem();
    notes.clear();
  }

  TempDir dir;
  FaultyFileSystem fs;
  ScriptedInteraction ui;
  FileDialogs dialogs;
  HandleFields handles;
  bool checksumList = true;
  std::vector<std::string> notes;

 private:
  int descriptorsBefore_ = 0;
};

}  // namespace tolvanix
