// A true full device for tests: a 1 MiB tmpfs mounted in a forked child's own
// mount namespace, so nothing stays mounted on the host even if the child
// dies. Needs root; a test skips with the reason when it cannot mount.
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

namespace tolvanix {

// Runs `body` in the child with the tmpfs at `mountPoint` and brings back its
// report, a plain struct with `int failedStep` (1 unshare, 2 private mounts,
// 3 mount; 0 when mounted and `body` ran) and `int error`. False when the
// child did not report.
template <class Report>
bool RunOnSmallTmpfs(const std::string& mountPoint, const std::function<void(Report&)>& body,
                     Report& report) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(60);
    Report r;
    if (::unshare(CLONE_NEWNS) != 0) {
      r.failedStep = 1;
    } else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      r.failedStep = 2;
    } else if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1m") != 0) {
      r.failedStep = 3;
    }
    r.error = errno;
    if (r.failedStep == 0) body(r);
    ::_exit(::write(fds[1], &r, sizeof r) == sizeof r ? 0 : 1);
  }
  ::close(fds[1]);
  const ssize_t got = pid > 0 ? ::read(fds[0], &report, sizeof report) : -1;
  ::close(fds[0]);
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0 && got == static_cast<ssize_t>(sizeof report);
}

inline std::string TmpfsSkipReason(int failedStep, int error) {
  return "cannot mount a small tmpfs (step " + std::to_string(failedStep) +
         "): " + std::strerror(error);
}

}  // namespace tolvanix
