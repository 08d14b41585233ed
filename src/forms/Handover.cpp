#include "forms/Handover.h"

#include <algorithm>
#include <string_view>

#include "forms/Texts.h"
#include "i18n/Catalogue.h"

namespace tolvanix {

namespace {

const char* const kHelp =
    N_("使い方: tolvanix [オプション] [FILE]\n"
       "ファイルを番号付きの分割ファイルに分け、元どおりに結合します。\n"
       "名前が .001 で終わる FILE は結合し、それ以外の FILE は分割します。\n"
       "\n"
       "オプション:\n"
       "  -h, --help     このヘルプを表示します。\n"
       "  -v, --version  バージョンを表示します。\n"
       "\n"
       "引数:\n"
       "  FILE           分割するファイル、または結合する最初の分割ファイル\n"
       "                 (パスまたは file:// URI)。\n");

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(),
                                                    [](char p, char t) { return p == Lower(t); });
}

bool IsFileUri(std::string_view text) { return StartsWithNoCase(text, "file:"); }

// "https://..." and the like; a single letter before the colon is a drive.
bool IsUri(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;
  const auto letter = [](char c) { return (Lower(c) >= 'a' && Lower(c) <= 'z'); };
  return letter(text[0]) && std::all_of(text.begin() + 1, text.begin() + colon, [&](char c) {
           return letter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
         });
}

// The path a file: URI names; "localhost" is this machine, as no host is.
std::string PathOfUri(const std::string& uri, const HandoverFacts& facts) {
  constexpr std::string_view kLocalhost = "file://localhost";
  const size_t after = kLocalhost.size();
  if (StartsWithNoCase(uri, kLocalhost) && (uri.size() == after || uri[after] == '/')) {
    return facts.PathOfUri("file://" + uri.substr(after));
  }
  return facts.PathOfUri(uri);
}

bool OpensAsJoin(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".001") == 0;
}

// The options and files of a command line, read as Qt's QCommandLineParser
// reads them (short options may be run together: "-hv"), so that the
// messages on standard error read as the toolkit's own.
struct Options {
  bool help = false;
  bool version = false;
  std::vector<std::string> unknown;  // their names
  std::string badValue;              // the message about a value given to an option
  std::string refused;               // the first argument refused, for the notice
  std::vector<std::string> files;
};

Options Parse(const std::vector<std::string>& arguments, OptionStyle style) {
  Options o;
  bool filesOnly = false;
  for (const std::string& a : arguments) {
    const size_t unknownBefore = o.unknown.size();
    bool bad = false;
    if (filesOnly || a.size() < 2 ||
        (a[0] != '-' && !(style == OptionStyle::Windows && a == "/?"))) {
      o.files.push_back(a);
      continue;
    }
    if (a == "--") {
      filesOnly = true;
      continue;
    }
    if (a == "/?") {
      o.help = true;
    } else if (a[1] == '-') {
      const size_t equals = a.find('=');
      const std::string name = a.substr(2, equals - 2);
      if (name == "help" || name == "help-all") {
        o.help = true;
      } else if (name == "version") {
        o.version = true;
      } else {
        o.unknown.push_back(name);
      }
      if (o.unknown.size() == unknownBefore && equals != std::string::npos) {
        o.badValue = "Unexpected value after '" + a.substr(0, equals) + "'.";
        bad = true;
      }
    } else {
      for (size_t i = 1; i < a.size();) {
        size_t end = i + 1;  // one character: a UTF-8 lead byte and what follows it
        while (end < a.size() && (static_cast<unsigned char>(a[end]) & 0xC0) == 0x80) ++end;
        const std::string name = a.substr(i, end - i);
        if (name == "h") {
          o.help = true;
        } else if (name == "v") {
          o.version = true;
        } else {
          o.unknown.push_back(name);
        }
        i = end;
      }
    }
    if ((bad || o.unknown.size() != unknownBefore) && o.refused.empty()) o.refused = a;
  }
  return o;
}

Handover Refused(std::string error, std::string notice) {
  Handover h;
  h.action = Handover::Action::Notice;
  h.text = std::move(notice);
  h.error = std::move(error);
  return h;
}

}  // namespace

Handover ReadArguments(const std::vector<std::string>& arguments, const HandoverFacts& facts,
                       OptionStyle style, const std::string& version) {
  const Options o = Parse(arguments, style);
  Handover h;
  if (!o.refused.empty()) {
    std::string error = o.badValue;
    if (error.empty() && o.unknown.size() == 1) error = "Unknown option '" + o.unknown[0] + "'.";
    if (error.empty()) {
      error = "Unknown options: " + o.unknown[0];
      for (size_t i = 1; i < o.unknown.size(); ++i) error += ", " + o.unknown[i];
      error += ".";
    }
    return Refused(error, Tr(kUnknownOption) + std::string("\r\n") + o.refused);
  }
  if (o.help) {
    h.action = Handover::Action::Help;
    h.text = Tr(kHelp);
    return h;
  }
  if (o.version) {
    h.action = Handover::Action::Version;
    h.text = std::string(kApplicationTitle) + " " + version + "\n";
    return h;
  }
  if (o.files.empty()) return h;
  if (o.files.size() > 1) {
    return Refused("one file at a time, not " + std::to_string(o.files.size()), Tr(kOneFileOnly));
  }
  const std::string& given = o.files[0];
  const std::string path = IsFileUri(given) ? PathOfUri(given, facts) : given;
  // A folder goes on to the command, which refuses it as it does when it is
  // chosen in its dialog.
  if (path.empty() || facts.KindOf(path) == HandoverFacts::Kind::Missing) {
    const std::string& named = path.empty() ? given : path;
    return Refused(named + ": No such file or directory",
                   Tr(kFileNotFound) + std::string("\r\n") + named);
  }
  h.action = Handover::Action::Open;
  h.file.path = facts.Absolute(path);
  h.file.join = OpensAsJoin(h.file.path);
  return h;
}

DropAnswer ReadDrop(const Drop& drop, const HandoverFacts& facts) {
  DropAnswer answer;
  const DropEffect effect = drop.copyOffered   ? DropEffect::Copy
                            : drop.linkOffered ? DropEffect::Link
                                               : DropEffect::None;
  if (drop.busy || drop.entries.size() != 1 || effect == DropEffect::None) return answer;
  const std::string& entry = drop.entries[0];
  if (IsUri(entry) && !IsFileUri(entry)) return answer;  // not on this machine
  const std::string path = IsFileUri(entry) ? PathOfUri(entry, facts) : entry;
  if (path.empty() || facts.KindOf(path) != HandoverFacts::Kind::File) return answer;
  answer.effect = effect;
  answer.file.path = facts.Absolute(path);
  answer.file.join = drop.on == DroppedOn::Button2 ||
                     (drop.on == DroppedOn::Elsewhere && OpensAsJoin(answer.file.path));
  return answer;
}

}  // namespace tolvanix
