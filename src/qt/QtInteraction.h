// The six interaction operations on Qt: Qt's own (non-native) message box
// and file dialog classes, so that placement, buttons and keys are the same
// on every desktop, plus the main window's status line and the program-wide
// cursor.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "core/Interaction.h"
#include "forms/MessageBoxes.h"
#include "forms/Texts.h"

class QDialog;
class QLabel;
class QWidget;

namespace tolvanix {

// Qt's type list from a dialog's. Patterns separated by ";" become one
// entry; "*.*" lists every file, as it does on the platform the format
// comes from.
QStringList QtNameFilters(const std::vector<FileFilter>& filters);

// Shows `box` with `text` modally over `parent` and returns the answer
// given. While it is shown `open` (if given) points to it; `answered` (if
// given) learns the answer as the box closes, before anything waiting for it
// goes on.
Answer ShowBox(QWidget* parent, const BoxDescription& box, const std::string& text,
               QPointer<QDialog>* open = nullptr, const std::function<void(Answer)>& answered = {});

// The question before a run is stopped: true for Yes.
bool AskYesNo(QWidget* parent, const std::string& text, QPointer<QDialog>* open = nullptr,
              const std::function<void(bool yes)>& answered = {});

// Closes every modal box and dialog that is open, innermost first, each as
// if cancelled.
void CloseModalWindows();

class QtInteraction final : public Interaction {
 public:
  // `window` owns the boxes and dialogs and is repainted with the status
  // line `statusLine`.
  QtInteraction(QWidget* window, QLabel* statusLine);
  // Leaves no busy cursor behind.
  ~QtInteraction() override;
  Q_DISABLE_COPY_MOVE(QtInteraction)

  void ShowNotice(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  bool RunFileDialog(TFileDialog& dialog) override;
  void SetStatusText(const std::string& text) override;
  void SetBusyCursor(bool on) override;

 private:
  QWidget* window_;
  QLabel* statusLine_;
  bool busy_ = false;
};

}  // namespace tolvanix
