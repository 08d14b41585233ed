#include "core/PathRules.h"

#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

std::string_view FolderDelimiters(PathStyle style) {
  return style == PathStyle::Windows ? "\\/:" : "/";
}

// Drives and shares are Windows': there both count.
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// First "\" or "/" at or after `from`, or npos.
size_t NextSeparator(std::string_view path, size_t from) {
  for (size_t i = from; i < path.size(); ++i) {
    if (IsSeparator(path[i])) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string PathName(std::string_view path, PathStyle style) {
  const size_t at = path.find_last_of(FolderDelimiters(style));
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string PathFolder(std::string_view path, PathStyle style) {
  const size_t at = path.find_last_of(FolderDelimiters(style));
  return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string PathExtension(std::string_view path, PathStyle style) {
  const std::string set = std::string(".") + std::string(FolderDelimiters(style));
  const size_t at = path.find_last_of(set);
  if (at == std::string_view::npos || path[at] != '.') return {};
  return std::string(path.substr(at));
}

std::string PathStem(std::string_view path, PathStyle style) {
  return std::string(path.substr(0, path.size() - PathExtension(path, style).size()));
}

std::string PathDrive(std::string_view path, PathStyle style) {
  if (style == PathStyle::Posix) return {};
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    const size_t serverEnd = NextSeparator(path, 2);
    if (serverEnd == std::string_view::npos) return std::string(path);
    const size_t shareEnd = NextSeparator(path, serverEnd + 1);
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
