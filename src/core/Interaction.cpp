#include "core/Interaction.h"

#include "i18n/Catalogue.h"

namespace tolvanix {

FileDialogs::FileDialogs() {
  // The descriptions are shown through Tr, the patterns as they are.
  OpenDialog1.Filter = std::string(N_("すべてのファイル")) + "|*.*";
  OpenDialog1.DefaultExt = "*.*";
  OpenDialog1.Options = ofHideReadOnly;

  SaveDialog1.Options = ofOverwritePrompt | ofHideReadOnly;

  OpenDialog2.Filter = std::string(N_("Tolvanixﾌｧｲﾙ")) + "|*.001";
  OpenDialog2.DefaultExt = "*.001";
  OpenDialog2.FileName = "*.001";
  OpenDialog2.Options = ofOverwritePrompt | ofHideReadOnly;

  SaveDialog2.Options = ofOverwritePrompt | ofHideReadOnly;

  OpenDialog3.Options = ofHideReadOnly;
}

}  // namespace tolvanix
