#include "suggest/typing_distance.h"

#include <gtest/gtest.h>

namespace lexivane {
namespace {

// Each slip costs what its weight says, and the likelier slip of two costs less.
TEST(TypingDistance, EachSlipCostsItsWeight) {
  const TypingCosts costs;
  const struct {
    std::u16string_view typed, word;
    float expected;
  } cases[] = {
      {u"house", u"house", 0},
      {u"", u"", 0},
      {u"hose", u"house", costs.vowel},                     // a vowel left out
      {u"hsue", u"house", costs.vowel + costs.swap},        // and two letters swapped
      {u"lable", u"label", costs.swap},                     // "le" for "el"
      {u"ocured", u"occured", costs.doubled_letter},        // a letter not doubled
      {u"seperate", u"separate", costs.vowel_for_vowel},    // a vowel for a vowel
      {u"teh", u"the", costs.swap},                         // adjacent letters swapped
      {u"rhe", u"the", costs.neighbour_key + costs.first_letter},  // r is next to t
      {u"bhe", u"the", costs.substitute + costs.first_letter},     // b is not
      {u"horse", u"house", costs.substitute},               // r is far from u
      {u"xbz", u"", 3 * costs.insert_or_delete + costs.first_letter},
      {u"fone", u"phone", costs.confusion + costs.first_letter},   // "f" for "ph"
      {u"jujment", u"judgment", costs.confusion},                  // "j" for "dg"
      {u"judjment", u"judgment", costs.confusion},                 // "dj" for "dg": "j" for "g"
      {u"phish", u"fish", costs.confusion + costs.first_letter},   // the other way
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(TypingDistance(c.typed, c.word), c.expected)
        << std::string(c.typed.begin(), c.typed.end()) << " / "
        << std::string(c.word.begin(), c.word.end());
  }
  // Symmetric in its costs; the first letter is dear whichever side has it.
  EXPECT_FLOAT_EQ(TypingDistance(u"hsue", u"house"), TypingDistance(u"house", u"hsue"));
  EXPECT_GT(TypingDistance(u"fone", u"phone"), TypingDistance(u"phne", u"phone"));
}

// With a limit, the distance is exact up to it, and above it only ever reported as above;
// a meter measures word after word as it measures the first.
TEST(TypingDistance, ALimitOnlyCutsWhatLiesAboveIt) {
  const char16_t* words[] = {u"house", u"hose", u"hsue", u"separate", u"seperate", u"a", u"",
                             u"accommodate", u"acomodate", u"teh", u"the", u"xbz",
                             u"fone", u"phone", u"jujment", u"judgment", u"nite", u"night"};
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
