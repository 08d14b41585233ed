// How the file dialogs' settings are read, the same for both front ends.
#pragma once

#include <string>
#include <vector>

namespace tolvanix {

struct FilterEntry {
  std::string description;  // through Tr
  std::string patterns;     // ";" between patterns, as written
};

// The type list of a Filter ("description|pattern|description|pattern");
// an unpaired last description lists nothing and is left out.
std::vector<FilterEntry> FilterEntries(const std::string& filter);

// The extension a dialog adds to a typed name without one, from a
// DefaultExt such as "*.001": "001". Empty where there is none ("" or "*.*").
std::string DefaultSuffix(const std::string& defaultExt);

}  // namespace tolvanix
