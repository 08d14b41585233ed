// tolvanix-cli as a script uses it; what a split or a join does to the bytes is the core's.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "cli/RunCli.h"
#include "support/TestFiles.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tolvanix {
namespace {

bool Says(const Finished& run, const std::string& text) {
  return run.err.find(text) != std::string::npos;
}

// A source of 2500 bytes, three pieces of 1 KB, and a folder beside it.
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
  const Finished split = RunCli({"split", source_, "-s", "1"}, other_);
  ASSERT_EQ(split.status, 0) << split.err;
  EXPECT_EQ(split.err, "") << "no progress when standard error is no terminal";
  EXPECT_TRUE(FileExists(dir_ / "photo.sha256"));

  const Finished check = RunCli({"check", first_});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_NE(check.out.find("photo.jpg"), std::string::npos) << check.out;

  const Finished join = RunCli({"join", "../photo.001", "--quiet"}, other_);
  ASSERT_EQ(join.status, 0) << join.err;
  EXPECT_EQ(ReadFile(other_ + "/photo.jpg"), bytes_);
}

TEST_F(CliTest, AMissingPieceIsFoundThroughSearch) {
  ASSERT_EQ(Split({"--no-checksum"}).status, 0);
  EXPECT_FALSE(FileExists(dir_ / "photo.sha256"));
  std::filesystem::rename(FsPath(dir_ / "photo.002"), FsPath(other_ + "/photo.002"));
  const std::string output = dir_ / "joined.jpg";

  EXPECT_EQ(RunCli({"check", first_}).status, 1);
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
  EXPECT_EQ(RunCli({"join", first_, "-o", output, "--force"}).status, 0);
  EXPECT_EQ(ReadFile(output), bytes_);
  EXPECT_EQ(RunCli({"join", first_, "-o", dir_ / "photo.002", "--force"}).status, 1);
  EXPECT_EQ(ReadFile(dir_ / "photo.002"), piece2);

  // Every piece of a split is an output, not only the first.
  std::filesystem::remove(FsPath(first_));
  EXPECT_EQ(Split().status, 1);
  EXPECT_FALSE(FileExists(first_));
  EXPECT_EQ(Split({"--force"}).status, 0);
}

// The texts follow the user's language; the program's own are Japanese.
TEST(CliLanguageTest, SpeaksTheUsersLanguage) {
  static char language[] = "LANGUAGE=en";
  static char locale[] = "LC_ALL=en_US.UTF-8";
  putenv(language);
  putenv(locale);
  EXPECT_EQ(
      RunCli({"cut"}).err,
      "tolvanix-cli: Unknown command: cut\nTry 'tolvanix-cli --help' for more information.\n");
}

// Run in a folder that holds photo.jpg (2500 bytes) and nothing else.
struct Call {
  const char* name;
  std::vector<std::string> arguments;
  int status;  // 0: prints on standard output; 1: a failure; 2: a usage error
};

const Call kCalls[] = {
    {"Help", {"--help"}, 0},
    {"VersionAfterACommand", {"split", "photo.jpg", "--version"}, 0},
    {"NoCommand", {}, 2},
    {"UnknownCommand", {"cut", "photo.jpg"}, 2},
    {"NoFile", {"split"}, 2},
    {"TwoFiles", {"split", "photo.jpg", "photo.jpg"}, 2},
    {"UnknownOption", {"split", "photo.jpg", "--fast"}, 2},
    {"SizeNoNumber", {"split", "photo.jpg", "-s", "1.5"}, 2},
    {"SizeForAJoin", {"join", "photo.001", "--size=1"}, 2},
    {"SourceMissing", {"split", "missing.jpg"}, 1},
    {"SizeZero", {"split", "photo.jpg", "-s", "0"}, 1},
    {"FirstPieceMissing", {"join", "photo.001"}, 1},
    {"CheckOfNoSet", {"check", "photo.jpg"}, 1},
};

class CliCallTest : public ::testing::TestWithParam<Call> {};

TEST_P(CliCallTest, EndsWithItsStatus) {
  TempDir dir;
  WriteFile(dir / "photo.jpg", std::string(2500, 'x'));
  const Finished run = RunCli(GetParam().arguments, dir.Path());
  EXPECT_EQ(run.status, GetParam().status) << run.err;
  EXPECT_EQ(run.out.empty(), GetParam().status != 0) << run.out;
  if (GetParam().status != 0) {
    EXPECT_TRUE(Says(run, GetParam().status == 2 ? "--help" : "tolvanix-cli: ")) << run.err;
  }
  EXPECT_FALSE(FileExists(dir / "photo.001"));
}

INSTANTIATE_TEST_SUITE_P(Calls, CliCallTest, ::testing::ValuesIn(kCalls),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// Ctrl+C or SIGTERM in a copy: the piece in work holds a prefix of the source.
TEST(CliStopTest, LeavesAPrefixOfTheSource) {
  TempDir dir;
  const std::string source = dir / "big.bin";
  const std::string piece = dir / "big.001";
  const std::string err = dir / "err";
  const std::string program = CliProgram();
  WriteFile(source, RandomBytes(16 << 20, 5));
  std::filesystem::resize_file(FsPath(source), uint64_t{4} << 30);  // a hole, long to copy
  for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
    std::filesystem::remove(FsPath(piece));
    const pid_t pid = fork();
    if (pid == 0) {
      // Only what is safe after fork: system calls, then exec.
      const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (e < 0 || ::dup2(e, 2) < 0) _exit(126);
      ::execl(program.c_str(), program.c_str(), "split", source.c_str(), "-s", "2097151", nullptr);
      _exit(127);
    }
    ASSERT_GT(pid, 0);
    for (int i = 0; i < 20000 && FileSize(piece) < (8 << 20); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(pid, signal);
    int ended = 0;
    ::waitpid(pid, &ended, 0);
    EXPECT_EQ(WIFEXITED(ended) ? WEXITSTATUS(ended) : -1, status);
    EXPECT_EQ(ReadFile(err), "") << status;
    const std::string written = ReadFile(piece);
    ASSERT_GE(written.size(), size_t{8 << 20}) << status;
    ASSERT_LT(written.size(), size_t{2097151} * 1024) << status << ": the piece was finished";
    std::ifstream in(FsPath(source), std::ios::binary);
    std::string prefix(written.size() - 262, '\0');
    in.read(prefix.data(), static_cast<std::streamsize>(prefix.size()));
    EXPECT_TRUE(written.compare(262, std::string::npos, prefix) == 0) << status;
    EXPECT_FALSE(FileExists(dir / "big.002")) << status;
    EXPECT_FALSE(FileExists(dir / "big.sha256")) << status;
  }
}
#endif

}  // namespace
}  // namespace tolvanix
