// Checksum lists beside a piece set, and the read-only check of a set.
//
// The split writes STEM.sha256 (pieces D:\out\backup.001 ... give
// D:\out\backup.sha256) in the format of sha256sum: one line per piece, 64
// lowercase hex digits, two spaces, the piece's bare name, "\n". So
// `sha256sum -c backup.sha256` in that folder checks the set, and so do
// 7-Zip or PowerShell's Get-FileHash by hand.
//
// The join and the check take a list beside the set as proof of its bytes
// only when it names exactly this set's pieces, each once. Beside a piece
// they look for STEM.sha256, then STEM.md5 (GNU md5sum) and STEM.sfv (CRC32,
// "name hexcrc" lines, ";" comments): the first usable one counts. A list
// that cannot be read, does not parse or names other files is never trusted
// to refuse a good set: it is ignored and reported as a Note.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Commands.h"
#include "core/Digest.h"
#include "core/FileSystem.h"

namespace tolvanix {

// A list larger than this is no list of a set of at most 999 pieces.
inline constexpr int64_t kMaxListBytes = 1 << 20;

// ".sha256", ".md5" or ".sfv".
const char* ListExtension(HashKind kind);
// The list of `kind` beside a piece: the piece's path without its extension,
// then the list's extension.
std::string ListBeside(std::string_view piecePath, HashKind kind);

struct ListEntry {
  std::string name;  // a bare file name, as written in the list
  std::string hex;   // the digest, lowercase
};

// The whole of a plain file of at most kMaxListBytes that can be opened and
// read; nullopt otherwise.
std::optional<std::string> ReadListFile(FileSystem& fs, const std::string& path);

// The bytes of a list: "HEX  NAME\n" lines for SHA-256 and MD5, "NAME HEX\n"
// for CRC32.
std::string FormatList(HashKind kind, const std::vector<ListEntry>& entries);
// The entries of a list's bytes, or nullopt when a line does not parse. Lines
// may end in "\r\n"; empty lines are skipped. GNU lines may mark the name
// binary ("HEX *NAME") or escape it ("\HEX  NAME" with "\\" and "\n").
std::optional<std::vector<ListEntry>> ParseList(HashKind kind, std::string_view text);

// The digest the list gives for each piece, in piece order, when its
// entries name exactly the pieces in `names` (bare names, compared as the
// platform's file system compares names), each once; else nullopt.
std::optional<std::vector<std::string>> DigestsOfPieces(const std::vector<ListEntry>& entries,
                                                        const std::vector<std::string>& names);

// The bare names of a set's pieces as the join looks for them: the first
// piece's own name, then the first piece's stem with .002, .003, ...
std::vector<std::string> PieceNamesOfSet(std::string_view firstPiece, int32_t count);

struct FoundList {
  HashKind kind = HashKind::Sha256;
  std::string path;
  std::vector<std::string> digests;  // of piece 1, 2, ...
};

// The first usable list beside `piecePath` (.sha256, then .md5, then .sfv)
// for the pieces `names`; each list there that is not usable is told to
// `notes`. A list that is `piecePath` itself, or a file held open, is not read.
std::optional<FoundList> FindListBeside(FileSystem& fs, const std::string& piecePath,
                                        const std::vector<std::string>& names,
                                        const Notes& notes = nullptr);

// --- The check of a set, reading every piece once and writing nothing ------

struct PieceReport {
  std::string path;          // where the piece was found; empty: found nowhere
  int64_t length = -1;       // its length; -1 when not found or not had
  bool lengthHolds = false;  // as long as a piece of this number must be
  enum class Sum {
    NoList,   // no usable list beside the set (and the piece read whole, if found)
    Matches,  // its bytes hash to what the list says
    Differs,  // they do not
    Unread,   // it could not be opened or read whole, or was found nowhere
              // while there is a list
  };
  Sum sum = Sum::NoList;
};

struct SetReport {
  // Done, or why the first piece could not be taken as a set, by the join's
  // own outcomes: PieceOpenFailed, BadFileSize, NameReadFailed,
  // CountReadFailed (a count outside 1 to 999 too); or Stopped.
  Outcome outcome = Outcome::Done;
  std::string storedName;  // the name in the header as the join proposes it
  int32_t count = 0;
  int64_t pieceSize = 0;            // the first piece's length, header included
  std::optional<FoundList> list;    // the list the pieces were checked against
  std::vector<PieceReport> pieces;  // one per piece, in order, once outcome is Done
  // Done, every piece found, of its length, and matching the list if any.
  bool Holds() const;
};

// Reads the header of `firstPiece`, finds every later piece beside the one
// before it or, failing that, in `searchFolders` in their order, then beside
// the first piece, finds the
// list beside the first piece or beside a later one where that one lies, and
// reads every piece once, hashing it when there is a list. Opens nothing for
// writing. `control` sees progress (the share of the bytes read) and may
// stop it between chunks; `notes` hears of ignored lists.
SetReport CheckSet(FileSystem& fs, const std::string& firstPiece,
                   const std::vector<std::string>& searchFolders = {},
                   RunControl* control = nullptr, const Notes& notes = nullptr);

}  // namespace tolvanix
