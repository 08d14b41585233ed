#include "core/Interaction.h"

namespace tolvanix {

FileDialogs::FileDialogs() {
  OpenDialog1.Filter = "すべてのファイル|*.*";
  OpenDialog1.DefaultExt = "*.*";
  OpenDialog1.Options = ofHideReadOnly;

  SaveDialog1.Options = ofOverwritePrompt | ofHideReadOnly;

  OpenDialog2.Filter = "Tolvanixﾌｧｲﾙ|*.001";
  OpenDialog2.DefaultExt = "*.001";
  OpenDialog2.FileName = "*.001";
  OpenDialog2.Options = ofOverwritePrompt | ofHideReadOnly;

  SaveDialog2.Options = ofOverwritePrompt | ofHideReadOnly;

  OpenDialog3.Options = ofHideReadOnly;
}

}  // namespace tolvanix
