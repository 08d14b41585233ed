// The catalogues: how a .po file reads, which language the user gets, that
// English has every text, and how an English window makes room for its texts.
#include <gtest/gtest.h>

#include <map>

#include "core/Commands.h"
#include "forms/FormLayout.h"
#include "forms/Texts.h"
#include "i18n/Catalogue.h"

using namespace tolvanix;

TEST(Catalogue, ReadsAPoFileAsGettextDoes) {
  const auto parsed = Catalogue::Parse(
      "\xEF\xBB\xBF# comment\r\nmsgid \"\"\nmsgstr \"Language: en\\n\"\n\n"
      "#. a two-line text\nmsgid \"\"\n\"行\\r\\n\"\n\"\\\"b\\\\\"\nmsgstr \"A\\r\\n\"\n  \"B\"\n"
      "#, fuzzy\nmsgid \"f\"\nmsgstr \"F\"\n"
      "msgid \"u\"\nmsgstr \"\"\n"
      "msgid \"p\"\nmsgid_plural \"ps\"\nmsgstr[0] \"P\"\nmsgstr[1] \"Ps\"\n"
      "msgctxt \"c\"\nmsgid \"x\"\nmsgstr \"X\"\n");
  ASSERT_TRUE(parsed);
  const std::map<std::string, std::string, std::less<>> expected{{"行\r\n\"b\\", "A\r\nB"},
                                                                 {"c\x04x", "X"}};
  EXPECT_EQ(parsed->entries(), expected) << "header, fuzzy, untranslated and plural left out";
  for (const char* broken : {"msgid \"a\nmsgstr \"b\"", "msgstr \"b\"", "msgid \"a\"\nmsgfoo \"b\"",
                             "msgid \"a\"", "\"b\"", "msgid \"a\\q\"\nmsgstr \"b\""}) {
    EXPECT_FALSE(Catalogue::Parse(broken)) << broken;
  }
}

TEST(Catalogue, LanguageFollowsTheVariablesInTheirOrder) {
  struct Row {
    std::map<std::string, std::string> env;
    const char* language;
  };
  const Row rows[] = {
      {{}, ""},
      {{{"LANG", "C.UTF-8"}}, ""},
      {{{"LANG", "POSIX"}, {"LANGUAGE", "en"}}, ""},
      {{{"LANG", "ja_JP.UTF-8"}}, ""},
      {{{"LANG", "en_US.UTF-8"}}, "en"},
      {{{"LANG", "de_DE.UTF-8@euro"}}, "en"},
      {{{"LANG", "pt_BR.UTF-8"}}, "pt_BR"},
      {{{"LANG", "pt_PT.UTF-8"}}, "en"},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, ""},
      {{{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}, "en"},
      {{{"LC_ALL", "C"}, {"LANGUAGE", "en"}}, ""},
      {{{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "de::pt_BR"}}, "pt_BR"},
  };
  for (const Row& r : rows) {
    std::string trace;
    for (const auto& [name, value] : r.env) trace += name + "=" + value + " ";
    SCOPED_TRACE(trace);
    const auto getenv = [&](const char* name) {
      const auto it = r.env.find(name);
      return it == r.env.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(ChooseLanguage(PreferredLanguages(getenv), {"en", "pt_BR"}), r.language);
  }
  EXPECT_EQ(ChooseLanguage({"ja-JP"}, {"en"}), "") << "as Windows names it";
  EXPECT_EQ(ChooseLanguage({"en-US"}, {"en"}), "en");
}

// Every text the program shows in Japanese has an English form, with the same access key.
TEST(Catalogue, EnglishHasEveryText) {
  std::vector<std::string> texts{
      kWarningCaption,    kOkButton,          kYesButton,      kNoButton,        kCancelButton,
      kStopSplitQuestion, kStopJoinQuestion,  kAboutCaption,   kFileNotFound,    kOneFileOnly,
      kUnknownOption,     kNextMediumSplit,   kNextMediumJoin, kLowSpaceWarning, kSplitProgress,
      kJoinProgress,      "すべてのファイル", "Tolvanixﾌｧｲﾙ"};
  for (int o = 0; o <= static_cast<int>(Outcome::Stopped); ++o)
    if (const char* text = NoticeText(static_cast<Outcome>(o))) texts.push_back(text);
  for (const FormDescription* form : {&Form1Description(), &Form2Description()}) {
    texts.push_back(form->caption);
    for (const ControlDescription& c : form->controls) texts.push_back(c.text);
  }
  ASSERT_TRUE(UseLanguage("en"));
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const std::string english = Tr(text);
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return c > 0; });
    EXPECT_NE(english == text, !ascii) << "translated unless it is English already";
    EXPECT_EQ(english.find('&') == std::string::npos, text.find('&') == std::string::npos);
  }
  UseLanguage("");
  EXPECT_EQ(std::string(Tr(kYesButton)), "はい(&Y)") << "Japanese again";
}

// Japanese keeps the described places; in English a button that needs room pushes its row and
// the window, and the spanning bevel and status line with it; a label first runs on to its
// neighbour.
TEST(FormLayout, TheJapaneseWindowStaysAsDescribedAnEnglishOneGrowsWhereItMust) {
  const FormDescription& form = Form1Description();
  std::map<std::string, int> needs;
  const auto needed = [&](const ControlDescription& c) { return needs[c.name]; };
  const auto place = [&](const char* name) {
    const FormLayout layout = LayOut(form, needed);
    const Rect& r = layout.rects[&form.Control(name) - form.controls.data()];
    return std::vector<int>{layout.clientWidth, r.left, r.width};
  };
  needs = {{"Button1", 150}, {"Label2", 40}, {"Label1", 300}};
  EXPECT_EQ(place("Button2"), std::vector<int>({291, 152, 129})) << "Japanese";
  ASSERT_TRUE(UseLanguage("en"));
  needs = {{"Button1", 129}, {"Label2", 32}};
  EXPECT_EQ(place("Button3"), std::vector<int>({291, 200, 81})) << "everything fits";
  needs = {{"Button1", 150}};
  EXPECT_EQ(place("Button2"), std::vector<int>({312, 173, 129}));
  EXPECT_EQ(place("Bevel1"), std::vector<int>({312, 0, 310}));
  needs = {{"Label2", 40}, {"Button4", 80}};
  EXPECT_EQ(place("Button3"), std::vector<int>({306, 215, 81}));
  needs = {{"Label1", 300}};
  EXPECT_EQ(place("Label3"), std::vector<int>({318, 8, 300}));
  UseLanguage("");
}
