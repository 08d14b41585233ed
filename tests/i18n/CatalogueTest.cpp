// The catalogues: the user's language, English for every text, a broken .mo file refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "core/Commands.h"
#include "forms/FormDescriptions.h"
#include "forms/Texts.h"
#include "i18n/Catalogue.h"

using namespace tolvanix;

namespace {

std::vector<char> EnglishMo() {
  for (const EmbeddedCatalogue& c : EmbeddedCatalogues())
    if (c.language == "en") return {c.mo.begin(), c.mo.end()};
  return {};
}

uint32_t Get(const std::vector<char>& mo, size_t at) {
  uint32_t word = 0;
  for (int i = 3; i >= 0; --i) word = word << 8 | static_cast<unsigned char>(mo.at(at + i));
  return word;
}

void Put(std::vector<char>& mo, size_t at, uint32_t word) {
  for (int i = 0; i < 4; ++i) mo.at(at + i) = static_cast<char>(word >> 8 * i);
}

}  // namespace

TEST(Catalogue, LanguageFollowsTheVariablesInTheirOrder) {
  const std::pair<std::map<std::string, std::string>, const char*> rows[] = {
      {{}, ""},
      {{{"LANG", "C.UTF-8"}}, ""},
      {{{"LANG", "POSIX"}, {"LANGUAGE", "en"}}, ""},
      {{{"LANG", "en_US.UTF-8"}}, "en"},
      {{{"LANG", "pt_BR.UTF-8"}}, "pt_BR"},
      {{{"LANG", "pt_PT.UTF-8"}}, "en"},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, ""},
      {{{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}, "en"},
      {{{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "de::pt_BR"}}, "pt_BR"},
  };
  for (const auto& [env, language] : rows) {
    SCOPED_TRACE(::testing::PrintToString(env));
    const auto getenv = [&](const char* name) {
      const auto it = env.find(name);
      return it == env.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(ChooseLanguage(PreferredLanguages(getenv), {"en", "pt_BR"}), language);
  }
  EXPECT_EQ(ChooseLanguage({"ja-JP"}, {"en"}), "") << "as Windows names it";
  EXPECT_EQ(ChooseLanguage({"en-US"}, {"en"}), "en");
}

// Every text of the windows and notices has an English form, marked with N_ or not.
TEST(Catalogue, EnglishHasEveryText) {
  std::vector<std::string> texts;
  for (int o = 0; o <= static_cast<int>(Outcome::Stopped); ++o)
    if (const char* text = NoticeText(static_cast<Outcome>(o))) texts.push_back(text);
  for (const FormDescription* form : {&Form1Description(), &Form2Description()}) {
    texts.push_back(form->caption);
    for (const ControlDescription& c : form->controls) texts.push_back(c.text);
  }
  ASSERT_TRUE(UseLanguage("en"));
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return c > 0; });
    EXPECT_NE(Tr(text) == text, !ascii) << "translated unless it is English already";
  }
  UseLanguage("");
}

TEST(Catalogue, ReadsAMoFileOfEitherOrderAndRefusesABrokenOrCutOne) {
  const std::tuple<const char*, std::function<void(std::vector<char>&)>, bool> rows[] = {
      {"big-endian",
       [](std::vector<char>& mo) {  // every word before the strings turned round
         const uint32_t strings = Get(mo, Get(mo, 12) + 4);
         for (size_t at = 0; at < strings; at += 4)
           std::reverse(mo.begin() + at, mo.begin() + at + 4);
       },
       true},
      {"no magic number", [](std::vector<char>& mo) { mo[0] = 0; }, false},
      {"major revision 2", [](std::vector<char>& mo) { Put(mo, 4, 0x20000); }, false},
      {"translations past the end", [](std::vector<char>& mo) { Put(mo, 16, ~0u - 4); }, false},
      {"a string longer than the file",
       [](std::vector<char>& mo) { Put(mo, Get(mo, 12) + 8, ~0u); }, false},
      {"a string with no closing NUL",
       [](std::vector<char>& mo) { mo.at(Get(mo, Get(mo, 12) + 4)) = 'x'; },
       false},  // the empty one
  };
  for (const auto& [name, alter, reads] : rows) {
    SCOPED_TRACE(name);
    std::vector<char> mo = EnglishMo();
    alter(mo);
    const std::optional<Catalogue> catalogue = Catalogue::Read({mo.data(), mo.size()});
    ASSERT_EQ(catalogue.has_value(), reads);
    if (!reads) continue;
    EXPECT_STREQ(catalogue->Find(kYesButton), "&Yes");
  }
  const std::vector<char> whole = EnglishMo();
  for (size_t size = 0; size < whole.size(); ++size) {
    const std::vector<char> cut(whole.begin(), whole.begin() + size);
    EXPECT_FALSE(Catalogue::Read({cut.data(), cut.size()})) << size << " bytes";
  }
}
