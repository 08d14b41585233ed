#include "forms/DialogRules.h"

#include "i18n/Catalogue.h"

namespace tolvanix {

std::vector<FilterEntry> FilterEntries(const std::string& filter) {
  std::vector<std::string> parts;
  if (filter.empty()) return {};
  for (size_t from = 0;;) {
    const size_t bar = filter.find('|', from);
    parts.push_back(filter.substr(from, bar - from));
    if (bar == std::string::npos) break;
    from = bar + 1;
  }
  std::vector<FilterEntry> entries;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) entries.push_back({Tr(parts[i]), parts[i + 1]});
  return entries;
}

std::string DefaultSuffix(const std::string& defaultExt) {
  std::string ext = defaultExt;
  if (!ext.empty() && ext.front() == '*') ext.erase(0, 1);
  if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
  if (ext.find_first_of("*?") != std::string::npos) return {};
  return ext;
}

}  // namespace tolvanix
