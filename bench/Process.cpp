#include "Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace tolvanix::bench {
namespace {

// posix_spawn_file_actions_t released on every path.
class FileActions {
 public:
  FileActions() { ::posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

ProcessRun RunProcess(const std::vector<std::string>& argv, const std::string& stdoutPath) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  FileActions actions;
  if (!stdoutPath.empty()) {
    ::posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, stdoutPath.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }

  ProcessRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, args[0], actions.get(), nullptr, args.data(), environ);
  if (spawned != 0) {
    run.failure = "cannot start " + argv[0] + ": " + std::strerror(spawned);
    return run;
  }
  int status = 0;
  struct rusage usage {};
  while (::wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      run.failure = std::string("wait4: ") + std::strerror(errno);
      return run;
    }
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakRssKiB = usage.ru_maxrss;
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
  };
  run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!run.ok) {
    run.failure =
        argv[0] + (WIFEXITED(status) ? " exited with " + std::to_string(WEXITSTATUS(status))
                                     : " killed by signal " + std::to_string(WTERMSIG(status)));
  }
  return run;
}

std::string SelfPath() {
  std::string path(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size())
    throw std::runtime_error("cannot read /proc/self/exe");
  path.resize(static_cast<size_t>(n));
  return path;
}

}  // namespace tolvanix::bench
