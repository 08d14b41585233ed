// What pushing written data to the medium as it goes does to a long copy:
// copies FILE to a new file through the commands' own copy, once with the
// push a removable drive gets and once without, and reports for each the
// copy's time, the longest the closing flush waited, and the most written
// data Linux held in memory meanwhile (Dirty + Writeback in /proc/meminfo).
//
// Usage: tolvanix_push_probe SOURCE TARGET
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "core/CommandSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

// KiB of written data not yet on the disk.
long Unwritten() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key, unit;
  long value = 0, sum = 0;
  while (meminfo >> key >> value >> unit) {
    if (key == "Dirty:" || key == "Writeback:") sum += value;
  }
  return sum;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool Copy(const std::string& from, const std::string& to, bool push) {
  using namespace tolvanix;
  auto fs = MakeLinuxFileSystem();
  auto source = fs->OpenRead(from);
  auto target = fs->Create(to);
  if (!source || !target) return false;
  const auto buffer = ObtainBuffer(kCopyBufferSize);
  std::atomic<bool> done{false};
  long peak = 0;
  std::thread watch([&] {
    while (!done) {
      peak = std::max(peak, Unwritten());
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  CopyPace pace;
  pace.pushToMedium = push;
  const auto start = Clock::now();
  const CopyResult copy =
      CopyBytes(*source, *target, source->Size(), buffer.get(), kCopyBufferSize, pace);
  const auto copied = Clock::now();
  const bool flushed = target->Flush();
  const auto end = Clock::now();
  done = true;
  watch.join();
  std::printf("push %-3s copy %6.2f s  closing flush %5.2f s  most unwritten %5ld MiB\n",
              push ? "on" : "off", Seconds(copied - start), Seconds(end - copied), peak / 1024);
  return copy.status == CopyResult::Ok && flushed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE TARGET\n", argv[0]);
    return 2;
  }
  for (bool push : {false, true, false, true}) {
    const bool ok = Copy(argv[1], argv[2], push);
    std::remove(argv[2]);
    if (!ok) return 1;
    ::sync();  // each round starts with nothing of the last one to write
  }
  return 0;
}
