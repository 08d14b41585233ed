#include <gtest/gtest.h>
#include <unistd.h>

#include "core/PieceFormat.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

const char* const kProgress = "ファイル分割中です。";

class SplitTest : public CommandFixture {
 protected:
  // A source in the temporary folder, confirmed in the source prompt.
  std::string Source(size_t size, const std::string& name = "photo.jpg") {
    source_ = dir / name;
    WriteFile(source_, RandomBytes(size, static_cast<uint32_t>(size)));
    ui.ConfirmOpen(source_);
    return source_;
  }
  // Pieces 1..n of `stem` read back and joined by hand, header removed.
  std::string Reassemble(const std::string& stem, int n) {
    std::string data;
    for (int k = 1; k <= n; ++k) data += ReadFile(stem + "." + IntToStrl(k, 3));
    return data.substr(kHeaderSize);
  }
  std::string source_;
};

TEST_F(SplitTest, PiecesHoldHeaderThenSourceBytesByCapacity) {
  struct Row {
    size_t size;
    int kb;
    std::vector<int64_t> lengths;
  };
  for (const Row& r : {Row{0, 1, {262}}, Row{762, 1, {1024}}, Row{763, 1, {1024, 1}},
                       Row{3 * 1024 - 262, 1, {1024, 1024, 1024}}, Row{5000, 2, {2048, 2048, 1166}},
                       Row{2000000, 1024, {1048576, 951686}}}) {
    SCOPED_TRACE(r.size);
    TempDir out;
    Source(r.size);
    ui.ConfirmSave(out / "backup.dat");
    ASSERT_EQ(Split(r.kb), Outcome::Done);
    std::vector<int64_t> lengths;
    for (int k = 1; FileExists(out / ("backup." + IntToStrl(k, 3))); ++k) {
      lengths.push_back(FileSize(out / ("backup." + IntToStrl(k, 3))));
    }
    EXPECT_EQ(lengths, r.lengths);
    const std::string first = ReadFile(out / "backup.001");
    EXPECT_EQ(first.substr(0, 10), std::string("photo.jpg\0", 10));
    EXPECT_EQ(first.substr(258, 4), std::string({static_cast<char>(r.lengths.size()), 0, 0, 0}));
    EXPECT_EQ(Reassemble(out / "backup", static_cast<int>(r.lengths.size())), ReadFile(source_));
  }
}

TEST_F(SplitTest, ProposesSourceStemAndShowsProgressThenCleansUp) {
  Source(763);
  ui.ConfirmSave(dir / "x.bin");
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(ui.Proposals(), (std::vector<std::string>{"", "photo.001"}));
  EXPECT_EQ(ui.Statuses(), (std::vector<std::string>{std::string(kProgress) + "  1/2", std::string(kProgress) + "  2/2", ""}));
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(ui.Calls().back(), "status:");
  EXPECT_EQ(ReadFile(source_), RandomBytes(763, 763)) << "the source must never change";
}

TEST_F(SplitTest, CountOf999IsSplitAndOf1000Refused) {
  Source(1022714);
  ui.ConfirmSave(dir / "p");
  ASSERT_EQ(Split(1), Outcome::Done);
  EXPECT_TRUE(FileExists(dir / "p.999"));
  EXPECT_FALSE(FileExists(dir / "p.1000"));
  EXPECT_EQ(ui.Statuses()[998], std::string(kProgress) + "  999/999");

  TempDir other;
  ui = ScriptedInteraction();
  WriteFile(other / "big", std::string(1022715, 'b'));
  ui.ConfirmOpen(other / "big");
  EXPECT_EQ(Split(1), Outcome::TooManyPieces);
  EXPECT_EQ(ui.Notices(), std::vector<std::string>{"999以上のファイルは作成できません。"});
  EXPECT_EQ(ui.Proposals().size(), 1u) << "no destination prompt";
}

TEST_F(SplitTest, EndsEarlyWithoutTouchingAnything) {
  // Source prompt cancelled.
  ui.CancelOpen();
  EXPECT_EQ(Split(1024), Outcome::Cancelled);
  EXPECT_EQ(ui.Calls(), std::vector<std::string>{"open:"});

  // Piece sizes out of range: the source is refused and free again at once.
  struct Row {
    int32_t kb;
    Outcome outcome;
  };
  for (const Row& r : {Row{0, Outcome::PieceSizeTooSmall}, Row{-5, Outcome::PieceSizeTooSmall},
                       Row{2097152, Outcome::PieceSizeTooLarge}, Row{INT32_MAX, Outcome::PieceSizeTooLarge}}) {
    ui = ScriptedInteraction();
    Source(10);
    EXPECT_EQ(Split(r.kb), r.outcome);
    EXPECT_EQ(ui.Notices(), std::vector<std::string>{NoticeText(r.outcome)});
    EXPECT_NE(fs.OpenRead(source_), nullptr) << "the source must be closed";
  }
  EXPECT_EQ(std::string(NoticeText(Outcome::PieceSizeTooLarge)), "分割サイズは2097151KB以下を指定してください。");

  // Destination prompt cancelled: nothing is created.
  ui = ScriptedInteraction();
  Source(10);
  ui.CancelSave();
  EXPECT_EQ(Split(2097151), Outcome::Cancelled);
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"photo.jpg"});
  EXPECT_FALSE(ui.Busy());
}

TEST_F(SplitTest, SourceThatCannotBeOpened) {
  Source(10);
  const auto held = fs.OpenRead(source_);  // another holder
  EXPECT_EQ(Split(1), Outcome::SourceOpenFailed);
  EXPECT_EQ(ui.Calls(), (std::vector<std::string>{"open:", "notice:ファイルのオープンに失敗しました。"}));

  for (const std::string& bad : {dir.Path(), std::string("/dev/null"), dir / "missing"}) {
    ui = ScriptedInteraction();
    ui.ConfirmOpen(bad);
    EXPECT_EQ(Split(1), Outcome::SourceOpenFailed) << bad;
  }
}

TEST_F(SplitTest, DestinationNamingTheSourceFailsAndLeavesItIntact) {
  Source(5000, "data.001");
  ui.ConfirmSave(source_);
  ExpectEndedWithNotice(Split(1), Outcome::PieceCreateFailed);
  EXPECT_EQ(ReadFile(source_), RandomBytes(5000, 5000));

  // Through a link the held source is just as safe.
  ui = ScriptedInteraction();
  ui.ConfirmOpen(source_);
  ASSERT_EQ(symlink(source_.c_str(), (dir / "link.001").c_str()), 0);
  ui.ConfirmSave(dir / "link.001");
  ExpectEndedWithNotice(Split(1), Outcome::PieceCreateFailed);
  EXPECT_EQ(ReadFile(source_), RandomBytes(5000, 5000));
}

TEST_F(SplitTest, ExistingLaterPieceIsEmptiedAndOverwritten) {
  Source(1500);
  WriteFile(dir / "p.002", std::string(5000, 'z'));
  ui.ConfirmSave(dir / "p");
  ASSERT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(FileSize(dir / "p.002"), 1500 - (1024 - 262));
}

TEST_F(SplitTest, FreeSpaceOfExactlyOnePieceIsEnoughOneByteLessWarns) {
  Source(3000);
  fs.SetFreeSpace(1024);
  ui.ConfirmSave(dir / "p");
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_TRUE(ui.UnusedAnswers() == 0 && ui.Notices().empty());
  for (const auto& call : ui.Calls()) EXPECT_EQ(call.rfind("ask:", 0), std::string::npos);
  EXPECT_EQ(fs.SpaceQueries(), (std::vector<std::string>(4, dir.Path() + "/")));

  // P - 1 free: the warning before every piece; No makes it here anyway.
  ui = ScriptedInteraction();
  Source(763);
  fs.SetFreeSpace(1023);
  ui.ConfirmSave(dir / "q");
  ui.Answer(idNo);
  ui.Answer(idNo);
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(std::count(ui.Calls().begin(), ui.Calls().end(), std::string("ask:") + kLowSpaceWarning), 2);
  EXPECT_EQ(FileSize(dir / "q.002"), 1);
}

TEST_F(SplitTest, CancelAtTheWarningKeepsCompletedPieces) {
  Source(3000);
  ui.ConfirmSave(dir / "p");
  fs.FailFreeSpace(SpaceStatus::FolderMissing, 3);  // no room from piece 3 on
  ui.Answer(idCancel);
  EXPECT_EQ(Split(1), Outcome::Cancelled);
  EXPECT_EQ(Files(), (std::vector<std::string>{"p.001", "p.002", "photo.jpg"}));
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(ui.StatusText(), "");
  EXPECT_EQ(FileSize(dir / "p.002"), 1024);
}

TEST_F(SplitTest, YesMovesThisAndLaterPiecesToTheNewDestination) {
  TempDir more;
  Source(3500);
  ui.ConfirmSave(dir / "p");
  fs.SetFreeSpace(dir.Path() + "/", 1023 + 1);
  fs.FailFreeSpace(SpaceStatus::FolderMissing, 3);  // query 3 (piece 3) finds no room
  ui.Answer(idYes);
  ui.ConfirmSave(more / "part.x");
  // The vanished-folder failure goes on for every later query, so piece 3 on
  // the new volume warns again: No, and piece 4 too.
  ui.Answer(idNo);
  ui.Answer(idNo);
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(ui.Proposals(), (std::vector<std::string>{"", "photo.001", "photo.003"}));
  EXPECT_EQ(Files(), (std::vector<std::string>{"p.001", "p.002", "photo.jpg"}));
  EXPECT_TRUE(FileExists(more / "part.003"));
  EXPECT_TRUE(FileExists(more / "part.004"));
  EXPECT_EQ(fs.SpaceQueries().back(), more.Path() + "/");
  std::string joined = ReadFile(dir / "p.001") + ReadFile(dir / "p.002") + ReadFile(more / "part.003") +
                       ReadFile(more / "part.004");
  EXPECT_EQ(joined.substr(kHeaderSize), ReadFile(source_));
}

TEST_F(SplitTest, YesThenCancelledPromptCarriesOnWhereItWas) {
  Source(763);
  ui.ConfirmSave(dir / "p");
  fs.FailFreeSpace(SpaceStatus::FolderMissing, 2);
  ui.Answer(idYes);
  ui.CancelSave();
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(FileSize(dir / "p.002"), 1);
}

TEST_F(SplitTest, RemovableDriveFlushesEachPieceAndAsksForNextMediumBetweenPieces) {
  Source(2500);
  fs.SetRemovable(true);
  ui.ConfirmSave(dir / "p");
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(ui.Notices(), (std::vector<std::string>{kNextMediumSplit, kNextMediumSplit}));
  EXPECT_EQ(std::string(kNextMediumSplit), "次のメディア入れてください。");
  std::vector<std::string> order;
  const std::string piece = dir / "p.00";
  for (const auto& e : fs.Events()) {
    if (e == std::string("ui:notice:") + kNextMediumSplit) order.push_back("notice");
    for (const std::string kind : {"flush:", "close:"}) {
      if (e.rfind(kind + piece, 0) == 0) order.push_back(kind + e.substr(e.size() - 1));
    }
  }
  // flush, close, notice after pieces 1 and 2; flush and close of piece 3 only.
  EXPECT_EQ(order, (std::vector<std::string>{"flush:1", "close:1", "notice", "flush:2", "close:2", "notice", "flush:3", "close:3"}));

  // A fixed drive gets neither flushes nor notices.
  ui = ScriptedInteraction();
  fs.SetRemovable(false);
  Source(2500);
  ui.ConfirmSave(dir / "q");
  const size_t flushes = fs.Flushes().size();
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(fs.Flushes().size(), flushes);
}

TEST_F(SplitTest, OneEmptySourceOnRemovableDriveHasNoMediumNotice) {
  Source(0);
  fs.SetRemovable(true);
  ui.ConfirmSave(dir / "p");
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(ui.Statuses().front(), std::string(kProgress) + "  1/1");
  EXPECT_EQ(FileSize(dir / "p.001"), 262);
}

TEST_F(SplitTest, ChangedMediumAtDifferentFolderGoesOn) {
  TempDir stick1, stick2;
  Source(1500);
  fs.UseRealFreeSpace();
  fs.SetRemovable(true);
  ui.ConfirmSave(stick1 / "p");
  // While the notice is open the first medium is pulled: its folder is gone.
  ui.onNotice = [&](const std::string&) {
    std::filesystem::rename(stick1.Path(), stick1.Path() + "-pulled");
  };
  ui.Answer(idYes);
  ui.ConfirmSave(stick2 / "p.002");
  EXPECT_EQ(Split(1), Outcome::Done);
  std::filesystem::rename(stick1.Path() + "-pulled", stick1.Path());
  EXPECT_EQ(FileSize(stick1 / "p.001"), 1024);
  EXPECT_EQ(FileSize(stick2 / "p.002"), 1500 - 762);
  EXPECT_EQ(ui.Proposals().back(), "photo.002");
}

TEST_F(SplitTest, FailuresEndWithTheirNoticeAndKeepWhatWasWritten) {
  struct Row {
    const char* what;
    std::function<void(FaultyFileSystem&, const std::string&)> arrange;
    Outcome outcome;
    std::vector<int64_t> lengths;  // of p.001, p.002, ... left behind
  };
  const std::vector<Row> rows = {
      {"free-space query fails at piece 2",
       [](FaultyFileSystem& f, const std::string&) { f.FailFreeSpace(SpaceStatus::Failed, 2); },
       Outcome::FreeSpaceFailed, {1024}},
      {"piece 2 cannot be created",
       [](FaultyFileSystem& f, const std::string& d) { f.FailCreate(d + "/p.002"); }, Outcome::PieceCreateFailed,
       {1024}},
      {"header write short",
       [](FaultyFileSystem& f, const std::string& d) { f.ShortWriteAfter(d + "/p.001", 100); },
       Outcome::HeaderWriteFailed, {100}},
      {"count write fails",
       [](FaultyFileSystem& f, const std::string& d) { f.FailWriteAfter(d + "/p.001", 258); },
       Outcome::HeaderWriteFailed, {258}},
      {"source read fails in piece 2",
       [](FaultyFileSystem& f, const std::string& d) { f.FailReadAfter(d + "/photo.jpg", 1000); },
       Outcome::SourceReadFailed, {1024, 0}},
      {"disk full in piece 2",
       [](FaultyFileSystem& f, const std::string& d) { f.ShortWriteAfter(d + "/p.002", 300); },
       Outcome::PieceWriteFailed, {1024, 300}},
      {"write error in piece 1",
       [](FaultyFileSystem& f, const std::string& d) { f.FailWriteAfter(d + "/p.001", 262); },
       Outcome::PieceWriteFailed, {262}},
      {"flush to the medium fails",
       [](FaultyFileSystem& f, const std::string& d) {
         f.SetRemovable(true);
         f.FailFlush(d + "/p.002");
       },
       Outcome::PieceWriteFailed, {1024, 1024}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TempDir d;
    FaultyFileSystem faulty;
    faulty.SetFreeSpace(uint64_t{1} << 40);
    ScriptedInteraction script;
    HandleFields fields;
    const std::string src = d / "photo.jpg";
    WriteFile(src, RandomBytes(3000, 1));
    script.ConfirmOpen(src);
    script.ConfirmSave(d / "p");
    r.arrange(faulty, d.Path());
    script.onNotice = [&](const std::string& text) {
      if (text == kNextMediumSplit) return;
      // While the failure notice is open the run has not cleaned up yet.
      EXPECT_TRUE(script.Busy());
    };
    const Outcome outcome = RunSplit({script, faulty, dialogs, fields}, 1);
    EXPECT_EQ(outcome, r.outcome);
    const auto notices = script.Notices();
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back(), NoticeText(r.outcome));
    EXPECT_EQ(script.Calls().back(), "status:");
    EXPECT_FALSE(script.Busy());
    EXPECT_FALSE(fields.first || fields.second);
    std::vector<int64_t> lengths;
    for (int k = 1; FileExists(d / ("p." + IntToStrl(k, 3))); ++k) lengths.push_back(FileSize(d / ("p." + IntToStrl(k, 3))));
    EXPECT_EQ(lengths, r.lengths);
    EXPECT_EQ(ReadFile(src), RandomBytes(3000, 1));
  }
}

TEST_F(SplitTest, NoticeTextsAreExact) {
  EXPECT_STREQ(NoticeText(Outcome::SourceOpenFailed), "ファイルのオープンに失敗しました。");
  EXPECT_STREQ(NoticeText(Outcome::PieceSizeTooSmall), "分割サイズは1KB以上を指定してください。");
  EXPECT_STREQ(NoticeText(Outcome::FreeSpaceFailed), "ディスクの空き容量の取得に失敗しました");
  EXPECT_STREQ(NoticeText(Outcome::HeaderWriteFailed), "格納先ファイルの書き込みに失敗しました。");
  EXPECT_STREQ(NoticeText(Outcome::PieceWriteFailed), "格納先ファイルのデータ書き込みに失敗しました。");
  EXPECT_STREQ(NoticeText(Outcome::BufferFailed), "読み込みバッファのメモリ確保に失敗しました。");
  EXPECT_STREQ(kLowSpaceWarning,
               "選択されているコピー先に十分な余裕が有りません。ドライブを選択しますか？\r\n"
               "(はい：出力先選択　いいえ：現在の出力先で続行　ｷｬﾝｾﾙ：終了)");
}

}  // namespace
}  // namespace tolvanix
