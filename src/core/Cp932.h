// The header's name field holds code page 932 (Shift-JIS) bytes; Linux file
// names are UTF-8. Both directions go through glibc iconv.
#pragma once

#include <string>
#include <string_view>

namespace tolvanix {

// UTF-8 file name -> name field bytes. A character code page 932 cannot hold
// (or a byte that is not UTF-8) becomes "_"; the result is cut at a character
// boundary to at most 257 bytes so a NUL always ends it.
std::string HeaderNameFromUtf8(std::string_view utf8Name);

// Stored name bytes -> a safe bare UTF-8 file name to propose: undecodable
// bytes, control characters, "*" and "?" become "_", everything up to the
// last "/" is dropped, and "." or ".." become "_". Empty stays empty.
std::string SafeNameFromHeader(std::string_view cp932Name);

// Plain decoding for display and tests; undecodable bytes become "_".
std::string Utf8FromCp932(std::string_view cp932);

}  // namespace tolvanix
