#include "suggest/similarity.h"

#include <string>

#include <gtest/gtest.h>

#include "engine/soundex.h"

namespace lexivane {
namespace {

using namespace std::string_literals;

// No transposition (swapping two letters costs two), and code units compare exactly.
TEST(EditDistanceTest, CountsInsertionsDeletionsAndSubstitutions) {
  EXPECT_EQ(EditDistance("", "abc"), 3);
  EXPECT_EQ(EditDistance("abc", ""), 3);
  EXPECT_EQ(EditDistance("", ""), 0);
  EXPECT_EQ(EditDistance("kitten", "sitting"), 3);
  EXPECT_EQ(EditDistance(u"sitting", u"kitten"), 3);
  EXPECT_EQ(EditDistance("intention", "execution"), 5);
  EXPECT_EQ(EditDistance("offise", "oafish"), 2);
  EXPECT_EQ(EditDistance("recieve", "receive"), 2);
  EXPECT_EQ(EditDistance("Office", "office"), 1);
  EXPECT_EQ(EditDistance(u"Office", u"office"), 1);
  EXPECT_EQ(EditDistance(u"caf\u00E9", u"caf\u00C9"), 1);
  // Two characters that share the single-byte form "?" still differ.
  EXPECT_EQ(EditDistance(u"\u4E00\u4E01", u"\u4E01\u4E00"), 2);
  EXPECT_EQ(EditDistance("a\0b"s, "a\0c"s), 1);
  // Lengths beyond 16 bits.
  const std::string long_word(100000, 'x');
  EXPECT_EQ(EditDistance(long_word, "xy"), 99999);
  EXPECT_EQ(EditDistance(long_word, ""), 100000);
  EXPECT_EQ(EditDistance(std::u16string(40000, u'a'), std::u16string(3, u'b')), 40000);
}

// Used bytes of the second word are overwritten with NUL, so a NUL in the first word can match
// one of them: "a\0" counts as a permutation of "ab", but not the other way round.
TEST(SameLettersTest, IsTrueForPermutations) {
  EXPECT_TRUE(SameLetters("teh", "the"));
  EXPECT_TRUE(SameLetters("", ""));
  EXPECT_TRUE(SameLetters("aab", "aba"));
  EXPECT_FALSE(SameLetters("ab", "abc"));
  EXPECT_FALSE(SameLetters("office", "offise"));
  EXPECT_FALSE(SameLetters("aab", "abb"));  // same letters, other counts
  EXPECT_FALSE(SameLetters("Teh", "the"));  // bytes compare exactly
  EXPECT_TRUE(SameLetters("a\0"s, "ab"));
  EXPECT_FALSE(SameLetters("ab", "a\0"s));
  EXPECT_TRUE(SameLetters("\0\0"s, "\0x"s));
}

TEST(SimilarityRatioTest, MatchingCharsTakesTheFirstLongestRunThenBothSides) {
  // "aa" at the start of A and the end of B leaves nothing on either side: 2, not 3.
  EXPECT_EQ(MatchingChars("aaa", "abaa"), 2);
  // A drives the outer loop, so the argument order changes the count.
  EXPECT_EQ(MatchingChars("ab", "bacb"), 2);
  EXPECT_EQ(MatchingChars("bacb", "ab"), 1);
  // Among runs that start at the same place in A, the earliest in B wins: "a" at B's start
  // leaves "a" against "ba" on the right; the last "a" of B would leave nothing.
  EXPECT_EQ(MatchingChars("aa", "aba"), 2);
  // A shorter run comes first ("ab"), the whole of B later.
  EXPECT_EQ(MatchingChars("abcab", "cab"), 3);
  EXPECT_EQ(MatchingChars("offset", "offise"), 5);    // "off", then "se" on the right
  EXPECT_EQ(MatchingChars("offices", "offise"), 5);   // "offi", then "e" on the right
  EXPECT_EQ(MatchingChars("xabcyde", "zdeabcw"), 3);  // "de" lies left of "abc" in A only
  EXPECT_EQ(MatchingChars("pqabcrs", "pqxabcyrs"), 7);
  EXPECT_EQ(MatchingChars("abc", "xyz"), 0);
  EXPECT_EQ(MatchingChars("a\0b"s, "\0"s), 1);
}

TEST(SimilarityRatioTest, MatchingCharsCopesWithVeryLongInput) {
  std::string long_word(100000, 'x');
  EXPECT_EQ(MatchingChars(long_word, "xyx"), 2);
  EXPECT_EQ(MatchingChars("xyx", long_word), 2);
  long_word.replace(50000, 6, "offise");
  EXPECT_EQ(MatchingChars(long_word, "office"), 5);
  // Every byte of B matched on its own level: one level per byte of B.
  std::string alternating;
  for (int i = 0; i < 400; ++i) alternating += "ab";
  EXPECT_EQ(MatchingChars(std::string(400, 'a'), alternating), 400);
}

// Only whole-word equality ignores case; the matching itself is exact.
TEST(SimilarityRatioTest, GivesTheGestaltRatio) {
  EXPECT_DOUBLE_EQ(SimilarityRatio(u"aaa", u"abaa"), 4.0 / 7);
  EXPECT_DOUBLE_EQ(SimilarityRatio(u"ab", u"bacb"), 4.0 / 6);
  EXPECT_DOUBLE_EQ(SimilarityRatio(u"bacb", u"ab"), 2.0 / 6);
  EXPECT_DOUBLE_EQ(SimilarityRatio(u"offices", u"offise"), 10.0 / 13);
  EXPECT_EQ(SimilarityRatio(u"", u""), 1.0);
  EXPECT_EQ(SimilarityRatio(u"", u"abc"), 0.0);
  EXPECT_EQ(SimilarityRatio(u"abc", u""), 0.0);
  EXPECT_EQ(SimilarityRatio(u"Office", u"office"), 1.0);
  EXPECT_EQ(SimilarityRatio(u"\u00C9COLE", u"\u00E9cole"), 1.0);
  EXPECT_EQ(SimilarityRatio(u"ABC", u"abd"), 0.0);
  EXPECT_DOUBLE_EQ(SimilarityRatio(u"Offise", u"office"), 8.0 / 12);
  // Characters outside Windows-1252 all become "?", and then match each other.
  EXPECT_EQ(SimilarityRatio(u"a\u4E00b", u"a\u4E01b"), 1.0);
  // The byte form folds ASCII case only.
  EXPECT_EQ(SimilarityRatioOfBytes("", ""), 1.0);
  EXPECT_EQ(SimilarityRatioOfBytes("", "abc"), 0.0);
  EXPECT_EQ(SimilarityRatioOfBytes("Office", "office"), 1.0);
  EXPECT_EQ(SimilarityRatioOfBytes("ABC", "abd"), 0.0);
  EXPECT_DOUBLE_EQ(SimilarityRatioOfBytes("aaa", "abaa"), 4.0 / 7);
  EXPECT_DOUBLE_EQ(SimilarityRatioOfBytes("\xC9"s + "cole", "\xE9"s + "cole"), 8.0 / 10);
}

double Score(const char* candidate, const char* input, float t = 0.8f) {
  return CandidateScore(candidate, PackedSoundex(candidate), input, PackedSoundex(input), t);
}

TEST(CandidateScoreTest, ScoresTheWorkedExamples) {
  EXPECT_DOUBLE_EQ(Score("office", "offise"), 0.95);
  EXPECT_NEAR(Score("oafish", "offise"), 0.875, 1e-6);
  EXPECT_EQ(Score("receive", "recieve"), 1.0);
  EXPECT_EQ(Score("the", "teh"), 1.0);
  EXPECT_EQ(Score("office", "office"), 1.0);
  EXPECT_EQ(Score("offset", "offise"), 10.0 / 12);
  EXPECT_EQ(Score("offices", "offise"), 10.0 / 13);
  // The default threshold is the float nearest 0.8, slightly above it, so a ratio of exactly
  // 0.8 (M = 4 over two words of 5 bytes, with different keys) falls short of it.
  EXPECT_EQ(Score("abcde", "xbcde"), 0.8);
  EXPECT_FALSE(Score("abcde", "xbcde") >= 0.8f);
}

TEST(CandidateScoreTest, KeysAndArgumentOrderDecideTheRule) {
  // With other keys even one edit is measured by the ratio, candidate first.
  EXPECT_EQ(CandidateScore("office", 1, "offise", 2, 0.8f), 10.0 / 12);
  EXPECT_EQ(CandidateScore("the", 1, "teh", 2, 0.8f), 4.0 / 6);
  EXPECT_DOUBLE_EQ(CandidateScore("bacb", 1, "ab", 2, 0.8f), 2.0 / 6);
  EXPECT_DOUBLE_EQ(CandidateScore("ab", 1, "bacb", 2, 0.8f), 4.0 / 6);
  // Equal keys beyond distance 2 use the ratio too.
  EXPECT_EQ(CandidateScore("abcdef", 7, "abcxyz", 7, 0.8f), 6.0 / 12);
  // SameLetters takes the input first.
  EXPECT_EQ(CandidateScore("ab", 5, "a\0"s, 5, 0.8f), 1.0);
  EXPECT_DOUBLE_EQ(CandidateScore("a\0"s, 5, "ab", 5, 0.8f), 0.95);
}

// A close match that is no permutation scores t + (0.95 - t) / d: 0.95 at distance 1 whatever
// t is, so above 0.95 only permutations pass.
TEST(CandidateScoreTest, CloseMatchesFallBelowAThresholdAboveNinetyFive) {
  EXPECT_DOUBLE_EQ(Score("office", "offise", 0.96f), 0.95);
  EXPECT_NEAR(Score("oafish", "offise", 0.96f), 0.955, 1e-6);
  EXPECT_EQ(Score("the", "teh", 0.96f), 1.0);
  EXPECT_DOUBLE_EQ(Score("office", "offise", 0.0f), 0.95);
  EXPECT_NEAR(Score("oafish", "offise", 1.0f), 0.975, 1e-7);
}

}  // namespace
}  // namespace lexivane
