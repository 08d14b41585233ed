#include "qt/SignalWatch.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace tolvanix {
namespace {

constexpr int kWatched[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t writeEnd = -1;

// Only what is safe inside a signal handler: one write of one byte.
void Handle(int signal) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  // A full socket already holds a signal to act on; nothing is lost.
  if (writeEnd >= 0 && ::write(writeEnd, &byte, 1) < 0) {
  }
  errno = saved;
}

}  // namespace

SignalWatch::SignalWatch(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) {
    fds_[0] = fds_[1] = -1;
    return;
  }
  writeEnd = fds_[1];
  notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalWatch::Drain);
  struct sigaction action = {};
  action.sa_handler = Handle;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kWatched) ::sigaction(signal, &action, nullptr);
}

SignalWatch::~SignalWatch() {
  for (int signal : kWatched) std::signal(signal, SIG_DFL);
  writeEnd = -1;
  delete notifier_;
  for (int fd : fds_) {
    if (fd >= 0) ::close(fd);
  }
}

void SignalWatch::Drain() {
  unsigned char byte;
  while (::read(fds_[0], &byte, 1) == 1) {
    if (caught_ == 0) caught_ = byte;
    emit caught(byte);
  }
}

}  // namespace tolvanix
