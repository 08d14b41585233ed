// A file handed over by the desktop: the program's arguments (what a file
// manager passes when it opens a file with us, or what a user types) or a
// drop on the main window. Both windows read them here, by the same rules;
// what only the platform knows of a path (is it there, is it a folder, where
// it lies in full, what a file: URI names) they answer through HandoverFacts.
#pragma once

#include <string>
#include <vector>

namespace tolvanix {

class HandoverFacts {
 public:
  virtual ~HandoverFacts() = default;
  enum class Kind { Missing, File, Folder };
  // A dangling link is Missing; a FIFO or device counts as a File.
  virtual Kind KindOf(const std::string& path) const = 0;
  // The path made absolute against the current folder.
  virtual std::string Absolute(const std::string& path) const = 0;
  // The local path a file: URI names, %-escapes decoded; a host other than
  // this machine's stays in front ("//host/path"). Empty when it names none.
  virtual std::string PathOfUri(const std::string& uri) const = 0;
};

// A file to open as if chosen in the first prompt of its command.
struct HandedFile {
  std::string path;   // absolute
  bool join = false;  // else the split
};

// What the program's arguments ask for.
struct Handover {
  enum class Action {
    None,     // no file: the window as usual
    Open,     // the window, then `file` opened
    Notice,   // the window, then `text` in a notice box
    Help,     // `text` printed (or shown), and the program ends
    Version,  // likewise
  };
  Action action = Action::None;
  HandedFile file;
  std::string text;
  std::string error;  // Notice: one line in English for standard error
};

// Windows also takes "/?" for the help, as its own programs do.
enum class OptionStyle { Posix, Windows };

// `arguments` without the program's name. FILE is a path or a file: URI; "--"
// ends the options, so a name may start with "-". `version` as in
// "Tolvanix 1.0".
Handover ReadArguments(const std::vector<std::string>& arguments, const HandoverFacts& facts,
                       OptionStyle style, const std::string& version);

// Where a drop falls: a command's button runs that command whatever the
// name; elsewhere the name decides (".001" joins).
enum class DroppedOn { Elsewhere, Button1, Button2 };

struct Drop {
  std::vector<std::string> entries;  // as the desktop gives them: paths or URIs
  DroppedOn on = DroppedOn::Elsewhere;
  bool busy = false;  // a run or another modal window has the program
  bool copyOffered = false;
  bool linkOffered = false;
};

enum class DropEffect { None, Copy, Link };

struct DropAnswer {
  DropEffect effect = DropEffect::None;  // None: refused, with the no-drop pointer
  HandedFile file;                       // when taken
};

// One local file, not a folder, while the program is idle, is taken: as a
// copy, or a link where the source offers no copy; never a move, after which
// the file manager would delete the user's file.
DropAnswer ReadDrop(const Drop& drop, const HandoverFacts& facts);

}  // namespace tolvanix
