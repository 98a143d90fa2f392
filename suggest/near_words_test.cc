#include "suggest/near_words.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"

namespace lexivane {
namespace {

// The optimal-string-alignment distance, the whole table, written the plain way.
int PlainDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

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
    const int edits = PlainDistance(listed, word);
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

// One edit exactly when the plain distance says at most one, over a table that has each kind of
// edit at each end and in the middle.
TEST(NearWords, WithinOneEdit) {
  const char* words[] = {"",    "a",  "ab",   "ba",   "abc",  "acb",  "bac", "abd",
                         "xbc", "ab", "abcd", "abdc", "acbd", "abce", "bcd", "aabc"};
  for (const char* a : words) {
    for (const char* b : words) {
      EXPECT_EQ(WithinOneEdit<std::string_view>(a, b), PlainDistance(a, b) <= 1) << a << " / " << b;
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
