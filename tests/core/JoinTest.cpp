#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "core/PieceFormat.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

// A piece set cut by hand, independent of the split: header bytes written
// directly, later pieces plain slices of the data.
std::vector<std::string> CutSet(const std::string& stem, const std::string& data, size_t pieceSize,
                                const std::string& storedName = "photo.jpg", uint32_t count = 0) {
  std::string all(storedName);
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

class JoinTest : public CommandFixture {
 protected:
  // The prompts answered with the first piece and the output.
  Outcome Join(const std::string& first, const std::string& out) {
    ui.ConfirmOpen(first);
    ui.ConfirmSave(out);
    return CommandFixture::Join();
  }
  using CommandFixture::Join;
  std::string data_ = RandomBytes(3000, 7);
};

// Without faults every byte of the split and of the join moves in the kernel.
TEST_F(JoinTest, RoundTripsAreByteIdenticalAndCopiedInTheKernel) {
  std::mt19937 rng(42);
  for (int i = 0; i < 12; ++i) {
    const size_t size = i == 0 ? 0 : i == 1 ? (3 << 20) + 77 : rng() % 40000;
    const int kb = i == 1 ? 1024 : 1 + static_cast<int>(rng() % 8);
    SCOPED_TRACE(std::to_string(size) + " bytes at " + std::to_string(kb) + " KB");
    TempDir d;
    const std::string source = d / "元データ.bin";
    WriteFile(source, RandomBytes(size, static_cast<uint32_t>(i)));
    const int64_t before = fs.kernelCopied;
    ui = ScriptedInteraction();
    ui.ConfirmOpen(source);
    ui.ConfirmSave(d / "piece");
    ASSERT_EQ(Split(kb), Outcome::Done);
    ASSERT_EQ(Join(d / "piece.001", d / "rebuilt"), Outcome::Done);
    EXPECT_EQ(ReadFile(d / "rebuilt"), ReadFile(source));
    EXPECT_EQ(ui.Proposals().back(), "元データ.bin") << "the stored name comes back";
    EXPECT_EQ(fs.kernelCopied - before, 2 * static_cast<int64_t>(size));
  }
}

TEST_F(JoinTest, JoinsAHandCutSetWithAnyFirstNameAndShowsProgress) {
  const auto paths = CutSet(dir / "a", data_, 1024);
  std::filesystem::rename(paths[0], dir / "a.bin");
  EXPECT_EQ(Join(dir / "a.bin", dir / "out"), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"), data_);
  EXPECT_EQ(ui.Proposals(), (std::vector<std::string>{"*.001", "photo.jpg"}));
  const std::string p = "ファイル結合中です。  ";
  EXPECT_EQ(ui.Statuses(),
            (std::vector<std::string>{p + "1/4", p + "2/4", p + "3/4", p + "4/4", ""}));
  EXPECT_TRUE(ui.Notices().empty());
  // The dialog keeps the confirmed piece for the next join.
  EXPECT_EQ(dialogs.OpenDialog2.FileName, dir / "a.bin");
}

TEST_F(JoinTest, PieceInAnotherFolderIsFoundThroughThePromptAndTheNextLookedForThere) {
  TempDir elsewhere, wrong;
  const auto paths = CutSet(dir / "a", data_, 1024);
  for (int k = 1; k < 4; ++k)
    std::filesystem::rename(paths[k], elsewhere / ("a.00" + std::to_string(k + 1)));
  ui.ConfirmOpen(dir / "a.001");
  ui.ConfirmSave(dir / "out");
  ui.ConfirmOpen(wrong / "anything.txt");  // no piece there: asked again at once, no notice
  ui.ConfirmOpen(elsewhere / "whatever");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"), data_);
  EXPECT_EQ(ui.Notices(), std::vector<std::string>{kNextMediumJoin});
  const std::vector<std::string> prompts = {"open:" + dir / "a.002", "open:" + wrong / "a.002"};
  EXPECT_NE(std::search(ui.Calls().begin(), ui.Calls().end(), prompts.begin(), prompts.end()),
            ui.Calls().end());
  EXPECT_EQ(ui.Proposals(),
            (std::vector<std::string>{"*.001", "photo.jpg", dir / "a.002", wrong / "a.002"}));
}

TEST_F(JoinTest, MediumChangedWhileTheNoticeIsOpen) {
  TempDir stick;
  const auto paths = CutSet(dir / "a", data_, 2048);
  std::filesystem::rename(paths[1], stick / "a.002");
  ui.onNotice = [&](const std::string&) {
    EXPECT_EQ(ui.StatusText(), "ファイル結合中です。  1/2");
    std::filesystem::rename(stick / "a.002", paths[1]);
  };
  EXPECT_EQ(Join(dir / "a.001", dir / "out"), Outcome::Done);
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
  EXPECT_EQ(ui.Notices(), std::vector<std::string>{kNextMediumJoin});
  EXPECT_EQ(ui.Calls().back(), "status:");
}

TEST_F(JoinTest, CountAbove999LooksForFourDigitNumbers) {
  CutSet(dir / "a", data_.substr(0, 100), 1024, "x", 1000);
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
  EXPECT_EQ(Join(paths[0], dir / "out"), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"),
            data_.substr(0, 762) + std::string(5000, 'L') + ReadFile(paths[3]));
}

TEST_F(JoinTest, BadFirstPiecesAreRefusedBeforeTheOutputPrompt) {
  const std::string good = ReadFile(CutSet(dir / "g", data_, 1024)[0]);
  const auto withCount = [&](uint32_t c) {
    std::string bytes = good;
    for (int i = 0; i < 4; ++i) bytes[258 + i] = static_cast<char>(c >> (8 * i));
    return bytes;
  };
  for (const auto& [bytes, outcome] :
       {std::pair{good.substr(0, 256), Outcome::BadFileSize},
        std::pair{good.substr(0, 257), Outcome::CountReadFailed},
        std::pair{good.substr(0, 261), Outcome::CountReadFailed},
        std::pair{withCount(0), Outcome::CountReadFailed},
        std::pair{withCount(0xFFFFFFFF), Outcome::CountReadFailed}}) {
    SCOPED_TRACE(bytes.size());
    ui = ScriptedInteraction();
    WriteFile(dir / "bad.001", bytes);
    ui.ConfirmOpen(dir / "bad.001");
    EXPECT_EQ(Join(), outcome);
    EXPECT_EQ(std::vector<std::string>(ui.Calls().begin() + 1, ui.Calls().end()),
              (std::vector<std::string>{std::string("notice:") + NoticeText(outcome), "busy:0",
                                        "status:"}));
  }
}

TEST_F(JoinTest, FirstPieceThatCannotBeOpenedTouchesNothing) {
  const std::string fifo = dir / "fifo.001";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto paths = CutSet(dir / "a", data_, 1024);
  const auto held = fs.OpenRead(paths[0]);
  // An open that blocked on the FIFO would hang the suite: end it instead.
  struct Alarm {
    Alarm() { ::alarm(30); }
    ~Alarm() { ::alarm(0); }
  } alarm;
  for (const std::string& path : {dir.Path(), fifo, paths[0], dir / "missing.001"}) {
    ui = ScriptedInteraction();
    ui.ConfirmOpen(path);
    EXPECT_EQ(Join(), Outcome::PieceOpenFailed) << path;
    // No clean-up: the cursor and the status line were never touched.
    ASSERT_EQ(ui.Calls().size(), 2u);
    EXPECT_EQ(ui.Calls()[1], std::string("notice:") + NoticeText(Outcome::PieceOpenFailed));
  }
}

TEST_F(JoinTest, StoredNamesAreProposedOnlyAsSafeBareNames) {
  const std::string noNul(258, 'n');
  for (const auto& [stored, proposed] : {std::pair<std::string, std::string>{"", ""},
                                         {"..", "_"},
                                         {"../../.bashrc", ".bashrc"},
                                         {"12:30 a\\b*?.txt", "12:30 a\\b__.txt"},
                                         {"\x83\x5C\x81", "ソ_"},
                                         {"a\x01\x1f", "a__"},
                                         {noNul, noNul}}) {
    ui = ScriptedInteraction();
    CutSet(dir / "s", "", 1024, "");
    std::string first = ReadFile(dir / "s.001");
    first.replace(0, stored.size(), stored);
    WriteFile(dir / "s.001", first);
    ui.ConfirmOpen(dir / "s.001");
    ui.CancelSave();
    EXPECT_EQ(Join(), Outcome::Cancelled);
    EXPECT_EQ(ui.Proposals().back(), proposed);
    EXPECT_TRUE(ui.Notices().empty());
    EXPECT_EQ(ui.Calls().back(), "status:") << "a cancelled output prompt still cleans up";
  }
}

// Nor is a link planted as the output written through, even to a new file.
TEST_F(JoinTest, OutputNamingAPieceOfTheSetOrALinkIsRefusedAndLeavesAllIntact) {
  const auto paths = CutSet(dir / "a", data_, 1024);
  const std::string piece3 = ReadFile(paths[2]), piece4 = ReadFile(paths[3]);
  TempDir other;
  WriteFile(other / "victim", "victim bytes");
  ASSERT_EQ(symlink(paths[3].c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink((other / "victim").c_str(), (dir / "planted").c_str()), 0);
  ASSERT_EQ(symlink((other / "new").c_str(), (dir / "dangling").c_str()), 0);
  for (const std::string& out :
       {paths[0], paths[2], dir / "./a.003", dir / "link", dir / "planted", dir / "dangling"}) {
    ui = ScriptedInteraction();
    ExpectEndedWithNotice(Join(paths[0], out), Outcome::OutputCreateFailed);
  }
  EXPECT_EQ(ReadFile(paths[2]), piece3);
  EXPECT_EQ(ReadFile(paths[3]), piece4);
  EXPECT_EQ(ReadFile(other / "victim"), "victim bytes");
  EXPECT_FALSE(FileExists(other / "new"));
  // A name beyond the count is no piece of this set.
  ui = ScriptedInteraction();
  EXPECT_EQ(Join(paths[0], dir / "a.005"), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "a.005"), data_);
}

TEST_F(JoinTest, FailuresAfterTheOutputKeepWhatWasCopied) {
  using F = FaultyFileSystem::Fault;
  struct Row {
    int file;  // with the fault: a piece's index, or -1 for the output
    F fault;   // a flush fault also makes the drive removable; none: the piece is held
    Outcome outcome;
    size_t kept;  // bytes left in the output
  };
  for (const Row& r :
       {Row{-1, {.open = true}, Outcome::OutputCreateFailed, std::string::npos},
        Row{1, {.readAfter = 0}, Outcome::PieceReadFailed, 762},
        Row{2, {}, Outcome::PieceOpenFailed, 762 + 1024},
        Row{-1, {.writeAfter = 1000}, Outcome::OutputWriteFailed, 1000},
        Row{-1, {.writeAfter = 0, .writeError = true}, Outcome::OutputWriteFailed, 0},
        Row{-1, {.flush = true}, Outcome::OutputWriteFailed, 3000}}) {
    SCOPED_TRACE(NoticeText(r.outcome) + std::to_string(r.file));
    TempDir d;
    FaultyFileSystem faulty;
    ScriptedInteraction script;
    const auto paths = CutSet(d / "a", data_, 1024);
    const std::string out = d / "out", target = r.file < 0 ? out : paths[r.file];
    faulty.faults[target] = r.fault;
    faulty.removable = r.fault.flush;
    const auto held = r.file > 0 && r.fault.readAfter < 0 ? faulty.OpenRead(target) : nullptr;
    script.ConfirmOpen(paths[0]);
    script.ConfirmSave(out);
    script.onNotice = [&](const std::string&) { EXPECT_TRUE(script.Busy()) << "notice first"; };
    EXPECT_EQ(RunJoin({script, faulty, dialogs, handles}), r.outcome);
    EXPECT_EQ(script.Notices(), std::vector<std::string>{NoticeText(r.outcome)});
    EXPECT_EQ(script.Calls().back(), "status:");
    EXPECT_FALSE(script.Busy() || handles.first || handles.second);
    EXPECT_EQ(FileExists(out) ? ReadFile(out) : "gone",
              r.kept == std::string::npos ? "gone" : data_.substr(0, r.kept));
    for (const auto& path : paths) EXPECT_TRUE(FileExists(path));
  }
}

// Thousands of random and mutated first pieces: the join only ever ends with
// one of its outcomes and never crashes, hangs or reads out of bounds (the
// sanitizers watch); a refused header leaves no output.
TEST_F(JoinTest, FuzzedFirstPiecesEndWithAKnownOutcome) {
  struct Permissive : ScriptedInteraction {
    std::string first, output;
    TOpenDialog* firstDialog = nullptr;
    bool RunOpenDialog(TOpenDialog& d) override {  // a missing piece: give up
      return &d == firstDialog && !(d.FileName = first).empty();
    }
    bool RunSaveDialog(TSaveDialog& d) override { return !(d.FileName = output).empty(); }
    void ShowNotice(const std::string&) override {}
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
      for (int m = rng() % 8; m > 0 && !bytes.empty(); --m)
        bytes[rng() % bytes.size()] = static_cast<char>(rng());
      if (i % 5 == 0 && bytes.size() >= 262)
        bytes[258 + rng() % 4] = static_cast<char>(rng() & 1 ? 0 : 0x80);
    }
    WriteFile(user.first, bytes);
    std::filesystem::remove(user.output);
    const Outcome outcome = RunJoin({user, fs, dialogs, handles});
    switch (outcome) {
      case Outcome::Done:
        ASSERT_EQ(ReadFile(user.output), bytes.substr(262)) << i;
        break;
      case Outcome::BadFileSize:
      case Outcome::CountReadFailed:
        ASSERT_FALSE(FileExists(user.output)) << i;
        break;
      case Outcome::Cancelled:
      case Outcome::NameReadFailed:
      case Outcome::OutputCreateFailed:
        break;
      default:
        FAIL() << "unexpected outcome " << static_cast<int>(outcome) << " at case " << i;
    }
  }
}

}  // namespace
}  // namespace tolvanix
