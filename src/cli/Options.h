// What the command line asks for: a command and its file, the options, or a
// usage error (exit status 2).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvanix::cli {

struct Options {
  enum class Command { Usage, Help, Version, Split, Join, Check };
  Command command = Command::Usage;
  std::string error;  // with Usage: what is wrong, in the user's language
  std::string file;   // split: the source; join, check: the first piece
  int32_t pieceSizeKB = 1024;
  std::optional<std::string> output;
  std::vector<std::string> searchFolders;
  bool force = false;
  bool quiet = false;
  bool noChecksum = false;
};

// `arguments` without the program's name. Options may come before or after
// the command and its file; "--" ends them; --help and --version win over
// everything else.
Options ReadOptions(const std::vector<std::string>& arguments);

}  // namespace tolvanix::cli
