#include <gtest/gtest.h>
#include <unistd.h>

#include "core/PieceFormat.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

const std::string kProgress = "ファイル分割中です。  ";

class SplitTest : public CommandFixture {
 protected:
  // A source in the folder, confirmed in the source prompt.
  std::string Source(size_t size, const std::string& name = "photo.jpg") {
    source_ = dir / name;
    WriteFile(source_, RandomBytes(size, static_cast<uint32_t>(size)));
    ui.ConfirmOpen(source_);
    return source_;
  }
  // Sizes of stem.001, stem.002, ... as far as they go.
  static std::vector<int64_t> Lengths(const std::string& stem) {
    std::vector<int64_t> lengths;
    for (int k = 1; FileExists(stem + "." + IntToStrl(k, 3)); ++k)
      lengths.push_back(FileSize(stem + "." + IntToStrl(k, 3)));
    return lengths;
  }
  std::string source_;
};

// Every notice text of both commands, pinned in one place.
TEST(NoticeTexts, AreExact) {
  const std::pair<Outcome, const char*> texts[] = {
      {Outcome::SourceOpenFailed, "ファイルのオープンに失敗しました。"},
      {Outcome::PieceSizeTooSmall, "分割サイズは1KB以上を指定してください。"},
      {Outcome::PieceSizeTooLarge, "分割サイズは2097151KB以下を指定してください。"},
      {Outcome::TooManyPieces, "999以上のファイルは作成できません。"},
      {Outcome::BufferFailed, "読み込みバッファのメモリ確保に失敗しました。"},
      {Outcome::FreeSpaceFailed, "ディスクの空き容量の取得に失敗しました"},
      {Outcome::PieceCreateFailed, "格納先ファイルの作成に失敗しました。"},
      {Outcome::HeaderWriteFailed, "格納先ファイルの書き込みに失敗しました。"},
      {Outcome::SourceReadFailed, "分割ファイルのデータ読み込みに失敗しました。"},
      {Outcome::PieceWriteFailed, "格納先ファイルのデータ書き込みに失敗しました。"},
      {Outcome::PieceOpenFailed, "元ファイルのオープンに失敗しました。"},
      {Outcome::BadFileSize, "ファイルサイズが不正です。"},
      {Outcome::NameReadFailed, "元ファイルのファイル名の読み込みに失敗しました。"},
      {Outcome::CountReadFailed, "元ファイルのファイル数の読み込みに失敗しました。"},
      {Outcome::OutputCreateFailed, "結合ファイルの作成に失敗しました。"},
      {Outcome::PieceReadFailed, "元ファイルのデータ読み込みに失敗しました。"},
      {Outcome::OutputWriteFailed, "ファイルのデータ書き込みに失敗しました。"},
      {Outcome::Done, nullptr},
      {Outcome::Cancelled, nullptr},
  };
  for (const auto& [outcome, text] : texts)
    EXPECT_STREQ(NoticeText(outcome), text) << static_cast<int>(outcome);
  EXPECT_STREQ(kNextMediumSplit, "次のメディア入れてください。");
  EXPECT_STREQ(kNextMediumJoin, "次のメディアを入れてください。");
  EXPECT_STREQ(kLowSpaceWarning,
               "選択されているコピー先に十分な余裕が有りません。ドライブを選択しますか？\r\n"
               "(はい：出力先選択　いいえ：現在の出力先で続行　ｷｬﾝｾﾙ：終了)");
}

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
    ui = ScriptedInteraction();
    Source(r.size);
    if (r.lengths.size() > 1)
      WriteFile(out / "backup.002", std::string(5000, 'z'));  // emptied first
    ui.ConfirmSave(out / "backup.dat");
    ASSERT_EQ(Split(r.kb), Outcome::Done);
    EXPECT_EQ(Lengths(out / "backup"), r.lengths);
    const auto n = static_cast<int>(r.lengths.size());
    std::string all;
    std::vector<std::string> progress;
    for (int k = 1; k <= n; ++k) {
      all += ReadFile(out / ("backup." + IntToStrl(k, 3)));
      progress.push_back(kProgress + std::to_string(k) + "/" + std::to_string(n));
    }
    progress.push_back("");
    EXPECT_EQ(all.substr(0, 262),
              std::string("photo.jpg") + std::string(249, '\0') + std::string({char(n), 0, 0, 0}));
    EXPECT_EQ(all.substr(262), ReadFile(source_));
    EXPECT_EQ(ReadFile(source_), RandomBytes(r.size, static_cast<uint32_t>(r.size)))
        << "the source never changes";
    EXPECT_EQ(ui.Proposals().back(), "photo.001");
    EXPECT_EQ(ui.Statuses(), progress);
    EXPECT_TRUE(ui.Notices().empty());
  }
}

TEST_F(SplitTest, CountOf999IsSplitAndOf1000Refused) {
  Source(1022714);
  ui.ConfirmSave(dir / "p");
  ASSERT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(FileSize(dir / "p.999"), 1024);
  EXPECT_FALSE(FileExists(dir / "p.1000"));

  ui = ScriptedInteraction();
  Source(1022715, "big");
  EXPECT_EQ(Split(1), Outcome::TooManyPieces);
  EXPECT_EQ(ui.Notices(), std::vector<std::string>{NoticeText(Outcome::TooManyPieces)});
  EXPECT_EQ(ui.Proposals().size(), 1u) << "no destination prompt";
}

TEST_F(SplitTest, EndsEarlyWithoutTouchingAnything) {
  ui.CancelOpen();
  EXPECT_EQ(Split(1024), Outcome::Cancelled);
  EXPECT_EQ(ui.Calls(), std::vector<std::string>{"open:"});

  // Piece sizes out of range: the source is refused and free again at once.
  for (const auto& [kb, outcome] :
       {std::pair{0, Outcome::PieceSizeTooSmall}, std::pair{-5, Outcome::PieceSizeTooSmall},
        std::pair{2097152, Outcome::PieceSizeTooLarge},
        std::pair{INT32_MAX, Outcome::PieceSizeTooLarge}}) {
    ui = ScriptedInteraction();
    Source(10);
    EXPECT_EQ(Split(kb), outcome);
    EXPECT_EQ(ui.Notices(), std::vector<std::string>{NoticeText(outcome)});
    EXPECT_NE(fs.OpenRead(source_), nullptr) << "the source must be closed";
  }

  ui = ScriptedInteraction();
  Source(10);
  ui.CancelSave();
  EXPECT_EQ(Split(2097151), Outcome::Cancelled);
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"photo.jpg"});
}

TEST_F(SplitTest, SourceThatCannotBeOpened) {
  Source(10);
  const auto held = fs.OpenRead(source_);
  EXPECT_EQ(Split(1), Outcome::SourceOpenFailed);
  EXPECT_EQ(ui.Calls(),
            (std::vector<std::string>{
                "open:", std::string("notice:") + NoticeText(Outcome::SourceOpenFailed)}));
  for (const std::string& bad : {dir.Path(), std::string("/dev/null"), dir / "missing"}) {
    ui = ScriptedInteraction();
    ui.ConfirmOpen(bad);
    EXPECT_EQ(Split(1), Outcome::SourceOpenFailed) << bad;
  }
}

// A piece path naming the source, or a link planted there, is never written
// through, though the user confirmed it: the pieces before it stay.
TEST_F(SplitTest, PiecePathThatIsTheSourceOrALinkIsRefusedAndLeavesAllIntact) {
  TempDir other;
  WriteFile(other / "victim", "victim bytes");
  Source(3000, "data.001");
  ASSERT_EQ(symlink(source_.c_str(), (dir / "src.001").c_str()), 0);
  for (const char* link : {"p.001", "q.002"})
    ASSERT_EQ(symlink((other / "victim").c_str(), (dir / link).c_str()), 0);
  for (const auto& [out, kept] :
       {std::pair{source_, -1}, {dir / "src", -1}, {dir / "p", -1}, {dir / "q", 1024}}) {
    ui = ScriptedInteraction();
    ui.ConfirmOpen(source_);
    ui.ConfirmSave(out);
    ExpectEndedWithNotice(Split(1), Outcome::PieceCreateFailed);
    EXPECT_EQ(FileSize(dir / "q.001"), kept) << out;
  }
  EXPECT_EQ(ReadFile(source_), RandomBytes(3000, 3000));
  EXPECT_EQ(ReadFile(other / "victim"), "victim bytes");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "p.001") &&
              std::filesystem::is_symlink(dir / "q.002"));
}

TEST_F(SplitTest, FreeSpaceOfOnePieceIsEnoughOneByteLessWarnsAndNoCarriesOn) {
  Source(3000);
  fs.freeSpace = 1024;
  ui.ConfirmSave(dir / "p");
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_TRUE(WithPrefix(ui.Calls(), "ask:").empty());
  EXPECT_EQ(fs.SpaceQueries(), (std::vector<std::string>(4, dir.Path() + "/")));

  ui = ScriptedInteraction();
  Source(763);
  fs.freeSpace = 1023;
  ui.ConfirmSave(dir / "q");
  ui.Answer(idNo);
  ui.Answer(idNo);
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(WithPrefix(ui.Calls(), "ask:"), std::vector<std::string>(2, kLowSpaceWarning));
  EXPECT_EQ(Lengths(dir / "q"), (std::vector<int64_t>{1024, 1}));
}

TEST_F(SplitTest, CancelAtTheWarningKeepsCompletedPieces) {
  Source(3000);
  ui.ConfirmSave(dir / "p");
  fs.FailFreeSpace(SpaceStatus::FolderMissing, 3);  // no room from piece 3 on
  ui.Answer(idCancel);
  EXPECT_EQ(Split(1), Outcome::Cancelled);
  EXPECT_EQ(Files(), (std::vector<std::string>{"p.001", "p.002", "photo.jpg"}));
  EXPECT_EQ(Lengths(dir / "p"), (std::vector<int64_t>{1024, 1024}));
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(ui.Calls().back(), "status:");
}

TEST_F(SplitTest, YesMovesThisAndLaterPiecesToTheNewDestination) {
  TempDir more;
  Source(3500, "photo?.jpg");  // a wildcard would make the prompts list, not pick
  ui.ConfirmSave(dir / "p");
  fs.FailFreeSpace(SpaceStatus::FolderMissing, 3);  // piece 3 on finds no room
  ui.Answer(idYes);
  ui.ConfirmSave(more / "part.x");
  ui.Answer(idNo);  // piece 3, on the new volume
  ui.Answer(idNo);  // piece 4
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(ui.Proposals(), (std::vector<std::string>{"", "photo_.001", "photo_.003"}));
  EXPECT_EQ(Files(), (std::vector<std::string>{"p.001", "p.002", "photo?.jpg"}));
  EXPECT_EQ(fs.SpaceQueries().back(), more.Path() + "/");
  EXPECT_EQ((ReadFile(dir / "p.001") + ReadFile(dir / "p.002") + ReadFile(more / "part.003") +
             ReadFile(more / "part.004"))
                .substr(kHeaderSize),
            ReadFile(source_));

  // Yes, then the prompt cancelled: the piece goes where it would have gone.
  ui = ScriptedInteraction();
  Source(763);
  ui.ConfirmSave(dir / "q");
  fs.FailFreeSpace(SpaceStatus::FolderMissing, static_cast<int>(fs.SpaceQueries().size()) + 2);
  ui.Answer(idYes);
  ui.CancelSave();
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_EQ(Lengths(dir / "q"), (std::vector<int64_t>{1024, 1}));
}

TEST_F(SplitTest, RemovableDriveFlushesEachPieceBeforeTheNoticeBetweenPieces) {
  Source(2500);
  fs.removable = true;
  ui.ConfirmSave(dir / "p");
  EXPECT_EQ(Split(1), Outcome::Done);
  std::vector<std::string> order;
  for (const auto& e : fs.events) {
    if (e == std::string("ui:notice:") + kNextMediumSplit) order.push_back("notice");
    for (const std::string kind : {"flush:", "close:"}) {
      if (e.rfind(kind + dir / "p.00", 0) == 0) order.push_back(kind + e.back());
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"flush:1", "close:1", "notice", "flush:2", "close:2",
                                             "notice", "flush:3", "close:3"}));

  // A fixed drive gets neither flushes nor notices.
  ui = ScriptedInteraction();
  fs.removable = false;
  Source(2500);
  ui.ConfirmSave(dir / "q");
  const size_t flushes = fs.Flushes().size();
  EXPECT_EQ(Split(1), Outcome::Done);
  EXPECT_TRUE(ui.Notices().empty());
  EXPECT_EQ(fs.Flushes().size(), flushes);
}

TEST_F(SplitTest, MediumPulledDuringTheNoticeIsAnsweredByTheWarning) {
  TempDir stick1, stick2;
  Source(1500);
  fs.freeSpace.reset();
  fs.removable = true;
  ui.ConfirmSave(stick1 / "p");
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

TEST_F(SplitTest, FailuresEndWithTheirNoticeBeforeCleanUpAndKeepWhatWasWritten) {
  using F = FaultyFileSystem::Fault;
  struct Row {
    const char* file;  // with the fault; none: the free-space query fails from piece 2
    F fault;           // a flush fault also makes the drive removable
    Outcome outcome;
    std::vector<int64_t> lengths;  // of p.001, p.002, ... left behind
  };
  for (const Row& r :
       {Row{"", {}, Outcome::FreeSpaceFailed, {1024}},
        Row{"p.002", {.open = true}, Outcome::PieceCreateFailed, {1024}},
        Row{"p.001", {.writeAfter = 100}, Outcome::HeaderWriteFailed, {100}},
        Row{"p.001", {.writeAfter = 258, .writeError = true}, Outcome::HeaderWriteFailed, {258}},
        Row{"photo.jpg", {.readAfter = 1000}, Outcome::SourceReadFailed, {1024, 0}},
        Row{"p.002", {.writeAfter = 300}, Outcome::PieceWriteFailed, {1024, 300}},
        Row{"p.001", {.writeAfter = 262, .writeError = true}, Outcome::PieceWriteFailed, {262}},
        Row{"p.002", {.flush = true}, Outcome::PieceWriteFailed, {1024, 1024}}}) {
    SCOPED_TRACE(NoticeText(r.outcome) + std::string(" ") + r.file);
    TempDir d;
    FaultyFileSystem faulty;
    ScriptedInteraction script;
    WriteFile(d / "photo.jpg", RandomBytes(3000, 1));
    script.ConfirmOpen(d / "photo.jpg");
    script.ConfirmSave(d / "p");
    if (*r.file) faulty.faults[d / r.file] = r.fault;
    if (!*r.file) faulty.FailFreeSpace(SpaceStatus::Failed, 2);
    if (r.fault.flush) faulty.removable = true;
    script.onNotice = [&](const std::string& text) {
      EXPECT_TRUE(text == kNextMediumSplit || script.Busy());
    };
    EXPECT_EQ(RunSplit({script, faulty, dialogs, handles}, 1), r.outcome);
    ASSERT_FALSE(script.Notices().empty());
    EXPECT_EQ(script.Notices().back(), NoticeText(r.outcome));
    EXPECT_EQ(script.Calls().back(), "status:");
    EXPECT_FALSE(script.Busy() || handles.first || handles.second);
    EXPECT_EQ(Lengths(d / "p"), r.lengths);
    EXPECT_EQ(ReadFile(d / "photo.jpg"), RandomBytes(3000, 1));
  }
}

}  // namespace
}  // namespace tolvanix
