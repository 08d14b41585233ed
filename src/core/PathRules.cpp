#include "core/PathRules.h"

#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// A byte is the second half of a double-byte character when an odd run of
// lead bytes stands right before it. UTF-8 never fakes a "/", so the Posix
// style needs no such test.
bool IsTrailByte(std::string_view path, size_t i) {
  size_t run = 0;
  while (run < i && IsLeadByte(static_cast<unsigned char>(path[i - 1 - run]))) ++run;
  return run % 2 == 1;
}

std::string_view FolderDelimiters(PathStyle style) {
  switch (style) {
    case PathStyle::Windows:
      return "\\:";
    case PathStyle::WindowsUtf8:
      return "\\/:";
    case PathStyle::Posix:
      break;
  }
  return "/";
}

bool IsSeparator(char c, PathStyle style) {
  return c == '\\' || (c == '/' && style == PathStyle::WindowsUtf8);
}

// Position of the last byte of `set` that is a real delimiter, or npos.
size_t LastDelimiter(std::string_view path, std::string_view set, PathStyle style) {
  for (size_t i = path.size(); i-- > 0;) {
    if (set.find(path[i]) == std::string_view::npos) continue;
    if (style == PathStyle::Windows && IsTrailByte(path, i)) continue;
    return i;
  }
  return std::string_view::npos;
}

// First real "\" (or "/" on UTF-8 paths) at or after `from`, or npos.
size_t NextSeparator(std::string_view path, size_t from, PathStyle style) {
  for (size_t i = from; i < path.size(); ++i) {
    if (IsSeparator(path[i], style) && !(style == PathStyle::Windows && IsTrailByte(path, i)))
      return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string PathName(std::string_view path, PathStyle style) {
  const size_t at = LastDelimiter(path, FolderDelimiters(style), style);
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string PathFolder(std::string_view path, PathStyle style) {
  const size_t at = LastDelimiter(path, FolderDelimiters(style), style);
  return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string PathExtension(std::string_view path, PathStyle style) {
  const std::string set = std::string(".") + std::string(FolderDelimiters(style));
  const size_t at = LastDelimiter(path, set, style);
  if (at == std::string_view::npos || path[at] != '.') return {};
  return std::string(path.substr(at));
}

std::string PathStem(std::string_view path, PathStyle style) {
  return std::string(path.substr(0, path.size() - PathExtension(path, style).size()));
}

std::string PathDrive(std::string_view path, PathStyle style) {
  if (style == PathStyle::Posix) return {};
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  if (path.size() >= 2 && IsSeparator(path[0], style) && IsSeparator(path[1], style)) {
    const size_t serverEnd = NextSeparator(path, 2, style);
    if (serverEnd == std::string_view::npos) return std::string(path);
    const size_t shareEnd = NextSeparator(path, serverEnd + 1, style);
    return std::string(shareEnd == std::string_view::npos ? path : path.substr(0, shareEnd));
  }
  return {};
}

std::string FolderOrCurrent(std::string_view path, PathStyle style) {
  std::string folder = PathFolder(path, style);
  return folder.empty() ? std::string(".") : folder;
}

std::string VolumeRoot(std::string_view path, PathStyle style) {
  if (style == PathStyle::Posix) return FolderOrCurrent(path, style);
  return PathDrive(path, style) + "\\";
}

std::string ComparableName(std::string_view name, PathStyle style) {
  std::string out(name);
  if (style == PathStyle::Posix) return out;
  out.erase(out.find_last_not_of(". ") + 1);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string PieceName(std::string_view stemOf, int64_t k, PathStyle style) {
  return PathStem(stemOf, style) + "." + IntToStrl(k, 3);
}

std::string ProposableName(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c == '*' || c == '?') c = '_';
  }
  return out;
}

std::string NextSplitPiece(std::string_view piecePath, int64_t k) {
  const size_t keep = piecePath.size() >= 3 ? piecePath.size() - 3 : 0;
  return std::string(piecePath.substr(0, keep)) + IntToStrl(k, 3);
}

std::string PieceInFolderOf(std::string_view chosen, std::string_view expected, PathStyle style) {
  return PathFolder(chosen, style) + PathName(expected, style);
}

}  // namespace tolvanix
