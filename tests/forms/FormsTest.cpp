// What both windows share: the size field's rules, the places and English layout, the boxes.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "forms/FormDescriptions.h"
#include "forms/FormLayout.h"
#include "forms/MessageBoxes.h"
#include "forms/SpinRules.h"
#include "i18n/Catalogue.h"

using namespace tolvanix;

TEST(SpinRules, TextReadsAsOneSignDecimalOrDollarHex) {
  const std::pair<std::u16string_view, int32_t> rows[] = {
      {u" +12", 12},
      {u"12 ", 0},
      {u"-5", -5},
      {u"", 0},
      {u"2147483647", INT32_MAX},
      {u"2147483648", 0},
      {u" $Ff", 255},
      {u"$80000000", INT32_MIN},
      {u"$FFFFFFFFF", 0},
  };
  for (const auto& [text, value] : rows)
    EXPECT_EQ(ReadSpinValue(text), value) << ::testing::PrintToString(text);
}

TEST(SpinRules, TypedCharactersAndSteps) {
  for (const char16_t c : std::u16string_view(u"0123456789+-,\b\x03\x16\x18\x1a")) {
    EXPECT_TRUE(AcceptsTypedChar(c, u',')) << int(c);
  }
  for (const char16_t c : std::u16string_view(u"\r.a$ \x7f１")) {
    EXPECT_FALSE(AcceptsTypedChar(c, u',')) << int(c);
  }
  EXPECT_EQ(DecimalSeparator(u",x"), u',');

  EXPECT_EQ(SteppedText(u"abc", -1), u"-1");
  EXPECT_EQ(SteppedText(u"2147483647", 1), u"-2147483648");
}

// Off the button the pace goes on without steps; a release off it adds none.
TEST(SpinRules, AnArrowHeldDownRepeatsAt400ThenEvery100Ms) {
  for (const bool offBetween : {false, true}) {
    SCOPED_TRACE(offBetween ? "off the button from 650 to 850 ms" : "over it throughout");
    ArrowHold hold;
    int due = hold.Press(true);
    int steps = 0;
    for (int now = 0; now <= 1050; now += 50) {
      hold.Over(!offBetween || now < 650 || now > 850);
      if (now != due) continue;
      int next = 0;
      steps += hold.Fire(next);
      due += next;
    }
    steps += hold.Release(true);
    EXPECT_EQ(steps, offBetween ? 6 : 8);
    EXPECT_FALSE(hold.Held());
  }
  ArrowHold down;
  down.Press(false);
  int next = 0;
  EXPECT_EQ(down.Fire(next), -1);
  EXPECT_EQ(down.Release(false), 0);
}

TEST(FormDescriptions, TabOrderIsUniqueAndThePlacesAreAsDescribed) {
  for (const FormDescription* form : {&Form1Description(), &Form2Description()}) {
    SCOPED_TRACE(form->name);
    std::set<int> orders;
    for (const ControlDescription& c : form->controls) {
      if (c.tabOrder < 0) continue;
      EXPECT_TRUE(orders.insert(c.tabOrder).second) << c.name;
    }
  }
  const Point centred = CentredOn({0, 0, 1024, 768}, 297, 151);
  EXPECT_EQ(centred.x, 363);
  EXPECT_EQ(centred.y, 308);
  EXPECT_EQ(CentredOn({100, 0, 200, 100}, 400, 300).x, 100) << "never off the left edge";
  const Point dialog = DialogPlaceOn({0, 0, 1024, 768}, 600, 420);
  EXPECT_EQ(dialog.x, 212);
  EXPECT_EQ(dialog.y, 116);
}

// Look: caption ("!": warning icon) and buttons left to right.
TEST(MessageBoxes, EachBoxLooksAndAnswersAsDescribed) {
  using enum Answer;
  const struct {
    const BoxDescription& box;
    const char* look;
    Answer enter, esc, close;
    std::u32string_view letters;
    std::vector<int> clicked;
  } rows[] = {
      {NoticeBox(), "Tolvanix|OK", Ok, Ok, Cancel, U"o", {-1}},
      {WarningBox(), "警告!|はい(&Y)|いいえ(&N)|ｷｬﾝｾﾙ", Yes, Cancel, Cancel, U"yNc", {0, 1, -1}},
      {StopQuestionBox(), "Tolvanix!|はい(&Y)|いいえ(&N)", No, No, No, U"Yn", {0, 1}},
  };
  for (const auto& r : rows) {
    std::string look = std::string(r.box.caption) + (r.box.icon == BoxIcon::Warning ? "!" : "");
    for (const BoxButton& b : r.box.buttons) look += std::string("|") + b.caption;
    EXPECT_EQ(look, r.look);
    SCOPED_TRACE(r.look);
    EXPECT_EQ(r.box.buttons[r.box.defaultButton].answer, r.enter);
    EXPECT_EQ(r.box.buttons[r.box.cancelButton].answer, r.esc);
    EXPECT_EQ(r.box.closeAnswer, r.close);
    for (size_t i = 0; i < r.letters.size(); ++i) {
      EXPECT_EQ(ButtonOfKey(r.box, r.letters[i]), r.clicked[i]) << char(r.letters[i]);
    }
  }
}

TEST(MessageBoxes, AccessKeyIsTheCharacterAfterTheAmpersand) {
  const std::pair<std::string_view, char32_t> rows[] = {
      {"&Да", U'Д'},
      {"&\xD0", 0},
  };
  for (const auto& [caption, key] : rows) EXPECT_EQ(AccessKey(caption), key) << caption;
}

// In English a label first runs on to its neighbour before the window grows.
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
