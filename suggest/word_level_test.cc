#include "suggest/word_level.h"

#include <gtest/gtest.h>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"

namespace lexivane {
namespace {

TEST(WordLevelTest, EveryWordOfTheListHasOne) {
  const PreparedTables& tables = SharedMainTables();
  for (std::int32_t i = 0; i < tables.word_count(); ++i) {
    const int level = WordLevel(i);
    ASSERT_TRUE(level == 10 || level == 20 || level == 35 || level == 40 || level == 50 ||
                level == 55 || level >= 60)
        << tables.Word(i) << ": " << level;
  }
  // No more levels than words: the file and the list were made together.
  EXPECT_EQ(WordLevel(tables.word_count()), 0);
  EXPECT_EQ(WordLevel(-1), 0);
}

TEST(WordLevelTest, CommonWordsRankBeforeRareOnes) {
  const struct {
    const char* word;
    int level;
  } cases[] = {
      {"the", 10},    {"don't", 10},     {"physics", 20}, {"caf\xE9", 20}, {"messenger", 35},
      {"dollop", 40}, {"sombreros", 50}, {"offish", 55},  {"zydeco", 55},  {"zymurgy", 60},
  };
  const PreparedTables& tables = SharedMainTables();
  for (const auto& c : cases) {
    const std::int32_t index = tables.Find(c.word);
    ASSERT_GE(index, 0) << c.word;
    EXPECT_EQ(WordLevel(index), c.level) << c.word;
  }
}

TEST(WordLevelTest, FrequencyClassesFollowTheTextsCounts) {
  const struct {
    const char* word;
    int least, most;
  } cases[] = {{"the", 15, 15}, {"receive", 5, 9}, {"zymurgy", 0, 0}, {"offish", 0, 0}};
  const PreparedTables& tables = SharedMainTables();
  for (const auto& c : cases) {
    const int frequency = WordFrequencyClass(tables.Find(c.word));
    EXPECT_GE(frequency, c.least) << c.word;
    EXPECT_LE(frequency, c.most) << c.word;
  }
  EXPECT_EQ(WordFrequencyClass(-1), 0);
  EXPECT_EQ(WordFrequencyClass(tables.word_count() + 64), 0);
}

}  // namespace
}  // namespace lexivane
