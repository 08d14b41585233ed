// How a file handed over is read, the same for both front ends.
#pragma once

#include <string>

namespace tolvanix {

// A file handed over (an argument, a drop) is joined when its name ends in
// ".001" and split otherwise.
bool OpensAsJoin(const std::string& path);

}  // namespace tolvanix
