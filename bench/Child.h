// The bench's hidden child mode: one real split or join in a process of its
// own, so its peak memory and start-up are measured like a GNU tool's.
#pragma once

namespace tolvanix::bench {

// First argument that selects the child mode.
inline constexpr const char* kChildFlag = "--child";

//   --child split SOURCE DESTINATION KB [--no-checksum]
//                           (pieces DESTINATION's stem .001 ..., and its .sha256)
//   --child join FIRST_PIECE OUTPUT [--verified]  (the list beside must be verified)
// 0 when the command ended Done without a word to the user; else 1.
int RunChild(int argc, char** argv);

}  // namespace tolvanix::bench
