#include "cli/shown_lists.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lexivane/spell_check.h"

namespace lexivane::cli {
namespace {

// A word's list stays right however many words pass after it: while it is recent, after it
// became one of the older words, and once it was found there and made recent again.
TEST(ShownLists, AWordKeepsItsListAsOtherWordsComeAndGo) {
  SpellCheck engine;
  engine.Init();
  frontend::SpellingSession session(engine, 3);
  ShownLists shown(session);
  const std::vector<std::string> first = shown.For("teh");
  ASSERT_THAT(first, ::testing::Contains("the"));
  // Words with digits get no suggestions, and so cost no search.
  const auto pass_words = [&](int from) {
    for (int n = from; n < from + static_cast<int>(frontend::kRememberedSuggestions); ++n) {
      std::string word = "x";
      word += std::to_string(n);
      EXPECT_TRUE(shown.For(word).empty());
    }
  };
  for (const int round : {0, 1, 2}) {
    pass_words(round * static_cast<int>(frontend::kRememberedSuggestions));
    EXPECT_EQ(shown.For("teh"), first) << "round " << round;
  }
  EXPECT_EQ(shown.For("x1"), std::vector<std::string>{});
}

}  // namespace
}  // namespace lexivane::cli
