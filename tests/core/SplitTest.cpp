#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/PathRules.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

class SplitTest : public CommandFixture {
 protected:
  std::string Source(size_t size, const std::string& name = "photo.jpg") {
    source_ = dir / name;
    WriteFile(source_, RandomBytes(size, static_cast<uint32_t>(size)));
    ui.ConfirmOpen(source_);
    return source_;
  }
  std::string source_;
};

// Odd rows have no checksum list, so the kernel copies until it hands over to Read and Write.
TEST_F(SplitTest, RoundTripsOfRandomSizesAreByteIdentical) {
  std::mt19937 rng(42);
  for (int i = 0; i < 14; ++i) {
    const size_t sizes[] = {0, 1, 762, (3 << 20) + 77, 1022714};  // 1, 1, 1, 4 and 999 pieces
    const size_t size = i < 5 ? sizes[i] : rng() % 40000;
    const int kb = i == 3 ? 1024 : i == 4 ? 1 : 1 + static_cast<int>(rng() % 8);
    SCOPED_TRACE(std::to_string(size) + " bytes at " + std::to_string(kb) + " KB");
    TempDir d;
    const std::string source = d / "元データ.bin", data = RandomBytes(size, i);
    WriteFile(source, data);
    const int64_t piece = kb * 1024, total = static_cast<int64_t>(size) + 262;
    const int64_t n = (total + piece - 1) / piece;
    std::vector<int64_t> lengths;
    std::vector<std::string> splitting, joining;
    for (int64_t k = 1; k <= n; ++k) {
      lengths.push_back(std::min(piece, total - (k - 1) * piece));
      splitting.push_back("ファイル分割中です。  " + std::to_string(k) + "/" + std::to_string(n));
      joining.push_back("ファイル結合中です。  " + std::to_string(k) + "/" + std::to_string(n));
    }
    if (n >= 2) WriteFile(d / "piece.002", std::string(piece + 9, 'z'));  // emptied first
    const int64_t kernelBefore = fs.kernelCopied;
    if (i % 2) fs.faults[source].kernelAfter = size / 3;  // then on by Read and Write
    checksumList = i % 2 == 0;
    notes.clear();
    ui = ScriptedInteraction();
    ui.ConfirmOpen(source);
    ui.ConfirmSave(d / "piece.dat");
    ASSERT_EQ(Split(kb), Outcome::Done);
    EXPECT_EQ(Lengths(d / "piece"), lengths);
    EXPECT_EQ(ui.Proposals().back(), "元データ.001");
    ASSERT_EQ(Join(d / "piece.001", d / "rebuilt"), Outcome::Done);
    EXPECT_TRUE(ReadFile(d / "rebuilt") == data);
    EXPECT_TRUE(ReadFile(source) == data);
    EXPECT_EQ(ui.Proposals().back(), "元データ.bin");
    splitting.push_back("");
    splitting.insert(splitting.end(), joining.begin(), joining.end());
    splitting.push_back("");
    EXPECT_EQ(WithPrefix(ui.Calls(), "status:"), splitting);
    EXPECT_EQ(ui.Notices(), std::vector<std::string>{}) << "a fixed drive";
    EXPECT_EQ(WithPrefix(fs.events, "flush:"), std::vector<std::string>{}) << "a fixed drive";
    EXPECT_EQ(fs.kernelCopied - kernelBefore,
              KernelCopies() && !checksumList ? static_cast<int64_t>(size + size / 3) : 0);
    const std::vector<std::string> told{"written:" + d / "piece.sha256",
                                        "verified:" + d / "piece.sha256"};
    EXPECT_EQ(notes, checksumList ? told : std::vector<std::string>{});
  }
}

// Cancelled prompts, bad piece sizes and unopenable sources: nothing written, the source free.
TEST_F(SplitTest, EndsEarlyWithoutTouchingAnything) {
  ui.CancelOpen();
  EXPECT_EQ(Split(1024), Outcome::Cancelled);
  EXPECT_EQ(ui.Calls(), std::vector<std::string>{"open:"});
  for (const auto& [size, kb, outcome] : {std::tuple{10, 0, Outcome::PieceSizeTooSmall},
                                          {10, 2097152, Outcome::PieceSizeTooLarge},
                                          {10, 2097151, Outcome::Cancelled},
                                          {1022715, 1, Outcome::TooManyPieces}}) {
    ui = ScriptedInteraction();
    Source(size);
    if (outcome == Outcome::Cancelled) ui.CancelSave();
    EXPECT_EQ(Split(kb), outcome);
    const bool told = outcome != Outcome::Cancelled;
    EXPECT_EQ(ui.Notices(), std::vector<std::string>(told, told ? NoticeText(outcome) : ""));
    EXPECT_EQ(ui.Proposals().size(), told ? 1u : 2u) << "no destination prompt";
    EXPECT_NE(fs.OpenRead(source_), nullptr) << "the source must be closed";
  }
  const auto held = fs.OpenRead(source_);
  // What is no plain file is the file layer's to refuse, as a held one is.
  for (const std::string& bad : {source_, dir / "gone"}) {
    ui = ScriptedInteraction();
    ui.ConfirmOpen(bad);
    EXPECT_EQ(Split(1), Outcome::SourceOpenFailed) << bad;
    EXPECT_EQ(ui.Calls().size(), 2u) << "a notice, nothing else";
  }
  EXPECT_EQ(Lengths(dir / "photo"), std::vector<int64_t>{});
}

// Though the user confirmed it: the pieces before it stay.
TEST_F(SplitTest, PiecePathThatIsTheSourceOrALinkIsRefusedAndLeavesAllIntact) {
  TempDir other;
  WriteFile(other / "victim", "victim bytes");
  Source(3000, "data.001");
  const bool links = MakeSymlink(source_, dir / "src.001") &&
                     MakeSymlink(other / "victim", dir / "p.001") &&
                     MakeSymlink(other / "victim", dir / "q.002");
  for (const auto& [out, kept] :
       {std::pair{source_, -1}, {dir / "src", -1}, {dir / "p", -1}, {dir / "q", 1024}}) {
    if (!links && out != source_) continue;
    ui = ScriptedInteraction();
    ui.ConfirmOpen(source_);
    ui.ConfirmSave(out);
    ExpectEndedWithNotice(Split(1), Outcome::PieceCreateFailed);
    EXPECT_EQ(FileSize(dir / "q.001"), kept) << out;
  }
  EXPECT_TRUE(ReadFile(source_) == RandomBytes(3000, 3000));
  if (!links) GTEST_SKIP() << "no symbolic links here: only the source was tried";
  EXPECT_TRUE(std::filesystem::is_symlink(FsPath(dir / "p.001")));
  EXPECT_EQ(ReadFile(other / "victim"), "victim bytes");
}

// Room for one piece is enough; less warns. The first piece's missing folder: no warning.
TEST_F(SplitTest, LowSpaceWarningBeforeEachPiece) {
  const std::vector<int64_t> all{1024, 1024, 1024, 190}, two{1024, 1024}, none{-1, -1};
  struct Row {
    uint64_t free;        // 0: the folder vanishes from piece 3 on
    const char* answers;  // Y N C; y: Yes, then the prompt cancelled
    Outcome outcome;
    std::vector<int64_t> here, moved;  // the pieces here; pieces 3 and 4 moved
    const char* folder = "";           // of the pieces, if not the source's
  };
  for (const Row& r : {
           Row{1024, "", Outcome::Done, all, none},
           Row{1023, "NNNN", Outcome::Done, all, none},
           Row{0, "C", Outcome::Cancelled, two, none},
           Row{0, "YNN", Outcome::Done, two, {1024, 190}},
           Row{0, "yN", Outcome::Done, all, none},
           Row{0, "", Outcome::PieceCreateFailed, {}, none, "gone/"},
       }) {
    SCOPED_TRACE(std::string(r.answers) + r.folder);
    TempDir d, more;
    FaultyFileSystem faulty;
    ScriptedInteraction script;
    // A wildcard would make the prompts list; Windows has none in names.
    const std::string source = d / (kNativeStyle == PathStyle::Posix ? "photo?.jpg" : "photo_.jpg");
    WriteFile(source, RandomBytes(3000, 5));
    script.ConfirmOpen(source);
    script.ConfirmSave(d / (r.folder + std::string("p")));
    faulty.freeSpace = r.free ? r.free : 1 << 20;
    if (r.free == 0) faulty.FailFreeSpace(SpaceStatus::FolderMissing, *r.folder ? 1 : 3);
    for (const char* a = r.answers; *a; ++a) {
      script.Reply(*a == 'N' ? Answer::No : *a == 'C' ? Answer::Cancel : Answer::Yes);
      if (*a == 'Y') script.ConfirmSave(more / "part.x");
      if (*a == 'y') script.CancelSave();
    }
    FileDialogs fresh;
    EXPECT_EQ(RunSplit({script, faulty, fresh, handles}, 1), r.outcome);
    EXPECT_EQ(script.UnusedAnswers(), 0u);
    EXPECT_EQ(WithPrefix(script.Calls(), "ask:"),
              std::vector<std::string>(std::strlen(r.answers), kLowSpaceWarning));
    EXPECT_EQ(Lengths(d / "p"), r.here);
    EXPECT_EQ((std::vector{FileSize(more / "part.003"), FileSize(more / "part.004")}), r.moved);
    if (r.moved != none) {
      EXPECT_EQ(script.Proposals(), (std::vector<std::string>{"", "photo_.001", "photo_.003"}));
      EXPECT_EQ(WithPrefix(faulty.events, "space:").back(), VolumeRoot(more / "part.004"));
      EXPECT_TRUE((ReadFile(d / "p.001") + ReadFile(d / "p.002") + ReadFile(more / "part.003") +
                   ReadFile(more / "part.004"))
                      .substr(kHeaderSize) == ReadFile(source));
    }
  }
}

TEST_F(SplitTest, FailuresEndWithTheirNoticeBeforeCleanUpAndKeepWhatWasWritten) {
  using F = FaultyFileSystem::Fault;
  struct Row {
    const char* file;  // with the fault; none: the free-space query fails from piece 2
    F fault;           // a flush or push fault also makes the drive removable
    Outcome outcome;
    std::vector<int64_t> lengths;  // of p.001, p.002, ... left behind
  };
  using K = KernelCopy;
  using O = Outcome;
  const auto Kernel = [](int64_t after, K::Stop stop) {
    return F{.kernelAfter = after, .kernelStop = stop};
  };
  for (const Row& r : {
           Row{"", {}, O::FreeSpaceFailed, {1024}},
           Row{"p.002", {.open = true}, O::PieceCreateFailed, {1024}},
           Row{"p.001", {.writeAfter = 100}, O::HeaderWriteFailed, {100}},
           Row{"photo.jpg", {.readAfter = 1000}, O::SourceReadFailed, {1024, 0}},
           Row{"photo.jpg", Kernel(1500, K::ReadFailed), O::SourceReadFailed, {1024, 738}},
           Row{"photo.jpg", Kernel(500, K::Full), O::PieceWriteFailed, {762}},
           Row{"p.002", {.writeAfter = 300}, O::PieceWriteFailed, {1024, 300}},
           Row{"p.001", {.writeAfter = 262, .writeError = true}, O::PieceWriteFailed, {262}},
           Row{"p.002", {.flush = true}, O::PieceWriteFailed, {1024, 1024}},
           Row{"p.002", {.close = true}, O::PieceWriteFailed, {1024, 1024}},
           Row{"p.001", {.push = true}, O::PieceWriteFailed, {1024}},
       }) {
    if (r.fault.kernelAfter >= 0 && !KernelCopies()) continue;  // no kernel copy to fail
    SCOPED_TRACE(NoticeText(r.outcome) + std::string(" ") + r.file);
    TempDir d;
    Fresh();
    WriteFile(d / "photo.jpg", RandomBytes(3000, 1));
    ui.ConfirmOpen(d / "photo.jpg");
    ui.ConfirmSave(d / "p");
    if (*r.file) fs.faults[d / r.file] = r.fault;
    if (!*r.file) fs.FailFreeSpace(SpaceStatus::Failed, 2);
    fs.removable = r.fault.flush || r.fault.push;
    checksumList = r.fault.kernelAfter < 0;  // the kernel copies only without a list
    ExpectEndedWithNotice(Split(1), r.outcome);
    EXPECT_EQ(Lengths(d / "p"), r.lengths);
    EXPECT_EQ(ReadFile(d / "photo.jpg"), RandomBytes(3000, 1));
  }
}

}  // namespace
}  // namespace tolvanix
