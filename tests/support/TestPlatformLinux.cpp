#include <sys/stat.h>
#include <unistd.h>

#include "support/TestFiles.h"

namespace tolvanix {

int OpenDescriptors() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  return static_cast<int>(std::distance(begin(fds), end(fds)));
}

std::string NullDevice() { return "/dev/null"; }

TestPipe::TestPipe(const std::string& folder) : path_(folder + "/pipe") {
  if (::mkfifo(path_.c_str(), 0600) != 0) ADD_FAILURE() << "cannot make a FIFO";
}
TestPipe::~TestPipe() { ::unlink(path_.c_str()); }

bool MakeSymlink(const std::string& target, const std::string& link) {
  return ::symlink(target.c_str(), link.c_str()) == 0;
}

}  // namespace tolvanix
