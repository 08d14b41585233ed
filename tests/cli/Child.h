// tolvanix-cli run as a shell runs it: a child process of its own, beside
// the test program in the build's bin folder, with its standard output and
// standard error caught in files.
#pragma once

#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace tolvanix {

struct Finished {
  int status = -1;  // the exit status; -n for a death by signal n
  std::string out;
  std::string err;
};

class Child {
 public:
  // Starts tolvanix-cli with `arguments`, in `folder` when given.
  explicit Child(const std::vector<std::string>& arguments, const std::string& folder = {});
  ~Child();  // waits for the program if nobody did
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  Finished Wait();
  // Linux: sends the program `signal`.
  void Signal(int signal);

 private:
  TempDir capture_;
  long long id_ = -1;  // the process's id or handle, -1 once waited for
};

inline Finished RunCli(const std::vector<std::string>& arguments, const std::string& folder = {}) {
  return Child(arguments, folder).Wait();
}

}  // namespace tolvanix
