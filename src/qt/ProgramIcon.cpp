#include "qt/ProgramIcon.h"

// The resource file is compiled into a static library; nothing else refers
// to it, so it must be registered by hand or the linker drops it.
static void InitResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(tolvanix);
    return true;
  }();
  (void)done;
}

namespace tolvanix {

QPixmap ProgramPixmap() {
  InitResources();
  return QPixmap(QStringLiteral(":/tolvanix.png"));
}

QIcon ProgramIcon() { return QIcon(ProgramPixmap()); }

}  // namespace tolvanix
