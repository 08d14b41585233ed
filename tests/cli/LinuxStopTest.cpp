// Ctrl+C and SIGTERM during a copy stop tolvanix-cli as the window's stop
// does: the piece in work holds the first bytes of the source exactly, no
// later piece is begun, and the exit status tells the signal.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <thread>

#include "cli/Child.h"
#include "support/TestFiles.h"

namespace tolvanix {
namespace {

struct Stop {
  const char* name;
  int signal;
  int status;
};

void PrintTo(const Stop& stop, std::ostream* out) { *out << stop.name; }

class CliStopTest : public ::testing::TestWithParam<Stop> {};

TEST_P(CliStopTest, LeavesAPrefixOfTheSource) {
  TempDir dir;
  const std::string source = dir / "big.bin";
  {
    // 64 MiB where every 4 bytes hold their own offset, so no shifted or
    // repeated copy passes; then a hole up to 4 GiB, long to copy.
    std::ofstream out(FsPath(source), std::ios::binary);
    std::vector<uint32_t> words(1 << 18);
    for (uint32_t mib = 0; mib < 64; ++mib) {
      for (uint32_t i = 0; i < words.size(); ++i) words[i] = mib << 18 | i;
      out.write(reinterpret_cast<const char*>(words.data()), 1 << 20);
    }
  }
  std::filesystem::resize_file(FsPath(source), uint64_t{4} << 30);
  const std::string piece = dir / "big.001";

  Child child({"split", source, "-s", "2097151"});
  for (int i = 0; i < 20000 && FileSize(piece) < (8 << 20); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  child.Signal(GetParam().signal);
  const Finished finished = child.Wait();

  EXPECT_EQ(finished.status, GetParam().status) << finished.err;
  EXPECT_EQ(finished.err, "");
  const std::string written = ReadFile(piece);
  ASSERT_GE(written.size(), size_t{8 << 20});
  ASSERT_LT(written.size(), size_t{2097151} * 1024) << "the piece was finished";
  std::ifstream in(FsPath(source), std::ios::binary);
  std::string prefix(written.size() - 262, '\0');
  in.read(prefix.data(), static_cast<std::streamsize>(prefix.size()));
  EXPECT_TRUE(written.compare(262, std::string::npos, prefix) == 0);
  EXPECT_FALSE(FileExists(dir / "big.002"));
  EXPECT_FALSE(FileExists(dir / "big.sha256"));
}

INSTANTIATE_TEST_SUITE_P(Signals, CliStopTest,
                         ::testing::Values(Stop{"CtrlC", SIGINT, 130},
                                           Stop{"Sigterm", SIGTERM, 143}),
                         [](const ::testing::TestParamInfo<Stop>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tolvanix
