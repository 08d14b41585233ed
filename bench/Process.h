// Runs one program to its end and takes its wall time and peak memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvanix::bench {

struct ProcessRun {
  bool ok = false;         // exited with 0
  std::string failure;     // why not, when !ok
  double seconds = 0;      // from spawn to reaped, start-up included
  double cpuSeconds = 0;   // user + system time of the child alone
  int64_t peakRssKiB = 0;  // ru_maxrss of the child alone
};

// argv[0] is looked up in PATH. With `stdoutPath`, the child's standard output
// goes to that file, created or emptied.
ProcessRun RunProcess(const std::vector<std::string>& argv, const std::string& stdoutPath = "");

// Absolute path of the running executable, for the child mode.
std::string SelfPath();

}  // namespace tolvanix::bench
