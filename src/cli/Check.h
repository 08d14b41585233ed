// `check`: the header and every piece of a set read once, each piece's length
// and checksum told on standard output; nothing is written.
#pragma once

#include "cli/Options.h"
#include "cli/ProgressLine.h"
#include "core/Commands.h"
#include "core/FileSystem.h"

namespace tolvanix::cli {

// 0 when the set holds, 1 when it does not or cannot be read.
int RunCheck(const Options& options, FileSystem& fs, ProgressLine& progress, const Notes& notes);

}  // namespace tolvanix::cli
