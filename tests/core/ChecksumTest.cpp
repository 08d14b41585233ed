// Checksum lists beside a set: the digests under them, what the split writes,
// and what the join and the check make of a list they find.
#include <gtest/gtest.h>

#include "core/Checksums.h"
#include "core/PathRules.h"
#include "support/CommandFixture.h"

namespace tolvanix {
namespace {

// The pieces a.001 to a.004 of RandomBytes(3000, 7) stored as photo.jpg at 1 KB, as
// sha256sum, md5sum and Python's zlib.crc32 digest them: what the lists hold.
const std::string kSha256[] = {
    "7a31b7bba585e9a4c2b09082a736fb0d085e14ecc25cb5659c2034b33851b62d",
    "114b298bf0bf91bdd164963c6f629cf615a91bc34a18f7ff4524beed099436ef",
    "f5532ee5f813025c7e9cf27377574291c537cf711f824331df9e99f40e1a77ce",
    "acb8eb3da0c60fa4dfeaf8e9390b05621d4cc9bb6f335e1a2fc43710465a1db6",
};
const std::string kMd5[] = {
    "dd3534c3ae72e0260a9c9b86fe2c6bc4",
    "042bfe2ae8910ea3185c657c6e3b71e9",
    "d5d4cdf723d71028e97c83a8000ae870",
    "012ea6de7748f2cd1ac0ec631120a327",
};
const std::string kCrc32[] = {"9d9d89e1", "a7b70080", "0699731f", "b2103630"};

// Each piece's line as the tools write it, for pieces named stem.00k.
std::string Line(HashKind kind, int k, const std::string& stem = "a") {
  const std::string name = stem + ".00" + std::to_string(k + 1);
  if (kind == HashKind::Crc32) return name + " " + kCrc32[k] + "\n";
  return (kind == HashKind::Sha256 ? kSha256[k] : kMd5[k]) + "  " + name + "\n";
}
std::string ListText(HashKind kind) {
  return Line(kind, 0) + Line(kind, 1) + Line(kind, 2) + Line(kind, 3);
}

void FlipAByte(const std::string& path) {
  std::string bytes = ReadFile(path);
  bytes[bytes.size() / 2] ^= 1;
  WriteFile(path, bytes);
}

class ChecksumTest : public CommandFixture {
 protected:
  const std::string data_ = RandomBytes(3000, 7);
};

// GNU's text and binary marks, escaped names, CRLF line ends, upper-case digits and .sfv
// comments are read; anything else makes the whole list unusable.
TEST(ChecksumListTest, ParsesWhatTheToolsWriteAndNothingElse) {
  const std::string h64(64, 'a'), h32(32, 'b');
  using Entries = std::vector<std::pair<std::string, std::string>>;
  struct Row {
    HashKind kind;
    std::string text;
    std::optional<Entries> entries;
  };
  for (const Row& r : {
           Row{HashKind::Sha256,
               h64 + "  a b.001\r\n\n" + h64 + " *c.002\n",
               {{{"a b.001", h64}, {"c.002", h64}}}},
           Row{HashKind::Sha256, "\\" + h64 + "  a\\\\b\\nc", {{{"a\\b\nc", h64}}}},
           Row{HashKind::Md5, "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB  x\n", {{{"x", h32}}}},
           Row{HashKind::Crc32,
               "; made by hand\nname with space.001  ABCDEF01\n",
               {{{"name with space.001", "abcdef01"}}}},
           Row{HashKind::Sha256, h64.substr(1) + "  x\n", std::nullopt},
           Row{HashKind::Sha256, h64 + " x\n", std::nullopt},
           Row{HashKind::Crc32, "x 1234567\n", std::nullopt},
       }) {
    SCOPED_TRACE(r.text);
    const auto parsed = ParseList(r.kind, r.text);
    ASSERT_EQ(parsed.has_value(), r.entries.has_value());
    if (!parsed) continue;
    Entries got;
    for (const ListEntry& e : *parsed) got.emplace_back(e.name, e.hex);
    EXPECT_EQ(got, *r.entries);
  }
  EXPECT_EQ(FormatList(HashKind::Sha256, {{"a\\b\nc", h64}}), "\\" + h64 + "  a\\\\b\\nc\n");
}

// Beside the first piece, or the last when the pieces went to several media or folders; never
// in place of a file that is no list of this set's pieces.
TEST_F(ChecksumTest, TheSplitsListGoesBesideTheSetAndReplacesOnlyAListOfItsOwnPieces) {
  const std::string ours = kSha256[0] + "  a.001\n" + kSha256[1] + "  a.007\n";
  const std::string moved = Line(HashKind::Sha256, 0) + Line(HashKind::Sha256, 1) +
                            Line(HashKind::Sha256, 2, "b") + Line(HashKind::Sha256, 3, "b");
  struct Row {
    const char* what;
    std::string before;  // at a.sha256 beside the first piece; "-": nothing
    int spread;          // 1: a medium changed at each notice; 2: pieces 3 and 4 to more/b
    FaultyFileSystem::Fault fault;  // of a.sha256
    Outcome outcome;
    std::string after;  // at a.sha256
  };
  const std::string none = "-", list = ListText(HashKind::Sha256);
  for (const Row& r : {
           Row{"a foreign file", "keep me", 0, {}, Outcome::Done, "keep me"},
           Row{"an older list of ours", ours, 0, {}, Outcome::Done, list},
           Row{"the source itself", "source", 0, {}, Outcome::Done, "source"},
           Row{"media changed", none, 1, {}, Outcome::Done, list},
           Row{"a new folder", none, 2, {}, Outcome::Done, none},
           Row{"an older list of ours, a new folder", ours, 2, {}, Outcome::Done, ""},
           Row{"a full disk",
               none,
               0,
               {.writeAfter = 100},
               Outcome::ListWriteFailed,
               list.substr(0, 100)},
           Row{"no file", none, 0, {.open = true}, Outcome::ListWriteFailed, none},
       }) {
    SCOPED_TRACE(r.what);
    TempDir d, more, media;
    const std::string path = d / "a.sha256", source = r.before == "source" ? path : d / "photo.jpg";
    if (r.before != none) WriteFile(path, r.before);
    WriteFile(source, data_);
    Fresh();
    fs.faults[path] = r.fault;
    ui.ConfirmOpen(source);
    ui.ConfirmSave(d / "a");
    fs.removable = r.spread == 1;
    if (r.spread == 1)
      ui.onNotice = [&](const std::string&) {
        for (int k = 1; k <= 3; ++k) {
          const std::string piece = d / ("a.00" + std::to_string(k));
          if (FileExists(piece)) std::filesystem::rename(piece, media / PathName(piece));
        }
      };
    if (r.spread == 2) {
      fs.FailFreeSpace(SpaceStatus::FolderMissing, 3);
      ui.Reply(Answer::Yes);
      ui.ConfirmSave(more / "b.x");
      ui.Reply(Answer::No);
      ui.Reply(Answer::No);
    }
    EXPECT_EQ(Split(1), r.outcome);
    EXPECT_EQ(FileExists(path) ? ReadFile(path) : none, r.after == "source" ? data_ : r.after);
    EXPECT_EQ(ReadFile(more / "b.sha256"), r.spread == 2 ? moved : "");
    EXPECT_FALSE(FileExists(media / "a.sha256"));
    const std::string at = r.spread == 2 ? more / "b.sha256" : path;
    const bool foreign = r.before == "keep me" || r.before == "source";
    EXPECT_EQ(notes, std::vector<std::string>(r.outcome == Outcome::Done,
                                              (foreign ? "not written:" : "written:") + at));
    std::vector<std::string> told(r.spread == 1 ? 3 : 0, kNextMediumSplit);
    if (r.outcome != Outcome::Done)
      told.push_back(std::string(NoticeText(r.outcome)) + "\r\n" + path);
    EXPECT_EQ(ui.Notices(), told);
    if (r.spread == 0) {
      EXPECT_EQ(Lengths(d / "a"), (std::vector<int64_t>{1024, 1024, 1024, 190}));
    }
  }
}

// A list beside the first piece or turning up beside a later one; the output keeps what matched.
TEST_F(ChecksumTest, TheJoinNamesAPieceThatDiffersAndKeepsOnlyThePiecesThatMatched) {
  enum Medium { Same, Folder, Swapped };  // of pieces 2 to 4 and the list
  struct Row {
    HashKind kind;
    int flipped;    // the piece's index; -1: none
    Medium medium;  // Folder: found through the prompt; Swapped: put in while the notice is open
  };
  for (const Row& r : {
           Row{HashKind::Sha256, 0, Same},
           Row{HashKind::Md5, 1, Same},
           Row{HashKind::Crc32, 3, Same},
           Row{HashKind::Sha256, 0, Folder},
           Row{HashKind::Crc32, -1, Folder},
           Row{HashKind::Sha256, 1, Swapped},
       }) {
    SCOPED_TRACE(std::string(ListExtension(r.kind)) + " " + std::to_string(r.flipped) + " " +
                 std::to_string(r.medium));
    TempDir d, other;
    auto paths = CutSet(d / "a", data_, 1024);
    const std::string name = std::string("a") + ListExtension(r.kind);
    WriteFile(other / name, ListText(r.kind));
    if (r.flipped >= 0) FlipAByte(paths[r.flipped]);
    for (int k = 1; k < 4; ++k) std::filesystem::rename(paths[k], other / PathName(paths[k]));
    const auto swap = [&](const std::string& notice) {
      if (notice != kNextMediumJoin) return;
      for (int k = 1; k < 4; ++k) std::filesystem::rename(other / PathName(paths[k]), paths[k]);
      std::filesystem::rename(other / name, d / name);
    };
    if (r.medium == Same) swap(kNextMediumJoin);
    if (r.medium == Folder) {
      for (int k = 1; k < 4; ++k) paths[k] = other / PathName(paths[k]);
    }
    ui = ScriptedInteraction();
    notes.clear();
    ui.ConfirmOpen(paths[0]);
    ui.ConfirmSave(d / "out");
    if (r.medium == Folder) ui.ConfirmOpen(other / "any");
    if (r.medium == Swapped) ui.onNotice = swap;
    const Outcome outcome = Join();
    const size_t kept = r.flipped < 0    ? data_.size()
                        : r.flipped == 0 ? 0
                                         : 762 + 1024 * (r.flipped - 1);
    EXPECT_TRUE(ReadFile(d / "out") == data_.substr(0, kept));
    if (r.flipped < 0) {
      EXPECT_EQ(outcome, Outcome::Done);
      EXPECT_EQ(notes,
                std::vector<std::string>{"verified:" + (r.medium == Folder ? other : d) / name});
      continue;
    }
    EXPECT_EQ(outcome, Outcome::ChecksumMismatch);
    EXPECT_EQ(ui.Calls().back(), "status:") << "the notice comes before the clean-up";
    EXPECT_EQ(
        ui.Notices().back(),
        std::string("分割ファイルの内容がチェックサムと一致しません。\r\n") + paths[r.flipped]);
  }
}

// A list that does not parse or names other files never refuses a good set: the join goes
// on as without it and tells the notes.
TEST_F(ChecksumTest, AListThatDoesNotParseOrNamesOtherFilesIsIgnored) {
  const std::string sha = ListText(HashKind::Sha256), md5 = ListText(HashKind::Md5);
  const auto paths = CutSet(dir / "a", data_, 1024);
  FlipAByte(paths[2]);  // what the lists below would catch if they were trusted
  struct Row {
    const char* name;
    std::string text;
    const char* note;
  };
  for (const Row& r : {
           Row{"a.sha256", "no list\n", "unreadable:"},
           Row{"a.sha256", sha.substr(0, sha.size() - 1) + "x\n", "other files:"},
           Row{"a.md5", md5.substr(0, md5.rfind("012ea6")), "other files:"},
       }) {
    SCOPED_TRACE(r.text);
    WriteFile(dir / r.name, r.text);
    ui = ScriptedInteraction();
    notes.clear();
    EXPECT_EQ(Join(paths[0], dir / "out"), Outcome::Done);
    EXPECT_EQ(ui.Notices(), std::vector<std::string>{});
    EXPECT_EQ(notes, std::vector<std::string>{r.note + dir / r.name});
    std::filesystem::remove(dir / r.name);
  }
}

// The check reads every piece, writes nothing, and tells each piece's length and sum.
TEST_F(ChecksumTest, TheCheckTellsEachPiecesLengthAndSum) {
  TempDir other;
  const auto paths = CutSet(dir / "a", data_, 1024);
  const auto Summary = [](const SetReport& report) {
    static const char* const kSums[] = {"no list", "matches", "differs", "unread"};
    std::vector<std::string> out;
    for (const PieceReport& p : report.pieces)
      out.push_back(std::string(p.path.empty()  ? "missing"
                                : p.lengthHolds ? "whole"
                                                : "cut") +
                    ", " + kSums[static_cast<int>(p.sum)]);
    return out;
  };
  SetReport report = CheckSet(fs, paths[0]);
  EXPECT_EQ(report.outcome, Outcome::Done);
  EXPECT_EQ(report.count, 4);
  EXPECT_EQ(report.pieceSize, 1024);
  EXPECT_FALSE(report.list.has_value());
  EXPECT_TRUE(report.Holds());

  WriteFile(other / "a.md5", ListText(HashKind::Md5));  // found beside a piece found elsewhere
  FlipAByte(paths[1]);
  std::filesystem::rename(paths[2], other / "a.003");
  std::filesystem::resize_file(paths[3], 0);
  report = CheckSet(fs, paths[0], {dir / "gone", other.Path()});
  EXPECT_EQ(Summary(report), (std::vector<std::string>{"whole, matches", "whole, differs",
                                                       "whole, matches", "cut, differs"}));
  EXPECT_TRUE(fs.SameFile(report.pieces[2].path, other / "a.003"));
  EXPECT_FALSE(report.Holds());
  std::filesystem::rename(other / "a.md5", dir / "a.md5");
  report = CheckSet(fs, paths[0]);
  EXPECT_EQ(Summary(report)[2], "missing, unread");
  EXPECT_EQ(WithPrefix(fs.events, "create:"), std::vector<std::string>{});

  std::filesystem::resize_file(paths[0], 256);
  EXPECT_EQ(CheckSet(fs, paths[0]).outcome, Outcome::BadFileSize);
  const auto most = CutSet(dir / "m", RandomBytes(1022714, 1), 1024);  // 999 pieces
  EXPECT_EQ(CheckSet(fs, most[0]).outcome, Outcome::Done);
}

}  // namespace
}  // namespace tolvanix
