// A file handed over by the desktop: the program's one argument (what a file
// manager passes when it opens a file with us) or a file dropped on the
// window. A name ending in ".001" is taken for a first piece and joined;
// anything else is split.
#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace tolvanix {

// The one local file of a drop, absolute; empty when the drop holds anything
// else: several entries, a folder, a remote URL, a file that is not there.
QString DroppedFile(const QMimeData* data);

// What the program's arguments ask for.
struct CommandLine {
  enum class Action {
    Idle,  // no file: the window as usual
    Open,  // the window, then `file` opened by the rule above
    Exit,  // --help or --version: print `output` and end
  };
  Action action = Action::Idle;
  QString file;    // Open: absolute path
  QString output;  // Exit: for standard output
  // Refused arguments (the window then opens idle): the message for standard
  // error and the text of the notice box.
  QString error;
  QString notice;
};

// Reads the arguments as QCoreApplication::arguments() gives them, the
// program's name first. FILE is a path or a file:// URI; "--" ends the
// options, so a name may start with "-".
CommandLine ReadCommandLine(const QStringList& arguments);

}  // namespace tolvanix
