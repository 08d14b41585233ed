// tolvanix-cli as a script uses it: each command on real files, its exit
// status, the files it leaves and what it says.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/Child.h"
#include "support/TestFiles.h"

namespace tolvanix {
namespace {

bool Says(const Finished& run, const std::string& text) {
  return run.err.find(text) != std::string::npos;
}

// A source of 2500 bytes, which pieces of 1 KB hold in three (762, 1024 and
// 714 bytes of it), and a folder beside it.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(source_, bytes_);
    std::filesystem::create_directory(FsPath(other_));
  }
  Finished Split(std::vector<std::string> more = {}) {
    std::vector<std::string> arguments{"split", source_, "-s", "1"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunCli(arguments);
  }

  TempDir dir_;
  const std::string source_ = dir_ / "photo.jpg";
  const std::string first_ = dir_ / "photo.001";
  const std::string other_ = dir_ / "other";
  const std::string bytes_ = RandomBytes(2500, 28);
};

TEST_F(CliTest, SplitsBesideTheSourceChecksAndJoinsUnderTheStoredName) {
  // Run elsewhere: the pieces still go beside the source.
  const Finished split = RunCli({"split", source_, "-s", "1"}, other_);
  ASSERT_EQ(split.status, 0) << split.err;
  // Standard error is no terminal: no progress, nothing.
  EXPECT_EQ(split.err, "");
  for (const char* name : {"photo.001", "photo.002", "photo.003", "photo.sha256"})
    EXPECT_TRUE(FileExists(dir_ / name)) << name;
  EXPECT_FALSE(FileExists(dir_ / "photo.004"));

  const Finished check = RunCli({"check", first_});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_NE(check.out.find("photo.jpg"), std::string::npos) << check.out;

  // No -o: the stored name, in the current folder.
  const Finished join = RunCli({"join", "../photo.001"}, other_);
  ASSERT_EQ(join.status, 0) << join.err;
  EXPECT_EQ(ReadFile(other_ + "/photo.jpg"), bytes_);
}

TEST_F(CliTest, AMissingPieceIsFoundThroughSearch) {
  ASSERT_EQ(Split().status, 0);
  std::filesystem::rename(FsPath(dir_ / "photo.002"), FsPath(other_ + "/photo.002"));
  const std::string output = dir_ / "joined.jpg";

  const Finished without = RunCli({"join", first_, "-o", output});
  EXPECT_EQ(without.status, 1);
  EXPECT_TRUE(Says(without, "photo.002")) << without.err;
  EXPECT_FALSE(FileExists(output)) << "nothing is written before every piece is found";

  const Finished with = RunCli({"join", first_, "-o", output, "--search", other_});
  ASSERT_EQ(with.status, 0) << with.err;
  EXPECT_EQ(ReadFile(output), bytes_);
}

TEST_F(CliTest, OnlyForceReplacesAnOutputAndNeverAPiece) {
  ASSERT_EQ(Split().status, 0);
  const std::string output = dir_ / "joined.jpg";
  WriteFile(output, "kept");
  const std::string piece2 = ReadFile(dir_ / "photo.002");

  const Finished refused = RunCli({"join", first_, "-o", output});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Says(refused, "--force")) << refused.err;
  EXPECT_EQ(ReadFile(output), "kept");

  const Finished forced = RunCli({"join", first_, "-o", output, "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(ReadFile(output), bytes_);

  const Finished ontoAPiece = RunCli({"join", first_, "-o", dir_ / "photo.002", "--force"});
  EXPECT_EQ(ontoAPiece.status, 1);
  EXPECT_EQ(ReadFile(dir_ / "photo.002"), piece2);

  // The split's pieces are its outputs: all of them, not only the first.
  std::filesystem::remove(FsPath(first_));
  const Finished again = Split();
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Says(again, "photo.002")) << again.err;
  EXPECT_FALSE(FileExists(first_));
  EXPECT_EQ(Split({"--force"}).status, 0);
}

TEST_F(CliTest, AFlippedByteFailsTheCheckAndTheJoin) {
  ASSERT_EQ(Split().status, 0);
  std::string piece = ReadFile(dir_ / "photo.002");
  piece[100] ^= 1;
  WriteFile(dir_ / "photo.002", piece);

  EXPECT_EQ(RunCli({"check", first_}).status, 1);
  const Finished join = RunCli({"join", first_, "-o", dir_ / "joined.jpg"});
  EXPECT_EQ(join.status, 1);
  EXPECT_TRUE(Says(join, "photo.002")) << join.err;
}

TEST_F(CliTest, SplitsWithoutAListOnNoChecksum) {
  ASSERT_EQ(Split({"--no-checksum"}).status, 0);
  EXPECT_TRUE(FileExists(dir_ / "photo.003"));
  EXPECT_FALSE(FileExists(dir_ / "photo.sha256"));
}

// Run in a folder that holds photo.jpg (2500 bytes) and nothing else.
struct Call {
  const char* name;
  std::vector<std::string> arguments;
  int status;  // 0: prints on standard output; 1: a failure; 2: a usage error
};

void PrintTo(const Call& call, std::ostream* out) { *out << call.name; }

class CliCallTest : public ::testing::TestWithParam<Call> {};

TEST_P(CliCallTest, EndsWithItsStatus) {
  TempDir dir;
  WriteFile(dir / "photo.jpg", std::string(2500, 'x'));
  const Finished run = RunCli(GetParam().arguments, dir.Path());
  EXPECT_EQ(run.status, GetParam().status) << run.err;
  if (GetParam().status == 0) {
    EXPECT_NE(run.out, "");
  } else {
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Says(run, GetParam().status == 2 ? "--help" : "tolvanix-cli: ")) << run.err;
  }
  EXPECT_FALSE(FileExists(dir / "photo.001"));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CliCallTest,
    ::testing::Values(Call{"Help", {"--help"}, 0},
                      Call{"VersionAfterACommand", {"split", "photo.jpg", "--version"}, 0},
                      Call{"NoCommand", {}, 2}, Call{"UnknownCommand", {"cut", "photo.jpg"}, 2},
                      Call{"NoFile", {"split"}, 2},
                      Call{"TwoFiles", {"split", "photo.jpg", "photo.jpg"}, 2},
                      Call{"UnknownOption", {"split", "photo.jpg", "--fast"}, 2},
                      Call{"SizeNoNumber", {"split", "photo.jpg", "-s", "1.5"}, 2},
                      Call{"SizeWithoutValue", {"split", "photo.jpg", "-s"}, 2},
                      Call{"SizeForAJoin", {"join", "photo.001", "--size=1"}, 2},
                      Call{"ForceForACheck", {"check", "photo.001", "--force"}, 2},
                      Call{"SourceMissing", {"split", "missing.jpg"}, 1},
                      Call{"SizeZero", {"split", "photo.jpg", "-s", "0"}, 1},
                      Call{"SizeTooLarge", {"split", "photo.jpg", "-s", "99999999999"}, 1},
                      Call{"FirstPieceMissing", {"join", "photo.001"}, 1},
                      Call{"CheckOfNoSet", {"check", "photo.jpg"}, 1}),
    [](const ::testing::TestParamInfo<Call>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tolvanix
