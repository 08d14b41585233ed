#include "cli/Options.h"

#include <algorithm>
#include <string_view>

#include "cli/Texts.h"
#include "core/PieceFormat.h"

namespace tolvanix::cli {

namespace {

using Command = Options::Command;

enum class Flag { Size, Output, Search, NoChecksum, Force, Quiet, Help, Version };

struct Known {
  std::string_view shortName;  // empty: none
  std::string_view longName;
  Flag flag;
  bool takesValue;
};

constexpr Known kKnown[] = {
    {"-s", "--size", Flag::Size, true},    {"-o", "--output", Flag::Output, true},
    {"", "--search", Flag::Search, true},  {"", "--no-checksum", Flag::NoChecksum, false},
    {"-f", "--force", Flag::Force, false}, {"-q", "--quiet", Flag::Quiet, false},
    {"-h", "--help", Flag::Help, false},   {"-v", "--version", Flag::Version, false},
};

const Known* Find(std::string_view name) {
  for (const Known& known : kKnown) {
    if (name == known.longName || (!known.shortName.empty() && name == known.shortName))
      return &known;
  }
  return nullptr;
}

// The options each command takes; --quiet, --help and --version go with any.
bool Takes(Command command, Flag flag) {
  switch (flag) {
    case Flag::Size:
    case Flag::NoChecksum:
      return command == Command::Split;
    case Flag::Output:
    case Flag::Force:
      return command == Command::Split || command == Command::Join;
    case Flag::Search:
      return command == Command::Join || command == Command::Check;
    default:
      return true;
  }
}

// A whole number of KB in decimal digits. One too large for the format is
// kept too large, so the split refuses it with its own notice.
std::optional<int32_t> ReadSize(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return {};
  const size_t digits = text.size() - std::min(text.find_first_not_of('0'), text.size());
  if (digits > 7) return static_cast<int32_t>(kMaxPieceSizeKB + 1);
  return static_cast<int32_t>(std::stol(text));
}

struct Given {
  const Known* known;
  std::string name;  // as typed, without a value
  std::string value;
};

Options Usage(std::string error) {
  Options options;
  options.error = std::move(error);
  return options;
}

}  // namespace

Options ReadOptions(const std::vector<std::string>& arguments) {
  std::vector<std::string> positional;
  std::vector<Given> given;
  std::string error;
  bool endOfOptions = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (endOfOptions || a.size() < 2 || a[0] != '-') {
      positional.push_back(a);
      continue;
    }
    if (a == "--") {
      endOfOptions = true;
      continue;
    }
    // "--name=value", or a value right after a short name ("-s512").
    std::string name = a;
    std::string value;
    bool attached = false;
    if (a.rfind("--", 0) == 0) {
      if (const size_t eq = a.find('='); eq != std::string::npos) {
        name = a.substr(0, eq);
        value = a.substr(eq + 1);
        attached = true;
      }
    } else if (a.size() > 2) {
      name = a.substr(0, 2);
      value = a.substr(2);
      attached = true;
    }
    const Known* known = Find(name);
    if (!known || (attached && !known->takesValue)) {
      if (error.empty()) error = Say(kUnknownOption, {a});
      continue;
    }
    if (known->takesValue && !attached) {
      if (i + 1 == arguments.size()) {
        if (error.empty()) error = Say(kNeedsValue, {name});
        continue;
      }
      value = arguments[++i];
    }
    if (known->takesValue && value.empty()) {
      if (error.empty()) error = Say(kNeedsValue, {name});
      continue;
    }
    given.push_back({known, name, value});
  }

  Options options;
  for (const Given& g : given) {
    if (g.known->flag == Flag::Help) options.command = Command::Help;
  }
  if (options.command == Command::Help) return options;
  for (const Given& g : given) {
    if (g.known->flag == Flag::Version) options.command = Command::Version;
  }
  if (options.command == Command::Version) return options;
  if (!error.empty()) return Usage(error);

  if (positional.empty()) return Usage(Say(kNoCommand));
  const std::string& command = positional[0];
  if (command == "split") {
    options.command = Command::Split;
  } else if (command == "join") {
    options.command = Command::Join;
  } else if (command == "check") {
    options.command = Command::Check;
  } else {
    return Usage(Say(kUnknownCommand, {command}));
  }
  if (positional.size() < 2) return Usage(Say(kNoFile));
  if (positional.size() > 2) return Usage(Say(kExtraArgument, {positional[2]}));
  options.file = positional[1];

  for (const Given& g : given) {
    if (!Takes(options.command, g.known->flag)) return Usage(Say(kNotForCommand, {g.name}));
    switch (g.known->flag) {
      case Flag::Size: {
        const std::optional<int32_t> size = ReadSize(g.value);
        if (!size) return Usage(Say(kBadSize, {g.value}));
        options.pieceSizeKB = *size;
        break;
      }
      case Flag::Output:
        options.output = g.value;
        break;
      case Flag::Search:
        options.searchFolders.push_back(g.value);
        break;
      case Flag::NoChecksum:
        options.noChecksum = true;
        break;
      case Flag::Force:
        options.force = true;
        break;
      case Flag::Quiet:
        options.quiet = true;
        break;
      case Flag::Help:
      case Flag::Version:
        break;
    }
  }
  return options;
}

}  // namespace tolvanix::cli
