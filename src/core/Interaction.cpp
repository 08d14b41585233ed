#include "core/Interaction.h"

#include "i18n/Catalogue.h"

namespace tolvanix {

FileDialogs::FileDialogs() {
  OpenDialog1.filters = {{N_("すべてのファイル"), "*.*"}};

  SaveDialog1.confirmOverwrite = true;

  OpenDialog2.filters = {{N_("Tolvanixﾌｧｲﾙ"), "*.001"}};
  OpenDialog2.defaultSuffix = "001";
  OpenDialog2.FileName = "*.001";

  SaveDialog2.confirmOverwrite = true;
}

}  // namespace tolvanix
