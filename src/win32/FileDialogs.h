// The file dialogs: the system's Common Item Dialogs for opening and saving
// with a dialog's settings (type list, default extension, overwrite
// question, proposed name, type index), opening in the proposed name's folder
// or the current one, placed centred across with a third of the remaining
// height above.
#pragma once

#include <windows.h>

#include "core/Interaction.h"

namespace tolvanix::win32 {

// Shows `dialog` modally over `owner`. Confirmed: FileName is the chosen
// path, FilterIndex the type last selected, and the process's current folder
// the chosen file's. Otherwise nothing changes.
bool RunFileDialog(HWND owner, TFileDialog& dialog);

}  // namespace tolvanix::win32
