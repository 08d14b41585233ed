#include <gtest/gtest.h>

#include "core/PathRules.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

using JoinTest = CommandFixture;
const std::string kData = RandomBytes(3000, 7);

// Pieces beside the first are checked before the output prompt, a piece found elsewhere when
// it is reached, before a byte of it is appended.
TEST_F(JoinTest, APieceOfTheWrongLengthIsNamedAndNothingOfItJoined) {
  struct Row {
    const char* what;
    int piece;       // index of the piece changed
    int64_t length;  // its new length
    bool elsewhere;  // pieces 2 to 4 in another folder, found through the prompt
    int64_t kept;    // bytes in the output; -1: no output prompt, no output
    bool whole;      // a good set after all
  };
  for (const Row& r : {
           Row{"a middle piece cut short", 1, 500, false, -1, false},
           Row{"an empty last piece", 3, 0, false, -1, false},
           Row{"a last piece too long", 3, 1025, false, -1, false},
           Row{"a first piece cut short", 0, 1000, false, -1, false},
           Row{"a last piece of exactly the size", 3, 1024, false, 3834, true},
           Row{"a last piece of one byte", 3, 1, false, 2811, true},
           Row{"cut short, found elsewhere", 2, 500, true, 1786, false},
       }) {
    SCOPED_TRACE(r.what);
    TempDir d, other;
    ScriptedInteraction script;
    auto paths = CutSet(d / "a", kData, 1024);
    std::filesystem::resize_file(paths[r.piece], r.length);
    for (int k = 1; r.elsewhere && k < 4; ++k) {
      const std::string moved = other / ("a.00" + std::to_string(k + 1));
      std::filesystem::rename(paths[k], moved);
      paths[k] = moved;
    }
    script.ConfirmOpen(paths[0]);
    if (r.kept >= 0) script.ConfirmSave(d / "out");
    if (r.elsewhere) script.ConfirmOpen(other / "any");
    const Outcome outcome = RunJoin({script, fs, dialogs, handles});
    if (r.whole) {
      EXPECT_EQ(outcome, Outcome::Done);
      EXPECT_EQ(script.Notices(), std::vector<std::string>{});
    } else {
      EXPECT_EQ(outcome, Outcome::BadFileSize);
      EXPECT_EQ(script.Notices().back(), "ファイルサイズが不正です。\r\n" + paths[r.piece]);
    }
    EXPECT_EQ(FileSize(d / "out"), r.kept);
    std::string joined = ReadFile(paths[0]).substr(262);
    for (int k = 1; k < 4; ++k) joined += ReadFile(paths[k]);
    EXPECT_TRUE(ReadFile(d / "out") == joined.substr(0, std::max<int64_t>(r.kept, 0)));
  }
}

// The stored name is proposed bare; a first piece of any name leads to its stem's pieces.
TEST_F(JoinTest, PieceInAnotherFolderIsFoundThroughThePromptAndTheNextLookedForThere) {
  TempDir elsewhere;
  const auto paths = CutSet(dir / "a", kData, 1024, "../photo.jpg");
  for (int k = 1; k < 4; ++k)
    std::filesystem::rename(paths[k], elsewhere / ("a.00" + std::to_string(k + 1)));
  std::filesystem::rename(paths[0], dir / "a.bin");
  ui.ConfirmOpen(dir / "a.bin");
  ui.ConfirmSave(dir / "out");
  ui.ConfirmOpen(elsewhere / "whatever");
  EXPECT_EQ(Join(), Outcome::Done);
  EXPECT_EQ(ReadFile(dir / "out"), kData);
  EXPECT_EQ(ui.Notices(), std::vector<std::string>{kNextMediumJoin});
  EXPECT_EQ(ui.Proposals(), (std::vector<std::string>{"*.001", "photo.jpg", dir / "a.002"}));
  EXPECT_EQ(dialogs.OpenDialog2.FileName, dir / "a.bin") << "kept for the next join";
}

TEST_F(JoinTest, MissingPiecesUntilCancelKeepWhatWasCopied) {
  const std::string data = RandomBytes(4 * 1024 - 262, 8);
  CutSet(dir / "a", data, 1024, "photo.jpg", 6);  // four whole pieces present, six announced
  ui.ConfirmOpen(dir / "a.001");
  ui.ConfirmSave(dir / "out");
  ui.ConfirmOpen(dir / "a.005");  // same folder: still missing
  ui.CancelOpen();
  EXPECT_EQ(Join(), Outcome::Cancelled);
  EXPECT_TRUE(ReadFile(dir / "out") == data);
  EXPECT_EQ(ui.Notices(), std::vector<std::string>{kNextMediumJoin});
  EXPECT_EQ(ui.Calls().back(), "status:");
}

// An unopenable first piece ends with its notice alone; a bad header, before the output prompt.
TEST_F(JoinTest, FirstPiecesThatCannotBeOpenedOrReadAreRefused) {
  const std::string good = ReadFile(CutSet(dir / "g", kData, 1024)[0]);
  const auto held = fs.OpenRead(dir / "g.001");
  const std::string minus = ReadFile(CutSet(dir / "m", kData, 1024, "", 0xFFFFFFFF)[0]);
  const std::string zero = good.substr(0, 258) + std::string(4, '\0') + good.substr(262);
  struct Row {
    std::string path, bytes;  // written first when not empty
    Outcome outcome;
  };
  // What is no plain file is the file layer's to refuse, as a held one is.
  for (const Row& r : {Row{dir / "g.001", "", Outcome::PieceOpenFailed},
                       Row{dir / "b.001", good.substr(0, 256), Outcome::BadFileSize},
                       Row{dir / "b.001", good.substr(0, 257), Outcome::CountReadFailed},
                       Row{dir / "b.001", zero, Outcome::CountReadFailed},
                       Row{dir / "b.001", minus, Outcome::CountReadFailed}}) {
    SCOPED_TRACE(r.path + " " + std::to_string(r.bytes.size()));
    ui = ScriptedInteraction();
    if (!r.bytes.empty()) WriteFile(r.path, r.bytes);
    ui.ConfirmOpen(r.path);
    const std::string proposed = "open:" + dialogs.OpenDialog2.FileName;
    EXPECT_EQ(Join(), r.outcome);
    std::vector<std::string> calls{proposed, std::string("notice:") + NoticeText(r.outcome)};
    if (r.outcome != Outcome::PieceOpenFailed) calls.insert(calls.end(), {"busy:0", "status:"});
    EXPECT_EQ(ui.Calls(), calls);
  }
}

// Nor a link planted as the output written through, nor a piece still to come overwritten.
TEST_F(JoinTest, OutputNamingAPieceOfTheSetOrALinkIsRefusedAndLeavesAllIntact) {
  const auto paths = CutSet(dir / "a", kData, 1024);
  const std::string later = ReadFile(paths[2]) + ReadFile(paths[3]);
  TempDir other;
  WriteFile(other / "victim", "victim bytes");
  for (const int k : {1, 3}) std::filesystem::create_hard_link(paths[k], paths[k] + "h");
  const bool links = MakeSymlink(other / "victim", dir / "planted") &&
                     MakeSymlink(other / "new", dir / "dangling");
  for (const std::string& out : {paths[0], paths[2], dir / "./a.003", paths[1] + "h",
                                 paths[3] + "h", dir / "planted", dir / "dangling"}) {
    if (!links && (out == dir / "planted" || out == dir / "dangling")) continue;
    ui = ScriptedInteraction();
    ExpectEndedWithNotice(Join(paths[0], out), Outcome::OutputCreateFailed);
  }
  EXPECT_TRUE(ReadFile(paths[2]) + ReadFile(paths[3]) == later);
  EXPECT_FALSE(FileExists(other / "new"));
  EXPECT_EQ(ReadFile(other / "victim"), "victim bytes");
  for (const int k : {1, 3}) {
    std::filesystem::rename(paths[k], other / "away");
    ui = ScriptedInteraction();
    ExpectEndedWithNotice(Join(paths[0], paths[k]), Outcome::OutputCreateFailed);
    // Windows takes "A.002. " for a.002.
    const std::string same = PathFolder(paths[k]) + "A" + PathExtension(paths[k]) + ". ";
    ui = ScriptedInteraction();
    if (kNativeStyle != PathStyle::Posix)
      ExpectEndedWithNotice(Join(paths[0], same), Outcome::OutputCreateFailed);
    EXPECT_FALSE(FileExists(paths[k]));
    std::filesystem::rename(other / "away", paths[k]);
  }
}

// A piece's length is taken again when it is opened: cut since, it is named.
TEST_F(JoinTest, FailuresAfterTheOutputKeepWhatWasCopied) {
  using F = FaultyFileSystem::Fault;
  struct Row {
    int file;  // with the fault: a piece's index, or -1 for the output
    F fault;   // a flush fault also makes the drive removable; none: the piece is held
    Outcome outcome;
    size_t kept;         // bytes left in the output
    uint32_t count = 0;  // in the header, if not the pieces'
  };
  const size_t gone = std::string::npos;
  using K = KernelCopy;
  for (const Row& r : {
           Row{-1, {.open = true}, Outcome::OutputCreateFailed, gone},
           Row{0, {.size = 0x80000000LL}, Outcome::BadFileSize, gone, 1},
           Row{0, {.size = 0x7fffffffLL}, Outcome::PieceReadFailed, 762, 1},
           Row{1, {.readAfter = 0}, Outcome::PieceReadFailed, 762},
           Row{1, {.kernelAfter = 100, .kernelStop = K::ReadFailed}, Outcome::PieceReadFailed, 862},
           Row{0, {.kernelAfter = 562, .kernelStop = K::Full}, Outcome::OutputWriteFailed, 300},
           Row{1, {.size = 1023}, Outcome::BadFileSize, 762},
           Row{2, {}, Outcome::PieceOpenFailed, 762 + 1024},
           Row{-1, {.writeAfter = 1000}, Outcome::OutputWriteFailed, 1000},
           Row{-1, {.flush = true}, Outcome::OutputWriteFailed, 3000},
           Row{-1, {.close = true}, Outcome::OutputWriteFailed, 3000},
           Row{-1, {.push = true}, Outcome::OutputWriteFailed, 762},
       }) {
    if (r.fault.kernelAfter >= 0 && !KernelCopies()) continue;  // no kernel copy to fail
    SCOPED_TRACE(NoticeText(r.outcome) + std::to_string(r.file));
    TempDir d;
    Fresh();
    const auto paths = CutSet(d / "a", kData, 1024, "photo.jpg", r.count);
    const std::string out = d / "out", target = r.file < 0 ? out : paths[r.file];
    fs.faults[target] = r.fault;
    fs.removable = r.fault.flush || r.fault.push;
    const auto held = r.outcome == Outcome::PieceOpenFailed ? fs.OpenRead(target) : nullptr;
    ui.ConfirmOpen(paths[0]);
    if (r.kept != gone || r.fault.open) ui.ConfirmSave(out);
    const bool named = r.outcome == Outcome::BadFileSize && r.kept != gone;
    ExpectEndedWithNotice(Join(), r.outcome, named ? target : "");
    EXPECT_EQ(FileExists(out) ? ReadFile(out) : "gone",
              r.kept == gone ? "gone" : kData.substr(0, r.kept));
    for (const auto& path : paths) EXPECT_TRUE(FileExists(path)) << path;
  }
}

}  // namespace
}  // namespace tolvanix
