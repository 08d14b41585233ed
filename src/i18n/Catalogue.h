// The program's texts in the user's language. Japanese is the source: every
// text is written in the code in Japanese, and that text is the key (msgid)
// of its translation in one gettext catalogue per language, po/LANG.po,
// which the build checks and compiles with msgfmt and embeds as a .mo file.
// The language is chosen once at start; until then, and where no catalogue
// fits, the texts are the Japanese ones as written.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolvanix {

// Marks a text for the catalogue where it is defined (xgettext's keyword);
// Tr translates it where it is shown.
constexpr const char* N_(const char* text) { return text; }

// One language's translations in the bytes of a GNU .mo file, which it reads
// in place: the bytes must outlive it.
class Catalogue {
 public:
  // nullopt when the bytes are no .mo file of either byte order, or any of
  // its strings lies outside them or lacks its closing NUL.
  static std::optional<Catalogue> Read(std::string_view mo);

  // The translation of `msgid`, NUL-terminated inside the bytes, or null.
  const char* Find(std::string_view msgid) const;

 private:
  uint32_t Word(uint64_t at) const;
  std::optional<std::string_view> String(uint32_t table, uint32_t index) const;

  std::string_view mo_;
  bool bigEndian_ = false;
  uint32_t count_ = 0, originals_ = 0, translations_ = 0;
};

// The catalogues built into the program, one per file in po/: the file's
// name without ".po" (as "en" or "pt_BR") and its .mo bytes.
struct EmbeddedCatalogue {
  std::string_view language;
  std::string_view mo;
};
std::span<const EmbeddedCatalogue> EmbeddedCatalogues();

// The languages the user asks for, best first, as the environment gives them
// on Linux, read with `getenv`: the first set of LC_ALL, LC_MESSAGES and LANG
// is the locale; before it, the list in LANGUAGE, which (as gettext does) is
// ignored when the locale is C or POSIX. No locale at all is C.
std::vector<std::string> PreferredLanguages(const std::function<const char*(const char*)>& getenv);

// The languages the user asks for on this platform: on Linux as above; on
// Windows the same where one of those variables is set, else the user's
// display language.
std::vector<std::string> UsersLanguages();

// The catalogue for the first of `preferred` (locale names such as
// "en_US.UTF-8", or "en-US" as Windows writes them) that is Japanese, C or
// POSIX (then "": the source texts) or has a catalogue in `available`, by
// its whole name or by its language alone. None of them: "en".
std::string ChooseLanguage(const std::vector<std::string>& preferred,
                           const std::vector<std::string>& available);

// The languages of the embedded catalogues.
std::vector<std::string> EmbeddedLanguages();

// Shows every text in `language` from here on: "" for Japanese, else an
// embedded catalogue. False (and Japanese) when there is none such or it
// does not read. Called once at start, before any window or run exists.
bool UseLanguage(const std::string& language);
const std::string& CurrentLanguage();

// A text in the language in use: its translation, or the text itself.
// The pointer lives as long as the program.
const char* Tr(const char* text);
std::string Tr(const std::string& text);

}  // namespace tolvanix
