#include "frontend/session/english_variant.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/session/sorted_word_list.h"
#include "frontend/session/word_rules.h"
#include "lexivane/spell_check.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

using enum EnglishVariant;
using Words = std::vector<std::u16string>;

TEST(EnglishVariant, NamesAsLocalesWriteThem) {
  const struct {
    std::string_view name;
    std::optional<EnglishVariant> variant;
  } cases[] = {{"en-US", kAmerican}, {"en_gb", kBritish},
               {"EN-CA", kCanadian}, {"en_AU", kAustralian},
               {"en", kAny},         {"en-NZ", std::nullopt},
               {"", std::nullopt},   {"en-GBx", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(NamedVariant(c.name), c.variant) << c.name;
  for (const std::string_view name : VariantNames())
    EXPECT_EQ(VariantName(*NamedVariant(name)), name);
}

// What each variant adds to the American lists and takes from them, as the front ends judge
// running text: its own spellings accepted, the American ones it writes otherwise flagged, in
// any letter case the lists allow and with 's.
TEST(EnglishVariant, EachAcceptsItsOwnSpellingsAndFlagsTheAmericanOnes) {
  SpellCheck engine;
  engine.Init();
  const struct {
    EnglishVariant variant;
    Words accepted, flagged;
  } cases[] = {
      {kAmerican, {u"color", u"center", u"organize", u"gray"}, {u"colour", u"organisation"}},
      {kBritish,
       {u"colour", u"Colour", u"COLOUR", u"colour's", u"organisation", u"organization", u"analyse",
        u"centre", u"grey", u"travelled", u"catalogue"},
       {u"color", u"Color", u"color's", u"center", u"analyze", u"traveled", u"gray"}},
      {kCanadian, {u"colour", u"centre", u"organize", u"travelled"}, {u"traveled", u"catalog"}},
      {kAustralian, {u"colour", u"organise", u"analyse"}, {u"color", u"organize", u"analyze"}},
      {kAny,
       {u"colour", u"color", u"organise", u"organize", u"centre", u"center", u"grey", u"gray"},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(VariantName(c.variant)));
    for (const std::u16string& word : c.accepted) {
      EXPECT_TRUE(FrontEndAccepts(engine, word, WordRules::All(), {}, true, c.variant))
          << ToUtf8(word);
      EXPECT_FALSE(VariantFlags(c.variant, word)) << ToUtf8(word);
    }
    for (const std::u16string& word : c.flagged) {
      EXPECT_FALSE(FrontEndAccepts(engine, word, WordRules::All(), {}, true, c.variant))
          << ToUtf8(word);
    }
  }
  // A flagged spelling the person accepted stands.
  EXPECT_TRUE(FrontEndAccepts(engine, u"Color", WordRules::All(), {u"color"}, true, kBritish));
}

TEST(EnglishVariant, SuggestionsAreWrittenAsTheVariantWritesThem) {
  EXPECT_EQ(VariantSpellings(kBritish, u"color"), Words{u"colour"});
  EXPECT_EQ(VariantSpellings(kBritish, u"color's"), Words{u"colour's"});
  EXPECT_EQ(VariantSpellings(kBritish, u"colour"), Words{});
  EXPECT_EQ(VariantSpellings(kAmerican, u"color"), Words{});
  const struct {
    EnglishVariant variant;
    std::u16string word;
    Words suggestions;
    std::size_t most;
    Words shown;
  } cases[] = {
      // The misspelling's own spelling first, then the rest as the variant writes them.
      {kBritish,
       u"color",
       {u"collar", u"colors", u"cooler"},
       5,
       {u"colour", u"collar", u"colours", u"cooler"}},
      {kBritish, u"Colr", {u"Color", u"Collar"}, 5, {u"Colour", u"Collar"}},
      {kBritish, u"COLR", {u"COLOR", u"COLLAR"}, 5, {u"COLOUR", u"COLLAR"}},
      {kBritish, u"color", {u"collar", u"cooler"}, 2, {u"colour", u"collar"}},
      // A flagged suggestion with no spelling of the variant's goes; one met twice stays once.
      {kBritish, u"grya", {u"gray", u"grey", u"gay"}, 5, {u"grey", u"gay"}},
      {kBritish, u"colr", {u"color", u"colour"}, 5, {u"colour"}},
      {kAmerican, u"colr", {u"color", u"colour"}, 5, {u"color", u"colour"}},
      {kAny, u"colr", {u"color", u"colour"}, 5, {u"color", u"colour"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InVariant(c.variant, c.word, c.suggestions, c.most), c.shown) << ToUtf8(c.word);
  }
}

TEST(SortedWordList, EntriesWithTheirDataInAnyAllowedCase) {
  const SortedWordList list("color colour\nGitHub\nmath\ntheater theatre,theatres\n");
  EXPECT_EQ(list.Find(u"color"), "colour");
  EXPECT_EQ(list.Find(u"COLOR"), "colour");
  EXPECT_EQ(list.Find(u"math"), "");
  EXPECT_EQ(list.Find(u"theater"), "theatre,theatres");
  EXPECT_EQ(list.Find(u"github"), std::nullopt);
  EXPECT_EQ(list.Find(u"color's"), std::nullopt);
  EXPECT_TRUE(list.Holds(u"color's"));
  EXPECT_TRUE(list.Holds(u"GitHub's"));
  EXPECT_FALSE(list.Holds(u"colour"));
  EXPECT_FALSE(list.Holds(u"theatre"));
}

}  // namespace
}  // namespace lexivane::frontend
