#include "core/Checksums.h"

#include <algorithm>
#include <map>

#include "core/CommandSupport.h"
#include "core/Cp932.h"
#include "core/PathRules.h"
#include "core/PieceFormat.h"

namespace tolvanix {
namespace {

size_t DigitsOf(HashKind kind) {
  return kind == HashKind::Sha256 ? 64 : kind == HashKind::Md5 ? 32 : 8;
}

// Lowercase, or empty when not `digits` hex digits.
std::string HexField(std::string_view text, size_t digits) {
  if (text.size() != digits) return {};
  std::string hex(text);
  for (char& c : hex) {
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return {};
  }
  return hex;
}

// GNU's escaped name ("\\" and "\n"); nullopt for any other escape.
std::optional<std::string> Unescape(std::string_view name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '\\') {
      out += name[i];
      continue;
    }
    if (++i == name.size()) return std::nullopt;
    if (name[i] == '\\') {
      out += '\\';
    } else if (name[i] == 'n') {
      out += '\n';
    } else {
      return std::nullopt;
    }
  }
  return out;
}

// "HEX  NAME" or "HEX *NAME", GNU's text and binary marks; "\" in front when
// the name is escaped.
std::optional<ListEntry> ParseGnuLine(std::string_view line, size_t digits) {
  const bool escaped = !line.empty() && line[0] == '\\';
  if (escaped) line.remove_prefix(1);
  if (line.size() < digits + 3 || line[digits] != ' ' ||
      (line[digits + 1] != ' ' && line[digits + 1] != '*'))
    return std::nullopt;
  ListEntry entry;
  entry.hex = HexField(line.substr(0, digits), digits);
  std::optional<std::string> name = std::string(line.substr(digits + 2));
  if (escaped) name = Unescape(*name);
  if (entry.hex.empty() || !name) return std::nullopt;
  entry.name = std::move(*name);
  return entry;
}

// "NAME HEXCRC": the name may hold spaces, the CRC is the last word.
std::optional<ListEntry> ParseSfvLine(std::string_view line) {
  const size_t end = line.find_last_not_of(" \t");
  const size_t space = line.find_last_of(" \t", end);
  if (space == std::string_view::npos) return std::nullopt;
  const size_t nameEnd = line.find_last_not_of(" \t", space);
  if (nameEnd == std::string_view::npos) return std::nullopt;
  ListEntry entry{std::string(line.substr(0, nameEnd + 1)),
                  HexField(line.substr(space + 1, end - space), 8)};
  if (entry.hex.empty()) return std::nullopt;
  return entry;
}

}  // namespace

std::optional<std::string> ReadListFile(FileSystem& fs, const std::string& path) {
  const int64_t size = fs.SizeOf(path);
  if (size < 0 || size > kMaxListBytes) return std::nullopt;
  const auto file = fs.OpenRead(path);
  if (!file) return std::nullopt;
  std::string text(static_cast<size_t>(size) + 1, '\0');
  const int64_t got = file->Read(text.data(), size + 1);
  if (got < 0 || got > size) return std::nullopt;
  text.resize(static_cast<size_t>(got));
  return text;
}

namespace {

// The folder + a bare name, with the platform's delimiter when needed.
std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || PathName(folder).empty()) return folder + name;
  return folder + (kNativeStyle == PathStyle::Windows ? "\\" : "/") + name;
}

}  // namespace

std::string HexOf(const unsigned char* bytes, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < n; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  return hex;
}

const char* ListExtension(HashKind kind) {
  return kind == HashKind::Sha256 ? ".sha256" : kind == HashKind::Md5 ? ".md5" : ".sfv";
}

std::string ListBeside(std::string_view piecePath, HashKind kind) {
  return PathStem(piecePath) + ListExtension(kind);
}

std::string FormatList(HashKind kind, const std::vector<ListEntry>& entries) {
  std::string text;
  for (const ListEntry& e : entries) {
    if (kind == HashKind::Crc32) {
      text += e.name + " " + e.hex + "\n";
      continue;
    }
    // A name with a line break is written escaped, as GNU does.
    if (e.name.find('\n') == std::string::npos) {
      text += e.hex + "  " + e.name + "\n";
      continue;
    }
    std::string name;
    for (char c : e.name) name += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : std::string(1, c);
    text += "\\" + e.hex + "  " + name + "\n";
  }
  return text;
}

std::optional<std::vector<ListEntry>> ParseList(HashKind kind, std::string_view text) {
  std::vector<ListEntry> entries;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    if (kind == HashKind::Crc32 && line[0] == ';') continue;
    auto entry = kind == HashKind::Crc32 ? ParseSfvLine(line) : ParseGnuLine(line, DigitsOf(kind));
    if (!entry) return std::nullopt;
    entries.push_back(std::move(*entry));
  }
  return entries;
}

std::optional<std::vector<std::string>> DigestsOfPieces(const std::vector<ListEntry>& entries,
                                                        const std::vector<std::string>& names) {
  std::map<std::string, size_t> index;
  for (size_t k = 0; k < names.size(); ++k) index.emplace(ComparableName(names[k]), k);
  if (entries.size() != names.size() || index.size() != names.size()) return std::nullopt;
  std::vector<std::string> digests(names.size());
  for (const ListEntry& e : entries) {
    const auto found = index.find(ComparableName(e.name));
    if (found == index.end() || !digests[found->second].empty()) return std::nullopt;
    digests[found->second] = e.hex;
  }
  return digests;
}

std::vector<std::string> PieceNamesOfSet(std::string_view firstPiece, int32_t count) {
  std::vector<std::string> names{PathName(firstPiece)};
  for (int64_t k = 2; k <= count; ++k) names.push_back(PathName(PieceName(firstPiece, k)));
  return names;
}

std::optional<FoundList> FindListBeside(FileSystem& fs, const std::string& piecePath,
                                        const std::vector<std::string>& names, const Notes& notes) {
  const auto tell = [&](Note::Kind kind, const std::string& path) {
    if (notes) notes({kind, path});
  };
  for (const HashKind kind : {HashKind::Sha256, HashKind::Md5, HashKind::Crc32}) {
    const std::string path = ListBeside(piecePath, kind);
    if (!fs.Exists(path) || fs.SameFile(path, piecePath)) continue;
    const std::optional<std::string> text = ReadListFile(fs, path);
    const auto entries = text ? ParseList(kind, *text) : std::nullopt;
    if (!entries) {
      tell(Note::ListUnreadable, path);
      continue;
    }
    auto digests = DigestsOfPieces(*entries, names);
    if (!digests) {
      tell(Note::ListOfOtherFiles, path);
      continue;
    }
    return FoundList{kind, path, std::move(*digests)};
  }
  return std::nullopt;
}

bool SetReport::Holds() const {
  if (outcome != Outcome::Done) return false;
  for (const PieceReport& p : pieces) {
    if (p.path.empty() || !p.lengthHolds ||
        (p.sum != PieceReport::Sum::NoList && p.sum != PieceReport::Sum::Matches))
      return false;
  }
  return true;
}

SetReport CheckSet(FileSystem& fs, const std::string& firstPiece,
                   const std::vector<std::string>& searchFolders, RunControl* control,
                   const Notes& notes) {
  SetReport report;
  std::unique_ptr<File> first = fs.OpenRead(firstPiece);
  if (!first) {
    report.outcome = Outcome::PieceOpenFailed;
    return report;
  }
  const FirstPiece head = ReadFirstPiece(*first);
  report.outcome = head.outcome;
  if (report.outcome == Outcome::Done && head.decoded.count > kMaxPieceCount)
    report.outcome = Outcome::CountReadFailed;
  if (report.outcome != Outcome::Done) return report;
  report.storedName = SafeNameFromHeader(head.decoded.cp932Name);
  report.count = head.decoded.count;
  report.pieceSize = head.size;

  // Where each piece lies: beside the one before, or in a search folder. A
  // list may lie beside the first piece, or where a later one turned up.
  const std::vector<std::string> names = PieceNamesOfSet(firstPiece, report.count);
  report.list = FindListBeside(fs, firstPiece, names, notes);
  report.pieces.resize(static_cast<size_t>(report.count));
  report.pieces[0].path = firstPiece;
  std::string previous = firstPiece;
  std::vector<std::string> elsewhere;
  for (int64_t k = 2; k <= report.count; ++k) {
    const std::string expected = PieceName(previous, k);
    std::string found = fs.Exists(expected) ? expected : std::string();
    for (size_t f = 0; found.empty() && f < searchFolders.size(); ++f) {
      const std::string there = InFolder(searchFolders[f], PathName(expected));
      if (fs.Exists(there)) found = there;
    }
    if (const std::string beside = PieceName(firstPiece, k); found.empty() && fs.Exists(beside))
      found = beside;
    if (found.empty()) continue;
    if (found != expected) elsewhere.push_back(found);
    report.pieces[static_cast<size_t>(k - 1)].path = previous = found;
  }
  for (size_t i = 0; !report.list && i < elsewhere.size(); ++i)
    report.list = FindListBeside(fs, elsewhere[i], names, notes);

  // Every piece is read whole, so that one the medium cannot give back shows
  // even without a list.
  int64_t total = 0, done = kHeaderSize;
  for (const PieceReport& p : report.pieces)
    total += p.path.empty() ? 0 : std::max<int64_t>(fs.SizeOf(p.path), 0);
  const auto buffer = ObtainBuffer(kCopyBufferSize);
  const auto hasher = report.list ? MakeHasher(report.list->kind) : nullptr;
  for (int64_t k = 1; k <= report.count; ++k) {
    PieceReport& piece = report.pieces[static_cast<size_t>(k - 1)];
    piece.sum = hasher ? PieceReport::Sum::Unread : PieceReport::Sum::NoList;
    std::unique_ptr<File> file = k == 1 ? std::move(first) : nullptr;
    if (!piece.path.empty() && !file) file = fs.OpenRead(piece.path);
    if (!file) continue;
    piece.length = file->Size();
    piece.lengthHolds = PieceLengthFits(piece.length, k, report.count, report.pieceSize) &&
                        (k > 1 || report.count == 1 || report.pieceSize % 1024 == 0);
    if (k == 1 && hasher) hasher->Update(head.header.data(), head.header.size());
    int64_t got = buffer ? 0 : -1;
    while (buffer && (got = file->Read(buffer.get(), kCopyBufferSize)) > 0) {
      if (control && control->StopRequested()) {
        report.outcome = Outcome::Stopped;
        return report;
      }
      if (hasher) hasher->Update(buffer.get(), static_cast<size_t>(got));
      done += got;
      if (control && total > 0)
        control->Progress(static_cast<double>(done) / static_cast<double>(total));
    }
    const std::string digest = hasher ? hasher->HexDigest() : std::string();
    if (got < 0) {
      piece.sum = PieceReport::Sum::Unread;
    } else if (hasher) {
      piece.sum = digest == report.list->digests[static_cast<size_t>(k - 1)]
                      ? PieceReport::Sum::Matches
                      : PieceReport::Sum::Differs;
    }
  }
  return report;
}

}  // namespace tolvanix
