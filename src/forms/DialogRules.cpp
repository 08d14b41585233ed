#include "forms/DialogRules.h"

namespace tolvanix {

bool OpensAsJoin(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".001") == 0;
}

}  // namespace tolvanix
