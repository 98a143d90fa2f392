#include "frontend/session/word_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "lexivane/spell_check.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

struct Case {
  const char* word;
  const char* rule;  // the one rule that accepts it; nullptr: none does
};

// Each word is accepted by its rule alone: with every rule of shape on, and with every one but
// its own, which must then flag it. (The extra word list holds some of these words, "GID" among
// them, so it is left out; extra_words_test.cc tests it.)
TEST(WordRules, EachRuleAcceptsItsWordsAndNoOther) {
  const Case cases[] = {{"alpha2", "digits"},
                        {"5foo", "digits"},
                        {"128KiB", "digits"},
                        {"GPLv3", "digits"},
                        {"x\xD9\xA3", "digits"},
                        {"_ssh", "underscores"},
                        {"foo_", "underscores"},
                        {"__init__", "underscores"},
                        {"ABI", "capitals"},
                        {"GID", "capitals"},
                        {"CDs", "capitals"},
                        {"ABIs", "capitals"},
                        {"CD's", "capitals"},
                        {"xiv", "roman"},
                        {"MCMXCIX", "roman"},
                        {"MMMDCCCLXXXVIII", "roman"},
                        {"iv", "roman"},
                        {"XL", "capitals"},
                        // none: a rule's edge just past it
                        {"foo_bar", nullptr},
                        {"A", nullptr},
                        {"ABCD", nullptr},
                        {"AbI", nullptr},
                        {"ABIS", nullptr},
                        {"iiii", nullptr},
                        {"vx", nullptr},
                        {"iix", nullptr},
                        {"MMMM", nullptr},
                        {"Xiv", nullptr},
                        {"xIv", nullptr},
                        {"dIstro", nullptr},
                        {"qwzxk", nullptr},
                        {"", nullptr}};
  const WordRules shapes = WordRules::All().Without(WordRule::kExtraWords);
  for (const Case& c : cases) {
    const std::u16string word = FromUtf8(c.word);
    EXPECT_EQ(RulesAccept(word, shapes), c.rule != nullptr) << c.word;
    if (c.rule == nullptr) continue;
    const auto rule = NamedWordRule(c.rule);
    ASSERT_TRUE(rule) << c.rule;
    // "XL" is both two capitals and a numeral: without one rule the other still takes it.
    if (std::string(c.word) == "XL") continue;
    EXPECT_FALSE(RulesAccept(word, shapes.Without(*rule))) << c.word;
  }
  EXPECT_FALSE(RulesAccept(u"XL", WordRules::None()));
  EXPECT_TRUE(RulesAccept(u"distro", WordRules::None().With(WordRule::kExtraWords)));
}

TEST(WordRules, NamesSwitchRulesOff) {
  for (const std::string_view name : WordRuleNames()) {
    ASSERT_TRUE(NamedWordRule(name)) << name;
    EXPECT_EQ(AllRulesExcept({std::string(name)}), WordRules::All().Without(*NamedWordRule(name)));
  }
  std::string unknown;
  EXPECT_EQ(AllRulesExcept({"roman", "nosuch,digits", "underscores,"}, &unknown),
            WordRules::All()
                .Without(WordRule::kRoman)
                .Without(WordRule::kDigits)
                .Without(WordRule::kUnderscores));
  EXPECT_EQ(unknown, "nosuch");
  unknown.clear();
  EXPECT_EQ(AllRulesExcept({""}, &unknown), WordRules::All());
  EXPECT_EQ(unknown, "\"\"");
  EXPECT_FALSE(NamedWordRule("Roman"));
}

// The names rule flags a name of the word list written in small letters, which the word check
// accepts, unless the person accepted it; it never touches other words.
TEST(WordRules, NamesInSmallLettersAreFlaggedUnlessAccepted) {
  SpellCheck engine;
  engine.Init();
  const struct {
    const char16_t* word;
    bool accepted;
  } cases[] = {
      {u"thant", false},  {u"ines", false}, {u"linux", false}, {u"thant's", false},
      {u"Thant", true},   {u"THANT", true}, {u"than", true},   {u"john", true},  // also a word
      {u"english", true},  // SCOWL has it in small letters too
      {u"thantx", false},  // rejected by the check, and no rule takes it
  };
  const WordRules all = WordRules::All();
  for (const auto& c : cases) {
    const std::string word = ToUtf8(c.word);
    EXPECT_EQ(FrontEndAccepts(engine, c.word, all, {}), c.accepted) << word;
    EXPECT_EQ(RulesFlagName(c.word, all), !c.accepted && word != "thantx") << word;
  }
  EXPECT_TRUE(FrontEndAccepts(engine, u"thant", all, {u"thant"}));
  EXPECT_FALSE(FrontEndAccepts(engine, u"ines", all, {u"thant"}));
  EXPECT_TRUE(FrontEndAccepts(engine, u"thant", all.Without(WordRule::kNames), {}));
  // Rejected words stay the other rules' business.
  EXPECT_TRUE(FrontEndAccepts(engine, u"GPLv3", all, {}));
}

// A name with `_` inside, or in camel case, passes when each part of three letters or more
// does, under any rule left on (`ABI`, `xiv`), and never without its rule; a camel-case word
// with a part of one letter is a slip of the shift key. A word with an elided -ed is judged by
// what comes before it the same way.
TEST(WordRules, NamesAreJudgedByTheirParts) {
  SpellCheck engine;
  engine.Init();
  const struct {
    const char16_t* word;
    WordRule rule;
    bool accepted;
  } cases[] = {
      {u"detect_data_type", WordRule::kUnderscores, true},
      {u"size_t", WordRule::kUnderscores, true},
      {u"ABI_check_xiv", WordRule::kUnderscores, true},
      {u"x_y", WordRule::kUnderscores, true},
      {u"a__b", WordRule::kUnderscores, true},
      {u"detcet_data_type", WordRule::kUnderscores, false},
      {u"data_tpye", WordRule::kUnderscores, false},
      {u"dataa_x", WordRule::kUnderscores, false},
      {u"windowBits", WordRule::kCamelCase, true},
      {u"readHTTPHeader", WordRule::kCamelCase, true},
      {u"getUrlOk", WordRule::kCamelCase, true},
      {u"windowBist", WordRule::kCamelCase, false},
      {u"teH", WordRule::kCamelCase, false},
      {u"wordX", WordRule::kCamelCase, false},
      {u"arm'd", WordRule::kElisions, true},
      {u"CC'd", WordRule::kElisions, true},
      {u"teh'd", WordRule::kElisions, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FrontEndAccepts(engine, c.word, WordRules::All(), {}), c.accepted) << ToUtf8(c.word);
    EXPECT_FALSE(FrontEndAccepts(engine, c.word, WordRules::All().Without(c.rule), {}))
        << ToUtf8(c.word);
  }
}

}  // namespace
}  // namespace lexivane::frontend
