// The bench's files: the generated source and the byte-for-byte checks of
// every output against it, streamed through small buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvanix::bench {

// `size` bytes of a fixed pseudo-random stream: nothing a filesystem could
// compress or leave sparse. Throws on failure.
void MakeSource(const std::string& path, int64_t size, uint64_t seed);

// Empty when the files, read one after another with the first `skip` bytes
// left out, hold exactly the source's bytes; else what differs.
std::string CompareConcatenation(const std::vector<std::string>& files, int64_t skip,
                                 const std::string& source);

}  // namespace tolvanix::bench
