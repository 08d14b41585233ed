// How the commands talk to the user: six operations and the file dialogs
// they run, nothing else. Each window implements it; tests script it.
#pragma once

#include <string>
#include <vector>

namespace tolvanix {

// One entry of a file dialog's type list.
struct FileFilter {
  std::string description;  // Japanese, shown through Tr
  std::string patterns;     // ";" between patterns; "*.*" lists every file
};

// A file dialog as the commands see it; each window shows it with its own
// toolkit. `TOpenDialog` and `TSaveDialog` give the kind.
struct TFileDialog {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  std::vector<FileFilter> filters;  // empty: no type list, every file listed
  int FilterIndex = 1;              // the entry selected, from 1
  // Added to a typed name that has no extension ("001"); empty: none.
  std::string defaultSuffix;
  // Before a run the proposed name; after a confirmed run the chosen path.
  std::string FileName;
  // A save dialog asks before a name that exists is confirmed.
  bool confirmOverwrite = false;
};

struct TOpenDialog : TFileDialog {
  TOpenDialog() { kind = Kind::Open; }
};
struct TSaveDialog : TFileDialog {
  TSaveDialog() { kind = Kind::Save; }
};

// The five dialogs the main window owns, with their settings at start.
struct FileDialogs {
  TOpenDialog OpenDialog1;  // split: source
  TSaveDialog SaveDialog1;  // split: destination, new destination
  TOpenDialog OpenDialog2;  // join: first piece
  TSaveDialog SaveDialog2;  // join: output
  TOpenDialog OpenDialog3;  // join: missing piece
  FileDialogs();
};

// What a box's button answers: OK for a notice, Yes, No or Cancel for the
// warning and the questions.
enum class Answer { Ok, Yes, No, Cancel };

class Interaction {
 public:
  virtual ~Interaction() = default;
  // Modal notice box; returns when it is closed.
  virtual void ShowNotice(const std::string& text) = 0;
  // Modal warning box: Yes, No or Cancel (also Esc and the close button).
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  // Modal file dialog: true when confirmed, the path then in dialog.FileName
  // and the type last selected in FilterIndex. A cancelled run leaves both
  // as they were.
  virtual bool RunFileDialog(TFileDialog& dialog) = 0;
  bool RunOpenDialog(TOpenDialog& dialog) { return RunFileDialog(dialog); }
  bool RunSaveDialog(TSaveDialog& dialog) { return RunFileDialog(dialog); }
  // Replaces the status line and repaints before returning.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetBusyCursor(bool on) = 0;
};

}  // namespace tolvanix
