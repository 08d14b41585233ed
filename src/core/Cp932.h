// The header's name field holds code page 932 (Shift-JIS) bytes; file names in
// the core are UTF-8. The rules live here once; only the conversion of one
// character is the platform's (glibc iconv on Linux, WideCharToMultiByte and
// MultiByteToWideChar on Windows), and where the two disagree the rules follow
// Windows, so both builds write the same bytes for every name.
#pragma once

#include <string>
#include <string_view>

#include "core/PathRules.h"

namespace tolvanix {

// UTF-8 file name -> name field bytes. A character code page 932 cannot hold
// exactly (or a byte that is not UTF-8) becomes "_"; the result is cut at a
// character boundary to at most 257 bytes so a NUL always ends it.
std::string HeaderNameFromUtf8(std::string_view utf8Name);

// Stored name bytes -> a safe bare UTF-8 file name to propose, by the rules of
// `style`'s platform. Always: undecodable bytes and control characters become
// "_", and "." or ".." become "_".
//  - Posix: everything up to the last "/" is dropped; "*" and "?" become "_".
//  - Windows (either style): everything up to the last "\" or "/" is dropped;
//    every other character Windows forbids in a name (": * ? \" < > |")
//    becomes "_", so does a trailing dot or space, and a
//    reserved device name (CON, NUL, COM1, LPT1, ... with any extension) gets
//    a "_" in front.
// Empty stays empty.
std::string SafeNameFromHeader(std::string_view cp932Name, PathStyle style = kNativeStyle);

// Plain decoding for display and tests; undecodable bytes become "_".
std::string Utf8FromCp932(std::string_view cp932);

// --- The platform's primitive, one character at a time --------------------

// The code page 932 bytes of one Unicode character; empty when the code page
// has no exact equivalent (no best fit).
std::string Cp932FromCodePoint(char32_t c);
// The Unicode character of one code page 932 character (one byte, or a lead
// byte and its trail byte); 0 when the code page defines none.
char32_t CodePointFromCp932(std::string_view c);

}  // namespace tolvanix
