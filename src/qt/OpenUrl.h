// The shell's open operation for web addresses, behind a replaceable
// function so that tests can count requests without starting a browser.
#pragma once

#include <functional>

class QUrl;

namespace tolvanix {

using UrlOpener = std::function<void(const QUrl&)>;

// Asks the desktop to show url in the user's browser; nothing comes back.
void OpenUrl(const QUrl& url);

// Replaces what OpenUrl does and returns the previous opener; an empty
// function restores the desktop's own.
UrlOpener SetUrlOpener(UrlOpener opener);

}  // namespace tolvanix
