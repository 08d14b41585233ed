#include "qt/OpenUrl.h"

#include <QDesktopServices>
#include <QUrl>
#include <utility>

namespace tolvanix {
namespace {

UrlOpener& CurrentOpener() {
  static UrlOpener opener;
  return opener;
}

}  // namespace

void OpenUrl(const QUrl& url) {
  if (const UrlOpener& opener = CurrentOpener()) {
    opener(url);
  } else {
    // No browser or no handler is not the caller's concern.
    QDesktopServices::openUrl(url);
  }
}

UrlOpener SetUrlOpener(UrlOpener opener) {
  return std::exchange(CurrentOpener(), std::move(opener));
}

}  // namespace tolvanix
