#include "bench/bench_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace lexivane::bench {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

TEST(BenchDataTokenize, KeepsNonEmptyTokensInBothEncodings) {
  const TextTokens tokens = TokenizeText(u"Well,  \"said\" caf\u00e9 --Holmes's.\n");
  EXPECT_THAT(tokens.utf16, ElementsAre(u"Well", u"said", u"caf\u00e9", u"Holmes's"));
  EXPECT_THAT(tokens.utf8, ElementsAre("Well", "said", "caf\xc3\xa9", "Holmes's"));
  EXPECT_TRUE(TokenizeText(u" .,-\r\n").utf16.empty());
  EXPECT_TRUE(TokenizeText(u" .,-\r\n").utf8.empty());
}

TEST(BenchDataCorpus, ParsesRowsAndSkipsLinesWithoutTab) {
  const std::vector<Misspelling> rows =
      ParseCorpus("Ab\tAlbert\r\nno tab here\n\na lot\talot\nlast\tline");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].misspelling, "Ab");
  EXPECT_EQ(rows[0].correct, "Albert");  // no CR left behind
  EXPECT_EQ(rows[0].misspelling_utf16, u"Ab");
  EXPECT_EQ(rows[1].misspelling, "a lot");  // a blank inside a misspelling is kept
  EXPECT_EQ(rows[2].correct, "line");       // the last line needs no line end

  EXPECT_EQ(BirkbeckSample().size(), 2008u);
  EXPECT_EQ(BirkbeckSample().front().correct, "Albert");
}

TEST(BenchDataCorpus, EveryNthStartsAtTheFirstRow) {
  std::vector<Misspelling> rows;
  for (char c = 'a'; c <= 'k'; ++c) rows.push_back({std::string(1, c), "x", {}});
  EXPECT_THAT(EveryNth(rows, 5), ElementsAre(Field(&Misspelling::misspelling, "a"),
                                             Field(&Misspelling::misspelling, "f"),
                                             Field(&Misspelling::misspelling, "k")));
  EXPECT_EQ(EveryNth(rows, 1).size(), rows.size());
  EXPECT_TRUE(EveryNth(rows, 0).empty());
}

TEST(BenchDataQuantile, InterpolatesBetweenNearestRanks) {
  EXPECT_DOUBLE_EQ(Quantile({3, 1, 2}, 0.5), 2);       // odd count: the middle value
  EXPECT_DOUBLE_EQ(Quantile({4, 1, 3, 2}, 0.5), 2.5);  // even count: mean of the middle two
  std::vector<double> hundred_and_one;
  for (int i = 100; i >= 0; --i) hundred_and_one.push_back(i);
  EXPECT_DOUBLE_EQ(Quantile(hundred_and_one, 0.95), 95);
  EXPECT_DOUBLE_EQ(Quantile({10, 20}, 0.95), 19.5);
  EXPECT_DOUBLE_EQ(Quantile({7}, 0.95), 7);
  EXPECT_DOUBLE_EQ(Quantile({1, 9}, 1.0), 9);
  EXPECT_DOUBLE_EQ(Quantile({}, 0.5), 0);
}

// Ranks compare whole words without regard to case, beyond ASCII too.
TEST(BenchDataAccuracy, TallyCountsTopOneTopFiveAndEmpty) {
  EXPECT_EQ(RankOf({"albert", "Alberta", "CAF\xc3\x89"}, "caf\xc3\xa9"), 3u);
  EXPECT_EQ(RankOf({"albert", "Alberta"}, "Alber"), 0u);
  SuggestionTally tally;
  tally.Add(1.0, {"right", "b"}, "Right");                      // first
  tally.Add(2.0, {"a", "b", "c", "d", "right"}, "right");       // fifth
  tally.Add(3.0, {"a", "b", "c", "d", "e", "right"}, "right");  // sixth: neither
  tally.Add(10.0, {}, "right");                                 // nothing offered
  EXPECT_EQ(tally.words(), 4u);
  EXPECT_DOUBLE_EQ(tally.Top1Percent(), 25);
  EXPECT_DOUBLE_EQ(tally.Top5Percent(), 50);
  EXPECT_DOUBLE_EQ(tally.NonePercent(), 25);
  EXPECT_DOUBLE_EQ(tally.MedianMs(), 2.5);
  EXPECT_DOUBLE_EQ(tally.MeanMs(), 4);
  EXPECT_DOUBLE_EQ(SuggestionTally().Top1Percent(), 0);  // no division by zero words
}

}  // namespace
}  // namespace lexivane::bench
