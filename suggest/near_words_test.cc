#include "suggest/near_words.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"
#include "suggest/similarity.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

using testing::PlainEdits;

std::vector<std::pair<std::int32_t, int>> Found(std::string_view word, int most_edits) {
  std::vector<NearWord> found;
  FindNearWords(SharedMainTables(), word, most_edits, found);
  std::vector<std::pair<std::int32_t, int>> pairs;
  for (const NearWord& near : found) pairs.emplace_back(near.index, near.edits);
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}

std::vector<std::pair<std::int32_t, int>> FoundPlainly(std::string_view word, int most_edits) {
  const PreparedTables& tables = SharedMainTables();
  std::vector<std::pair<std::int32_t, int>> pairs;
  for (std::int32_t i = 0; i < tables.word_count(); ++i) {
    const std::string_view listed = tables.Word(i);
    if (listed.size() < 2 || listed[0] != word[0] || !MaySecond(word, listed[1])) continue;
    const int edits = PlainEdits<std::string_view>(listed, word);
    if (edits <= most_edits) pairs.emplace_back(i, edits);
  }
  return pairs;
}

// Misspellings of every length the walk treats apart: short enough that the band reaches the
// first column, a swap at the start, apostrophes and hyphens, letters beyond ASCII, past the
// longest entry, and as long as a column's bits.
TEST(NearWords, AreTheWordsOfThePlainDistance) {
  const std::string longest = "pneumonoultramicroscopicsilicovolcanoconiosispneumonoultramicros";
  ASSERT_EQ(longest.size(), kLongestNearWord);
  for (const std::string word :
       {"ab", "teh", "recieve", "acomodate", "ocurrence", "seperately", "dont'", "well-know",
        "caf\xe9", "zz", "xylophonist", "electroencephalogrammms", "antidisestablishmentarianismm",
        longest.c_str()}) {
    for (int most_edits = 0; most_edits <= kMostNearEdits; ++most_edits) {
      EXPECT_EQ(Found(word, most_edits), FoundPlainly(word, most_edits))
          << word << " within " << most_edits;
    }
  }
}

// The words the candidate filter lets through, checked again, are those a ratio worked out for
// every word of the first letter finds: at bars a float holds from below (0.7) and from above
// (0.3), for words near many listed ones and near none, and with each length spread.
TEST(NearWords, SimilarWordsAreThoseOfThePlainRatio) {
  const PreparedTables& tables = SharedMainTables();
  for (const std::string word : {"implemememntation", "acomodate", "teh", "zz", "caf\xe9", "dont'",
                                 "qwertyuiopasdfgh", "electroencephalogrammms"}) {
    for (const double bar : {0.3, 0.5, 0.7, 0.9, 1.0}) {
      for (const std::size_t spread : {std::size_t{0}, std::size_t{4}, std::size_t{100}}) {
        std::vector<std::int32_t> found, plainly;
        FindSimilarWords(tables, word, bar, spread, found);
        for (std::int32_t i = 0; i < tables.word_count(); ++i) {
          const std::string_view listed = tables.Word(i);
          const std::size_t difference =
              std::max(listed.size(), word.size()) - std::min(listed.size(), word.size());
          if (listed[0] == word[0] && difference <= spread &&
              SimilarityRatioOfBytes(listed, word) >= bar) {
            plainly.push_back(i);
          }
        }
        EXPECT_EQ(found, plainly) << word << " at " << bar << " within " << spread;
      }
    }
  }
}

// One edit exactly when the plain distance says at most one, over a table that has each kind of
// edit at each end and in the middle.
TEST(NearWords, WithinOneEdit) {
  const char* words[] = {"",    "a",  "ab",   "ba",   "abc",  "acb",  "bac", "abd",
                         "xbc", "ab", "abcd", "abdc", "acbd", "abce", "bcd", "aabc"};
  for (const char* a : words) {
    for (const char* b : words) {
      EXPECT_EQ(WithinOneEdit<std::string_view>(a, b), PlainEdits<std::string_view>(a, b) <= 1)
          << a << " / " << b;
    }
  }
}

TEST(NearWords, FindsTheListedWordsNearby) {
  const PreparedTables& tables = SharedMainTables();
  std::vector<NearWord> found;
  FindNearWords(tables, "recieve", 1, found);
  ASSERT_FALSE(found.empty());
  EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const NearWord& near) {
    return tables.Word(near.index) == "receive" && near.edits == 1;
  }));
  found.clear();
  FindNearWords(tables, "", 2, found);
  FindNearWords(tables, std::string(kLongestNearWord + 1, 'a'), 2, found);
  EXPECT_TRUE(found.empty());
}

}  // namespace
}  // namespace lexivane
