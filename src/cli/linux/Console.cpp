// The command line on Linux: UTF-8 on the descriptors as it is, the progress
// line redrawn with a carriage return and an erase to the line's end, and
// SIGINT, SIGTERM and SIGHUP turned into a stop request. A second one of them
// ends the program at once, as usual.
#include "cli/Console.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "i18n/Catalogue.h"

namespace tolvanix::cli {

namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void OnStopSignal(int signal) { caught = signal; }

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nobody reads it any more: nothing to do about that
    text.remove_prefix(static_cast<size_t>(n));
  }
}

}  // namespace

void WriteOutput(std::string_view text) { WriteAll(STDOUT_FILENO, text); }
void WriteError(std::string_view text) { WriteAll(STDERR_FILENO, text); }

bool ErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void ShowProgressLine(std::string_view text) { WriteError("\r" + std::string(text) + "\x1b[K"); }

void ClearProgressLine() { WriteError("\r\x1b[K"); }

void WatchStopRequests() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a copy call that a signal cuts short comes back at once,
  // and the file layer goes on with what it moved.
  action.sa_flags = SA_RESETHAND;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  // A reader of standard error that went away must not end a copy mid-way.
  std::signal(SIGPIPE, SIG_IGN);
}

int StopStatus() { return caught == 0 ? 0 : 128 + caught; }

void StopDone() {}

}  // namespace tolvanix::cli

int main(int argc, char** argv) {
  return tolvanix::cli::Main(std::vector<std::string>(argv + 1, argv + argc));
}
