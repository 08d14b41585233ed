#include "i18n/Catalogue.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>

namespace tolvanix {

namespace {

std::string_view Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The text of a quoted .po string with its escapes undone.
std::optional<std::string> Unquoted(std::string_view s) {
  if (s.size() < 2 || s.front() != '"' || s.back() != '"') return std::nullopt;
  std::string text;
  for (size_t i = 1; i + 1 < s.size(); ++i) {
    if (s[i] == '"') return std::nullopt;
    if (s[i] != '\\') {
      text += s[i];
      continue;
    }
    if (++i + 1 >= s.size()) return std::nullopt;
    static constexpr std::string_view kFrom = "ntr\"\\abfv", kTo = "\n\t\r\"\\\a\b\f\v";
    const size_t k = kFrom.find(s[i]);
    if (k == std::string_view::npos) return std::nullopt;
    text += kTo[k];
  }
  return text;
}

// "en_US.UTF-8@euro" and "en-US" as "en_US".
std::string Normalised(std::string_view name) {
  std::string n(name.substr(0, name.find_first_of(".@")));
  std::replace(n.begin(), n.end(), '-', '_');
  return n;
}

bool IsC(const std::string& normalised) { return normalised == "C" || normalised == "POSIX"; }

struct InUse {
  std::string language;
  std::atomic<const Catalogue*> catalogue{nullptr};
};

InUse& Current() {
  static InUse current;
  return current;
}

}  // namespace

std::optional<Catalogue> Catalogue::Parse(std::string_view po) {
  if (po.starts_with("\xEF\xBB\xBF")) po.remove_prefix(3);
  enum class Field { None, Context, Id, Plural, String, PluralString };
  struct Entry {
    std::string context, id, str;
    bool hasContext = false, fuzzy = false, plural = false;
  };
  Catalogue catalogue;
  Entry entry;
  Field field = Field::None;
  bool fuzzyNext = false;
  std::string ignored;  // plural forms
  std::string* target = nullptr;
  const auto finish = [&] {
    if (field == Field::String && !entry.fuzzy && !entry.plural && !entry.id.empty() &&
        !entry.str.empty()) {
      catalogue.entries_[entry.hasContext ? entry.context + '\x04' + entry.id : entry.id] =
          entry.str;
    }
    entry = {};
    entry.fuzzy = std::exchange(fuzzyNext, false);
    field = Field::None;
  };
  while (!po.empty()) {
    const size_t end = po.find('\n');
    const std::string_view line = Trimmed(po.substr(0, end));
    po.remove_prefix(end == std::string_view::npos ? po.size() : end + 1);
    if (line.empty()) continue;
    if (line.front() == '#') {
      if (line.starts_with("#,") && line.find("fuzzy") != std::string_view::npos) fuzzyNext = true;
      continue;
    }
    std::string_view quoted = line;
    if (line.front() != '"') {
      const std::string_view keyword = line.substr(0, line.find_first_of(" \t"));
      quoted = Trimmed(line.substr(keyword.size()));
      const bool ended = field == Field::String || field == Field::PluralString;
      if (keyword == "msgctxt" || keyword == "msgid") {
        if (ended || field == Field::None) finish();
        if (keyword == "msgctxt" ? field != Field::None
                                 : field != Field::None && field != Field::Context) {
          return std::nullopt;
        }
        if (keyword == "msgctxt") entry.hasContext = true;
        field = keyword == "msgctxt" ? Field::Context : Field::Id;
        target = keyword == "msgctxt" ? &entry.context : &entry.id;
      } else if (keyword == "msgid_plural" && field == Field::Id) {
        entry.plural = true;
        field = Field::Plural;
        target = &ignored;
      } else if (keyword == "msgstr" && field == Field::Id) {
        field = Field::String;
        target = &entry.str;
      } else if (keyword.starts_with("msgstr[") &&
                 (field == Field::Plural || field == Field::PluralString)) {
        field = Field::PluralString;
        target = &ignored;
      } else {
        return std::nullopt;
      }
    } else if (field == Field::None) {
      return std::nullopt;
    }
    const std::optional<std::string> text = Unquoted(quoted);
    if (!text) return std::nullopt;
    *target += *text;
  }
  if (field != Field::None && field != Field::String && field != Field::PluralString) {
    return std::nullopt;
  }
  finish();
  return catalogue;
}

const std::string* Catalogue::Find(std::string_view msgid) const {
  const auto it = entries_.find(msgid);
  return it == entries_.end() ? nullptr : &it->second;
}

std::vector<std::string> PreferredLanguages(const std::function<const char*(const char*)>& getenv) {
  const auto get = [&](const char* name) {
    const char* value = getenv(name);
    return std::string(value ? value : "");
  };
  std::string locale = get("LC_ALL");
  if (locale.empty()) locale = get("LC_MESSAGES");
  if (locale.empty()) locale = get("LANG");
  if (locale.empty()) return {"C"};
  if (IsC(Normalised(locale))) return {locale};
  std::vector<std::string> preferred;
  const std::string list = get("LANGUAGE");
  for (size_t from = 0; from <= list.size();) {
    const size_t colon = std::min(list.find(':', from), list.size());
    if (colon > from) preferred.push_back(list.substr(from, colon - from));
    from = colon + 1;
  }
  preferred.push_back(locale);
  return preferred;
}

std::string ChooseLanguage(const std::vector<std::string>& preferred,
                           const std::vector<std::string>& available) {
  const auto has = [&](const std::string& name) {
    return std::find(available.begin(), available.end(), name) != available.end();
  };
  for (const std::string& name : preferred) {
    const std::string whole = Normalised(name);
    const std::string language = whole.substr(0, whole.find('_'));
    if (IsC(whole) || language == "ja") return "";
    if (has(whole)) return whole;
    if (has(language)) return language;
  }
  return "en";
}

std::vector<std::string> EmbeddedLanguages() {
  std::vector<std::string> languages;
  for (const EmbeddedCatalogue& c : EmbeddedCatalogues()) languages.emplace_back(c.language);
  return languages;
}

bool UseLanguage(const std::string& language) {
  // Every catalogue read stays: a text handed out before a change stays valid.
  static std::map<std::string, std::unique_ptr<const Catalogue>> read;
  const Catalogue* catalogue = nullptr;
  for (const EmbeddedCatalogue& c : EmbeddedCatalogues()) {
    if (language.empty() || c.language != language) continue;
    std::unique_ptr<const Catalogue>& slot = read[language];
    if (!slot) {
      if (std::optional<Catalogue> parsed = Catalogue::Parse(c.po)) {
        slot = std::make_unique<const Catalogue>(std::move(*parsed));
      }
    }
    catalogue = slot.get();
  }
  Current().catalogue = catalogue;
  Current().language = catalogue ? language : "";
  return catalogue || language.empty();
}

const std::string& CurrentLanguage() { return Current().language; }

const char* Tr(const char* text) {
  const Catalogue* catalogue = Current().catalogue;
  const std::string* translated = catalogue ? catalogue->Find(text) : nullptr;
  return translated ? translated->c_str() : text;
}

std::string Tr(const std::string& text) { return Tr(text.c_str()); }

}  // namespace tolvanix
