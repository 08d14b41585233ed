#include <cstdlib>

#include "i18n/Catalogue.h"

namespace tolvanix {

std::vector<std::string> UsersLanguages() {
  return PreferredLanguages([](const char* name) { return std::getenv(name); });
}

}  // namespace tolvanix
