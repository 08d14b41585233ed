// Path rules shared by the split and the join, in two styles:
//  - Windows: "\", "/" and ":" delimit folders, drives and network shares
//    exist. Paths are UTF-8 here, whose bytes never fake a delimiter, so no
//    byte needs the code page 932 lead-byte test that ANSI paths did;
//  - Posix: "/" is the only delimiter, there are no drives, and the root of the
//    volume holding a path is that path's folder ("." when it has none).
// Each program uses its own platform's style. Lengths are in bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvanix {

enum class PathStyle { Windows, Posix };

// The style this build runs with.
#ifdef _WIN32
inline constexpr PathStyle kNativeStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativeStyle = PathStyle::Posix;
#endif

// Everything after the last folder delimiter; the whole path if none.
std::string PathName(std::string_view path, PathStyle style = kNativeStyle);
// Everything up to and including the last folder delimiter; empty if none.
std::string PathFolder(std::string_view path, PathStyle style = kNativeStyle);
// From the last "." to the end when no folder delimiter follows it; else empty.
std::string PathExtension(std::string_view path, PathStyle style = kNativeStyle);
// The path without its extension.
std::string PathStem(std::string_view path, PathStyle style = kNativeStyle);
// The folder of the path, or "." when it has none: a folder that can be asked
// about.
std::string FolderOrCurrent(std::string_view path, PathStyle style = kNativeStyle);
// "C:", "\\server\share", or empty. Always empty in the Posix style.
std::string PathDrive(std::string_view path, PathStyle style = kNativeStyle);
// Root of the volume holding the path: drive + "\" (both Windows styles); the
// folder of the path, or "." when it has none (Posix).
std::string VolumeRoot(std::string_view path, PathStyle style = kNativeStyle);

// A name as the file system of `style`'s platform tells names apart: on
// Windows without the trailing dots and spaces it drops and with ASCII letters
// in one case ("Photo.002." names photo.002); as it is on Linux.
std::string ComparableName(std::string_view name, PathStyle style = kNativeStyle);

// --- Names the commands form ---------------------------------------------

// stem + "." + three-digit number text of k.
std::string PieceName(std::string_view stemOf, int64_t k, PathStyle style = kNativeStyle);
// A name to propose in a file dialog: "*" and "?" become "_", since the
// dialog takes a name holding them as a pattern to list by.
std::string ProposableName(std::string_view name);
// The split's next piece: the last three bytes replaced by the number text.
std::string NextSplitPiece(std::string_view piecePath, int64_t k);
// The join's piece found elsewhere: folder of the chosen path + name of the
// expected one.
std::string PieceInFolderOf(std::string_view chosen, std::string_view expected,
                            PathStyle style = kNativeStyle);

}  // namespace tolvanix
