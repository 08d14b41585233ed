// tolvanix-cli run by the shell, as a script runs it, its output caught in files.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TestFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace tolvanix {

inline std::string CliProgram() {
#ifdef _WIN32
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return Utf8Path(std::filesystem::path(self).parent_path() / L"tolvanix-cli.exe");
#else
  return Utf8Path(std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tolvanix-cli");
#endif
}

struct Finished {
  int status = -1;
  std::string out;
  std::string err;
};

// Double quotes, which sh and cmd both take: no word here holds a quote, dollar or percent.
inline Finished RunCli(const std::vector<std::string>& arguments, const std::string& folder = ".") {
  TempDir capture;
#ifdef _WIN32
  std::string line = "cd /d \"" + folder + "\" && \"" + CliProgram() + "\"";
#else
  std::string line = "cd \"" + folder + "\" && \"" + CliProgram() + "\"";
#endif
  for (const std::string& word : arguments) line += " \"" + word + "\"";
  line += " >\"" + capture / "out" + "\" 2>\"" + capture / "err" + "\"";
  int status = std::system(line.c_str());
#ifndef _WIN32
  status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  return {status, ReadFile(capture / "out"), ReadFile(capture / "err")};
}

}  // namespace tolvanix
