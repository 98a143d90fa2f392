#include "suggest/typing_distance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace lexivane {
namespace {

// The costs of the kinds of slip alone, without what was learned of each letter.
TypingCosts KindsOnly() {
  TypingCosts costs;
  costs.learned_typed_for = costs.learned_left_out = costs.learned_put_in = 0;
  return costs;
}

// Each slip costs what its weight says, and the likelier slip of two costs less.
TEST(TypingDistance, EachSlipCostsItsWeight) {
  const TypingCosts costs = KindsOnly();
  const struct {
    std::u16string_view typed, word;
    float expected;
  } cases[] = {
      {u"house", u"house", 0},
      {u"", u"", 0},
      {u"hose", u"house", costs.vowel},                            // a vowel left out
      {u"hsue", u"house", costs.vowel + costs.swap},               // and two letters swapped
      {u"lable", u"label", costs.swap},                            // "le" for "el"
      {u"ocured", u"occured", costs.doubled_letter},               // a letter not doubled
      {u"seperate", u"separate", costs.vowel_for_vowel},           // a vowel for a vowel
      {u"teh", u"the", costs.swap},                                // adjacent letters swapped
      {u"rhe", u"the", costs.neighbour_key + costs.first_letter},  // r is next to t
      {u"bhe", u"the", costs.substitute + costs.first_letter},     // b is not
      {u"horse", u"house", costs.substitute},                      // r is far from u
      {u"xbz", u"", 3 * costs.insert_or_delete + costs.first_letter},
      {u"fone", u"phone", costs.confusion + costs.first_letter},  // "f" for "ph"
      {u"jujment", u"judgment", costs.confusion},                 // "j" for "dg"
      {u"judjment", u"judgment", costs.confusion},                // "dj" for "dg": "j" for "g"
      {u"phish", u"fish", costs.confusion + costs.first_letter},  // the other way
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(TypingDistance(c.typed, c.word, costs), c.expected)
        << std::string(c.typed.begin(), c.typed.end()) << " / "
        << std::string(c.word.begin(), c.word.end());
  }
  // Symmetric in its costs; the first letter is dear whichever side has it.
  EXPECT_FLOAT_EQ(TypingDistance(u"hsue", u"house", costs),
                  TypingDistance(u"house", u"hsue", costs));
  EXPECT_GT(TypingDistance(u"fone", u"phone", costs), TypingDistance(u"phne", u"phone", costs));
}

// What was learned of each letter tells slips of one kind apart: of two slips of the same kind,
// the one misspellings make more often costs less, and a large weight takes a likely slip's cost
// down to 0, never below.
TEST(TypingDistance, LearnedCostsFavourTheLikelierSlipOfAKind) {
  TypingCosts even;  // every kind the same, so that only the learned part differs
  even.doubled_letter = even.vowel = even.substitute = even.vowel_for_vowel = even.neighbour_key =
      1;
  even.first_letter = 0;
  even.learned_typed_for = even.learned_left_out = even.learned_put_in = 1;
  const struct {
    const char16_t *likelier, *rarer, *word;
  } cases[] = {
      {u"rase", u"raje", u"race"},       // "s" typed for "c", not "j"
      {u"wich", u"whih", u"which"},      // "h" left out, not "c"
      {u"houese", u"houjse", u"house"},  // "e" put in, not "j"
  };
  for (const auto& c : cases) {
    EXPECT_LT(TypingDistance(c.likelier, c.word, even), TypingDistance(c.rarer, c.word, even))
        << std::u16string_view(c.likelier).size();
  }
  TypingCosts steep = even;
  steep.learned_typed_for = 100;
  EXPECT_FLOAT_EQ(TypingDistance(u"rase", u"race", steep), 0);
  EXPECT_GT(TypingDistance(u"raje", u"race", steep), 1);
}

// LeastLetterCost and LeastEditCost bound the distance from below, as a ranking relies on to
// rule words out unmeasured: at least the least letter cost for each letter of difference in
// length, and the least edit cost for each letter one word holds more often than the other.
TEST(TypingDistance, TheLeastCostsAreBounds) {
  const char16_t* words[] = {u"house", u"hose",    u"hsue",      u"separate",    u"seperate",
                             u"a",     u"",        u"acomodate", u"accommodate", u"fone",
                             u"phone", u"jujment", u"judgment",  u"rase",        u"race",
                             u"xbz",   u"qqq",     u"zephyr"};
  TypingCosts steep, negative, doubled_free;
  steep.learned_typed_for = steep.learned_left_out = steep.learned_put_in = 5;
  negative.learned_typed_for = negative.learned_left_out = negative.learned_put_in = -2;
  doubled_free.doubled_letter = doubled_free.confusion = 0;
  for (const TypingCosts& costs : {TypingCosts{}, KindsOnly(), steep, negative, doubled_free}) {
    const float letter = LeastLetterCost(costs), edit = LeastEditCost(costs);
    EXPECT_LE(edit, letter);
    for (const std::u16string_view typed : words) {
      for (const std::u16string_view word : words) {
        std::array<int, 128> surplus{};
        for (const char16_t c : typed) ++surplus[c];
        for (const char16_t c : word) --surplus[c];
        int missing = 0, extra = 0;
        for (const int n : surplus) (n > 0 ? missing : extra) += std::abs(n);
        const float length = std::abs(static_cast<float>(typed.size()) - word.size());
        const float distance = TypingDistance(typed, word, costs);
        EXPECT_GE(distance + 1e-4f, letter * length);
        EXPECT_GE(distance + 1e-4f, edit * static_cast<float>(std::max(missing, extra)));
      }
    }
  }
}

// With a limit, the distance is exact up to it, and above it only ever reported as above;
// a meter measures word after word as it measures the first.
TEST(TypingDistance, ALimitOnlyCutsWhatLiesAboveIt) {
  const char16_t* words[] = {u"house",    u"hose", u"hsue",        u"separate",  u"seperate",
                             u"a",        u"",     u"accommodate", u"acomodate", u"teh",
                             u"the",      u"xbz",  u"fone",        u"phone",     u"jujment",
                             u"judgment", u"nite", u"night"};
  const TypingCosts costs;
  for (const char16_t* typed : words) {
    TypingMeter meter(typed, costs);  // one meter for every word, as a ranking uses it
    for (const char16_t* word : words) {
      const float exact = TypingDistance(typed, word, costs);
      for (const float limit : {0.0f, 0.3f, 1.0f, 2.5f, 5.0f, 100.0f}) {
        const float limited = meter.AtMost(word, limit);
        if (exact <= limit) {
          EXPECT_FLOAT_EQ(limited, exact);
        } else {
          EXPECT_GT(limited, limit);
        }
      }
    }
  }
}

}  // namespace
}  // namespace lexivane
