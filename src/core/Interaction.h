// How the commands talk to the user: six operations and the file-dialog
// settings, nothing else. The Qt window implements it; tests script it.
#pragma once

#include <string>

namespace tolvanix {

// Options a file dialog may carry.
enum TOpenOption : unsigned {
  ofOverwritePrompt = 1u << 0,
  ofHideReadOnly = 1u << 1,
};

struct TFileDialog {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  // Descriptions and patterns alternate, separated by "|"; empty: no list.
  std::string Filter;
  std::string DefaultExt;
  // Before a run the proposed name; after a confirmed run the chosen path.
  std::string FileName;
  unsigned Options = 0;
  int FilterIndex = 1;  // entry of the type list, from 1
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

// Standard dialog results of the warning box.
enum DialogResult : int { idOk = 1, idCancel = 2, idYes = 6, idNo = 7 };

// What a box's button answers: OK for a notice, Yes, No or Cancel for the
// warning and the questions.
enum class Answer { Ok, Yes, No, Cancel };

class Interaction {
 public:
  virtual ~Interaction() = default;
  // Modal notice box; returns when it is closed.
  virtual void ShowNotice(const std::string& text) = 0;
  // Modal warning box: idYes, idNo or idCancel.
  virtual int AskYesNoCancel(const std::string& text) = 0;
  // Modal file dialogs: true when confirmed, the path then in dialog.FileName.
  // A cancelled run leaves FileName and FilterIndex as they were.
  virtual bool RunOpenDialog(TOpenDialog& dialog) = 0;
  virtual bool RunSaveDialog(TSaveDialog& dialog) = 0;
  // Replaces the status line and repaints before returning.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetBusyCursor(bool on) = 0;
};

}  // namespace tolvanix
