#include "i18n/Catalogue.h"

#include <algorithm>
#include <atomic>
#include <map>

namespace tolvanix {

namespace {

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

std::optional<Catalogue> Catalogue::Read(std::string_view mo) {
  Catalogue catalogue;
  catalogue.mo_ = mo;
  if (mo.size() < 20) return std::nullopt;
  const uint32_t magic = catalogue.Word(0);
  if (magic != 0x950412de) {
    if (magic != 0xde120495) return std::nullopt;
    catalogue.bigEndian_ = true;
  }
  if (catalogue.Word(4) >> 16 > 1) return std::nullopt;  // a major revision we do not know
  catalogue.count_ = catalogue.Word(8);
  catalogue.originals_ = catalogue.Word(12);
  catalogue.translations_ = catalogue.Word(16);
  // Every string checked once here, so that a look-up needs no check.
  for (uint32_t i = 0; i < catalogue.count_; ++i) {
    if (!catalogue.String(catalogue.originals_, i) || !catalogue.String(catalogue.translations_, i))
      return std::nullopt;
  }
  return catalogue;
}

// The four bytes at `at`, which the caller has found inside the file.
uint32_t Catalogue::Word(uint64_t at) const {
  uint32_t word = 0;
  for (int i = 0; i < 4; ++i) {
    const uint32_t byte = static_cast<unsigned char>(mo_[at + (bigEndian_ ? i : 3 - i)]);
    word = word << 8 | byte;
  }
  return word;
}

std::optional<std::string_view> Catalogue::String(uint32_t table, uint32_t index) const {
  const uint64_t at = uint64_t{table} + uint64_t{index} * 8;
  if (at + 8 > mo_.size()) return std::nullopt;
  const uint64_t length = Word(at), offset = Word(at + 4);
  if (offset + length >= mo_.size() || mo_[offset + length] != '\0') return std::nullopt;
  return mo_.substr(offset, length);
}

const char* Catalogue::Find(std::string_view msgid) const {
  if (msgid.empty()) return nullptr;  // the header's key
  // msgfmt sorts the originals as strcmp does, byte by byte.
  uint32_t low = 0, high = count_;
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    const int order = String(originals_, middle)->compare(msgid);
    if (order == 0) return String(translations_, middle)->data();
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return nullptr;
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
  static std::map<std::string, std::optional<Catalogue>> read;
  const Catalogue* catalogue = nullptr;
  for (const EmbeddedCatalogue& c : EmbeddedCatalogues()) {
    if (language.empty() || c.language != language) continue;
    const auto [slot, first] = read.try_emplace(language);
    if (first) slot->second = Catalogue::Read(c.mo);
    if (slot->second) catalogue = &*slot->second;
  }
  Current().catalogue = catalogue;
  Current().language = catalogue ? language : "";
  return catalogue || language.empty();
}

const std::string& CurrentLanguage() { return Current().language; }

const char* Tr(const char* text) {
  const Catalogue* catalogue = Current().catalogue;
  const char* translated = catalogue ? catalogue->Find(text) : nullptr;
  return translated ? translated : text;
}

std::string Tr(const std::string& text) { return Tr(text.c_str()); }

}  // namespace tolvanix
