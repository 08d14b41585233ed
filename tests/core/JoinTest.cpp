#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "core/PieceFormat.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

const char* const kProgress = "ファイル結合中です。";

// A piece set cut by hand, independent of the split: header bytes written
// directly, later pieces plain slices of the data.
std::vector<std::string> CutSet(const std::string& stem, const std::string& data, size_t pieceSize,
                                const std::string& storedName = "photo.jpg", int32_t count = 0) {
  std::string all(storedName);
  all.resize(258, '\0');
  const size_t n = (data.size() + 262 + pieceSize - 1) / pieceSize;
  const uint32_t c = count ? static_cast<uint32_t>(count) : static_cast<uint32_t>(n);
  for (int i = 0; i < 4; ++i) all += static_cast<char>(c >> (8 * i));
  all += data;
  std::vector<std::string> paths;
  for (size_t k = 1; k <= n; ++k) {
    paths.push_back(stem + "." + IntToStrl(static_cast<int64_t>(k), 3));
    WriteFile(paths.back(), all.substr((k - 1) * pieceSize, pieceSize));
  }
  return paths;
}

class JoinTest : public CommandFixture {
 protected:
  std::string data_ = RandomBytes(3000, 7);
};

TEST_F(JoinTest, RoundTripsOfSplitSetsAreByteIdentical) {
  std::mt19937 rng(42);
  for (int i = 0; i < 12; ++i) {
    const size_t size = i == 0 ? 0 : rng() % 40000;
    const int kb = 1 + static_cast<int>(rng() % 8);
    SCOPED_TRACE(std::to_string(size) + " bytes at " + std::to_string(kb) + " KB");
    TempDir d;
    const std::string source = d / "元データ.bin";
    WriteFile(source, RandomBytes(size, static_cast<uint32_t>(i)));
    ui = ScriptedInteraction();
    ui.ConfirmOpen(source);
    ui.ConfirmSave(d / "piece");
    ASSERT_EQ(Split(kb), Outcome::Done);
    ui.ConfirmOpen(d / "piece.001");
    ui.ConfirmSave(d / "rebuilt");
    ASSERT_EQ(Join(), Outcome::Done);
    EXPECT_EQ(ReadFile(d / "rebuilt"), ReadFile(source));
    EXPECT_EQ(ui.Proposals().back(), "元データ.bin") << "the stored name comes back";
  }
}

TEST_F(JoinTest, JoinsAHandCutSetAndShowsProgress) {
  CutSet(dir / "a", data_, 1024);
  ui.ConfirmOpen(dir / "a.001");
  ui.ConfirmSave(dir / "out");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"), data_);
  EXPECT_EQ(ui.Proposals(), (std::vector<std::string>{"*.001", "photo.jpg"}));
  const std::string p = kProgress;
  EXPECT_EQ(ui.Statuses(), (std::vector<std::string>{p + "  1/4", p + "  2/4", p + "  3/4", p + "  4/4", ""}));
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(ui.Calls().back(), "status:");
  // The dialog keeps the confirmed piece for the next join.
  EXPECT_EQ(dialogs.OpenDialog2.FileName, dir / "a.001");
}

TEST_F(JoinTest, OnePieceSetsAndHeaderOnlySets) {
  CutSet(dir / "one", data_.substr(0, 500), 1024);
  ui.ConfirmOpen(dir / "one.001");
  ui.ConfirmSave(dir / "out1");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out1"), data_.substr(0, 500));

  CutSet(dir / "empty", "", 1024, "");
  ui.ConfirmOpen(dir / "empty.001");
  ui.ConfirmSave(dir / "out2");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_TRUE(FileExists(dir / "out2"));
  EXPECT_EQ(FileSize(dir / "out2"), 0);
  EXPECT_EQ(ui.Proposals().back(), "") << "an empty stored name proposes nothing";
  EXPECT_TRUE(ui.Notices().empty());
}

TEST_F(JoinTest, FirstPieceWithoutThreeDigitsFindsItsNeighbours) {
  const auto paths = CutSet(dir / "part", data_, 2048);
  std::filesystem::rename(paths[0], dir / "part.bin");
  ui.ConfirmOpen(dir / "part.bin");
  ui.ConfirmSave(dir / "out");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"), data_);
}

TEST_F(JoinTest, PieceInAnotherFolderIsFoundThroughThePromptAndTheNextLookedForThere) {
  TempDir elsewhere, wrong;
  const auto paths = CutSet(dir / "a", data_, 1024);
  std::filesystem::rename(paths[1], elsewhere / "a.002");
  std::filesystem::rename(paths[2], elsewhere / "a.003");
  std::filesystem::rename(paths[3], elsewhere / "a.004");
  ui.ConfirmOpen(dir / "a.001");
  ui.ConfirmSave(dir / "out");
  ui.ConfirmOpen(wrong / "anything.txt");  // no piece there: asked again at once
  ui.ConfirmOpen(elsewhere / "whatever");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"), data_);
  EXPECT_EQ(ui.Notices(), std::vector<std::string>{"次のメディアを入れてください。"});
  EXPECT_EQ(ui.Proposals(),
            (std::vector<std::string>{"*.001", "photo.jpg", dir / "a.002", wrong / "a.002"}));
  // Between the two prompts there is no notice.
  const auto& calls = ui.Calls();
  const auto second = std::find(calls.begin(), calls.end(), "open:" + wrong / "a.002");
  ASSERT_NE(second, calls.end());
  EXPECT_EQ(*(second - 1), "open:" + dir / "a.002");
}

TEST_F(JoinTest, MediumChangedWhileTheNoticeIsOpen) {
  TempDir stick;
  const auto paths = CutSet(dir / "a", data_, 2048);
  std::filesystem::rename(paths[1], stick / "a.002");
  ui.onNotice = [&](const std::string&) {
    // The status line still names the piece just copied.
    EXPECT_EQ(ui.StatusText(), std::string(kProgress) + "  1/2");
    std::filesystem::rename(stick / "a.002", paths[1]);
  };
  ui.ConfirmOpen(dir / "a.001");
  ui.ConfirmSave(dir / "out");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"), data_);
}

TEST_F(JoinTest, MissingPiecesUntilCancelKeepWhatWasCopied) {
  CutSet(dir / "a", data_, 1024, "photo.jpg", 6);  // four pieces present, six announced
  ui.ConfirmOpen(dir / "a.001");
  ui.ConfirmSave(dir / "out");
  ui.ConfirmOpen(dir / "a.005");  // same folder: still missing
  ui.CancelOpen();
  EXPECT_EQ(Join(), Outcome::Cancelled);
  EXPECT_EQ(ReadFile(dir / "out"), data_);
  EXPECT_EQ(ui.Notices(), std::vector<std::string>{"次のメディアを入れてください。"});
  EXPECT_EQ(ui.Calls()[ui.Calls().size() - 2], "busy:0");
}

TEST_F(JoinTest, CountAbove999LooksForFourDigitNumbers) {
  CutSet(dir / "a", data_.substr(0, 100), 1024, "x", 1000);
  // Pieces 2..999 made empty so the join reaches the thousandth.
  for (int k = 2; k <= 999; ++k) WriteFile(dir / ("a." + IntToStrl(k, 3)), "");
  ui.ConfirmOpen(dir / "a.001");
  ui.ConfirmSave(dir / "out");
  ui.CancelOpen();
  EXPECT_EQ(Join(), Outcome::Cancelled);
  EXPECT_EQ(ui.Proposals().back(), dir / "a.1000");
  EXPECT_EQ(ReadFile(dir / "out"), data_.substr(0, 100));
}

TEST_F(JoinTest, LaterPiecesOfAnyLengthAreCopiedWhole) {
  const auto paths = CutSet(dir / "a", data_, 1024);
  WriteFile(paths[1], "");
  WriteFile(paths[2], std::string(5000, 'L'));
  ui.ConfirmOpen(paths[0]);
  ui.ConfirmSave(dir / "out");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"), data_.substr(0, 762) + std::string(5000, 'L') + ReadFile(paths[3]));
}

// First pieces that are refused before the output prompt: nothing is created.
TEST_F(JoinTest, BadFirstPiecesAreRefusedBeforeTheOutputPrompt) {
  const std::string good = ReadFile(CutSet(dir / "g", data_, 1024)[0]);
  const auto withCount = [&](uint32_t c) {
    std::string bytes = good;
    for (int i = 0; i < 4; ++i) bytes[258 + i] = static_cast<char>(c >> (8 * i));
    return bytes;
  };
  struct Row {
    const char* what;
    std::string bytes;
    Outcome outcome;
  };
  const std::vector<Row> rows = {
      {"256 bytes", good.substr(0, 256), Outcome::BadFileSize},
      {"257 bytes", good.substr(0, 257), Outcome::CountReadFailed},
      {"261 bytes", good.substr(0, 261), Outcome::CountReadFailed},
      {"count 0", withCount(0), Outcome::CountReadFailed},
      {"count -1", withCount(0xFFFFFFFF), Outcome::CountReadFailed},
      {"count INT32_MIN", withCount(0x80000000), Outcome::CountReadFailed},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ui = ScriptedInteraction();
    WriteFile(dir / "bad.001", r.bytes);
    ui.ConfirmOpen(dir / "bad.001");
    EXPECT_EQ(Join(), r.outcome);
    const std::vector<std::string> calls(ui.Calls().begin() + 1, ui.Calls().end());
    EXPECT_EQ(calls, (std::vector<std::string>{std::string("notice:") + NoticeText(r.outcome), "busy:0", "status:"}));
  }
  EXPECT_STREQ(NoticeText(Outcome::BadFileSize), "ファイルサイズが不正です。");
  EXPECT_STREQ(NoticeText(Outcome::CountReadFailed), "元ファイルのファイル数の読み込みに失敗しました。");
}

TEST_F(JoinTest, FirstPieceThatCannotBeOpenedTouchesNothing) {
  const std::string fifo = dir / "fifo.001";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto paths = CutSet(dir / "a", data_, 1024);
  const auto held = fs.OpenRead(paths[0]);
  for (const std::string& path : {dir.Path(), fifo, paths[0], dir / "missing.001"}) {
    ui = ScriptedInteraction();
    ui.ConfirmOpen(path);
    EXPECT_EQ(Join(), Outcome::PieceOpenFailed) << path;
    // No clean-up: the cursor and the status line were never touched.
    ASSERT_EQ(ui.Calls().size(), 2u);
    EXPECT_EQ(ui.Calls()[1], "notice:元ファイルのオープンに失敗しました。");
  }
}

TEST_F(JoinTest, StoredNamesAreProposedOnlyAsSafeBareNames) {
  struct Row {
    std::string stored, proposed;
  };
  std::string noNul(258, 'n');
  for (const Row& r : {Row{"..", "_"}, Row{"../../.bashrc", ".bashrc"}, Row{"C:\\data\\photo.jpg", "photo.jpg"},
                       Row{"\x83\x5C\x81", "ソ_"}, Row{"a\x01\x1f", "a__"}, Row{noNul, noNul}}) {
    ui = ScriptedInteraction();
    CutSet(dir / "s", "", 1024, "");
    std::string first = ReadFile(dir / "s.001");
    first.replace(0, std::min<size_t>(r.stored.size(), 258), r.stored.substr(0, 258));
    WriteFile(dir / "s.001", first);
    ui.ConfirmOpen(dir / "s.001");
    ui.CancelSave();
    EXPECT_EQ(Join(), Outcome::Cancelled);
    EXPECT_EQ(ui.Proposals().back(), r.proposed);
    EXPECT_TRUE(ui.Notices().empty());
    EXPECT_EQ(ui.Calls().back(), "status:") << "cancelled output prompt still cleans up";
  }
}

TEST_F(JoinTest, OutputNamingAPieceOfTheSetIsRefusedAndLeavesItIntact) {
  const auto paths = CutSet(dir / "a", data_, 1024);
  const std::string piece3 = ReadFile(paths[2]);
  ASSERT_EQ(symlink(paths[3].c_str(), (dir / "link").c_str()), 0);
  for (const std::string& out : {paths[0], paths[2], dir / "./a.003", dir / "link"}) {
    ui = ScriptedInteraction();
    ui.ConfirmOpen(paths[0]);
    ui.ConfirmSave(out);
    ExpectEndedWithNotice(Join(), Outcome::OutputCreateFailed);
  }
  EXPECT_EQ(ReadFile(paths[2]), piece3);
  EXPECT_EQ(FileSize(paths[3]), static_cast<int64_t>(data_.size() + 262 - 3 * 1024));
  // A name beyond the count is no piece of this set.
  ui = ScriptedInteraction();
  ui.ConfirmOpen(paths[0]);
  ui.ConfirmSave(dir / "a.005");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "a.005"), data_);
}

TEST_F(JoinTest, FailuresAfterTheOutputKeepWhatWasCopied) {
  struct Row {
    const char* what;
    std::function<void(FaultyFileSystem&, const std::vector<std::string>&, const std::string& out)> arrange;
    Outcome outcome;
    size_t kept;  // bytes left in the output
  };
  const std::vector<Row> rows = {
      {"output cannot be created",
       [](FaultyFileSystem& f, const auto&, const std::string& out) { f.FailCreate(out); },
       Outcome::OutputCreateFailed, std::string::npos},
      {"piece 2 unreadable", [](FaultyFileSystem& f, const auto& p, const auto&) { f.FailReadAfter(p[1], 0); },
       Outcome::PieceReadFailed, 762},
      {"piece 3 cannot be opened", [](FaultyFileSystem& f, const auto& p, const auto&) { f.FailOpenRead(p[2]); },
       Outcome::PieceOpenFailed, 762 + 1024},
      {"output disk full in piece 2",
       [](FaultyFileSystem& f, const auto&, const std::string& out) { f.ShortWriteAfter(out, 1000); },
       Outcome::OutputWriteFailed, 1000},
      {"write error", [](FaultyFileSystem& f, const auto&, const std::string& out) { f.FailWriteAfter(out, 0); },
       Outcome::OutputWriteFailed, 0},
      {"flush to a removable medium fails",
       [](FaultyFileSystem& f, const auto&, const std::string& out) {
         f.SetRemovable(true);
         f.FailFlush(out);
       },
       Outcome::OutputWriteFailed, 3000},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TempDir d;
    FaultyFileSystem faulty;
    ScriptedInteraction script;
    HandleFields fields;
    const auto paths = CutSet(d / "a", data_, 1024);
    const std::string out = d / "out";
    r.arrange(faulty, paths, out);
    script.ConfirmOpen(paths[0]);
    script.ConfirmSave(out);
    script.onNotice = [&](const std::string&) { EXPECT_TRUE(script.Busy()) << "notice before clean-up"; };
    EXPECT_EQ(RunJoin({script, faulty, dialogs, fields}), r.outcome);
    EXPECT_EQ(script.Notices(), std::vector<std::string>{NoticeText(r.outcome)});
    EXPECT_EQ(script.Calls().back(), "status:");
    EXPECT_FALSE(script.Busy());
    EXPECT_FALSE(fields.first || fields.second);
    if (r.kept == std::string::npos) {
      EXPECT_FALSE(FileExists(out));
    } else {
      EXPECT_EQ(ReadFile(out), data_.substr(0, r.kept));
    }
    for (size_t k = 0; k < paths.size(); ++k) EXPECT_TRUE(FileExists(paths[k]));
  }
  EXPECT_STREQ(NoticeText(Outcome::OutputWriteFailed), "ファイルのデータ書き込みに失敗しました。");
  EXPECT_STREQ(NoticeText(Outcome::PieceReadFailed), "元ファイルのデータ読み込みに失敗しました。");
  EXPECT_STREQ(NoticeText(Outcome::OutputCreateFailed), "結合ファイルの作成に失敗しました。");
}

TEST_F(JoinTest, PieceHeldByAnotherProgramAndOutputOnRemovableMedium) {
  const auto paths = CutSet(dir / "a", data_, 1024);
  const auto held = fs.OpenRead(paths[1]);
  ui.ConfirmOpen(paths[0]);
  ui.ConfirmSave(dir / "out");
  ExpectEndedWithNotice(Join(), Outcome::PieceOpenFailed);
  EXPECT_EQ(ReadFile(dir / "out"), data_.substr(0, 762));

  // On a removable medium the output reaches it before it is closed.
  ui = ScriptedInteraction();
  fs.SetRemovable(true);
  ui.ConfirmOpen(paths[0]);
  ui.ConfirmSave(dir / "out2");
  EXPECT_EQ(Join(), Outcome::PieceOpenFailed);
  EXPECT_EQ(fs.Flushes(), std::vector<std::string>{dir / "out2"});
}

// Thousands of random and mutated first pieces: the join only ever ends with
// one of its outcomes, never crashes, hangs or reads out of bounds (the
// sanitizers watch), and never touches the output unless it was confirmed.
TEST_F(JoinTest, FuzzedFirstPiecesEndWithAKnownOutcome) {
  class Permissive : public ScriptedInteraction {
   public:
    std::string first, output;
    bool RunOpenDialog(TOpenDialog& d) override {
      if (&d != firstDialog) return false;  // missing pieces: give up
      d.FileName = first;
      return true;
    }
    bool RunSaveDialog(TSaveDialog& d) override {
      d.FileName = output;
      return true;
    }
    void ShowNotice(const std::string& text) override { last = text; }
    TOpenDialog* firstDialog = nullptr;
    std::string last;
  } user;
  user.firstDialog = &dialogs.OpenDialog2;
  user.first = dir / "f.001";
  user.output = dir / "out";
  const std::string seed = ReadFile(CutSet(dir / "seed", data_, 1024)[0]);
  std::mt19937 rng(2024);
  for (int i = 0; i < 2000; ++i) {
    std::string bytes;
    if (i % 3 == 0) {
      bytes = RandomBytes(rng() % 600, static_cast<uint32_t>(i));
    } else {
      bytes = seed.substr(0, rng() % (seed.size() + 1));
      for (int m = rng() % 8; m > 0 && !bytes.empty(); --m) bytes[rng() % bytes.size()] = static_cast<char>(rng());
      if (i % 5 == 0 && bytes.size() >= 262) bytes[258 + rng() % 4] = static_cast<char>(rng() & 1 ? 0 : 0x80);
    }
    WriteFile(user.first, bytes);
    std::filesystem::remove(user.output);
    const Outcome outcome = RunJoin({user, fs, dialogs, handles});
    switch (outcome) {
      case Outcome::Done:
      case Outcome::Cancelled:
      case Outcome::BadFileSize:
      case Outcome::NameReadFailed:
      case Outcome::CountReadFailed:
      case Outcome::OutputCreateFailed:
        break;
      default:
        FAIL() << "unexpected outcome " << static_cast<int>(outcome) << " at case " << i;
    }
    if (outcome == Outcome::BadFileSize || outcome == Outcome::CountReadFailed) {
      ASSERT_FALSE(FileExists(user.output)) << i;
    }
    if (outcome == Outcome::Done) {
      ASSERT_EQ(ReadFile(user.output), bytes.substr(262)) << i;
    }
  }
}

}  // namespace
}  // namespace tolvanix
