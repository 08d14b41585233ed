#include <windows.h>

#include <cstdlib>

#include "i18n/Catalogue.h"

namespace tolvanix {

namespace {

// The user's display language as a locale name ("ja-JP", "en-US").
std::string DisplayLanguage() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = L"";
  const LCID lcid = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  if (!LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0)) return {};
  std::string narrow;
  for (const wchar_t* c = name; *c; ++c) narrow += static_cast<char>(*c);  // ASCII
  return narrow;
}

}  // namespace

// As GNU gettext chooses on Windows: the POSIX variables where one is set
// (Wine hands over those of the Linux session, "C" among them), otherwise
// the user's display language.
std::vector<std::string> UsersLanguages() {
  const auto get = [](const char* name) -> const char* { return std::getenv(name); };
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const char* value = get(name); value && *value) return PreferredLanguages(get);
  }
  return {DisplayLanguage()};
}

}  // namespace tolvanix
