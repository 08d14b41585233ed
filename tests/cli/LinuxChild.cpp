#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "cli/Child.h"

namespace tolvanix {

Child::Child(const std::vector<std::string>& arguments, const std::string& folder) {
  const std::string program =
      (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tolvanix-cli").string();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string out = capture_ / "out";
  const std::string err = capture_ / "err";
  const pid_t pid = fork();
  if (pid == 0) {
    // Only what is safe after fork: system calls, then exec.
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) _exit(126);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) _exit(126);
    ::execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (pid < 0) ADD_FAILURE() << "cannot start " << program;
  id_ = pid;
}

Child::~Child() {
  if (id_ >= 0) Wait();
}

Finished Child::Wait() {
  Finished finished;
  int status = 0;
  if (id_ < 0 || ::waitpid(static_cast<pid_t>(id_), &status, 0) < 0) return finished;
  id_ = -1;
  finished.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  finished.out = ReadFile(capture_ / "out");
  finished.err = ReadFile(capture_ / "err");
  return finished;
}

void Child::Signal(int signal) {
  if (id_ >= 0) ::kill(static_cast<pid_t>(id_), signal);
}

}  // namespace tolvanix
