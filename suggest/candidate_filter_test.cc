#include "suggest/candidate_filter.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "suggest/similarity.h"
#include "engine/soundex.h"

namespace lexivane {
namespace {

using namespace std::string_literals;

// The thresholds the engine can hold, and some it cannot (the filter must agree there too).
const float kThresholds[] = {0.0f,
                             0.5f,
                             0.8f,
                             0.95f,
                             0.96f,
                             1.0f,
                             0.75f,
                             1.0f / 3,
                             -0.2f,
                             1.5f,
                             std::numeric_limits<float>::quiet_NaN()};

// Compares one filter answer with the plain score; a message names the first differences.
class Differ {
 public:
  void Check(CandidateFilter& filter, std::string_view candidate, PackedKey candidate_key,
             std::string_view input, PackedKey input_key, float t) {
    const double expected = CandidateScore(candidate, candidate_key, input, input_key, t);
    const bool expected_accept = expected >= static_cast<double>(t);
    double score = -1;
    const bool accepted = filter.Accept(candidate, candidate_key, score);
    ++checked_;
    if (accepted == expected_accept && (!accepted || score == expected)) return;
    if (++failures_ <= 10) {
      ADD_FAILURE() << "input \"" << input << "\" key " << input_key << ", candidate \""
                    << candidate << "\" key " << candidate_key << ", t " << t << ": expected "
                    << (expected_accept ? "accept" : "reject") << " with " << expected << ", got "
                    << (accepted ? "accept" : "reject") << " with " << score;
    }
  }
  int checked() const { return checked_; }

 private:
  int checked_ = 0;
  int failures_ = 0;
};

enum class Keys { kReal, kEqual, kDifferent };

PackedKey CandidateKey(Keys keys, std::string_view candidate, PackedKey input_key) {
  switch (keys) {
    case Keys::kReal:
      return PackedSoundex(candidate);
    case Keys::kEqual:
      return input_key;
    case Keys::kDifferent:
      return static_cast<PackedKey>(input_key + 1);
  }
  return 0;
}

std::string RandomWord(std::mt19937& random, std::string_view alphabet, std::size_t max_length) {
  std::uniform_int_distribution<std::size_t> length(0, max_length);
  std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
  std::string word(length(random), ' ');
  for (char& byte : word) byte = alphabet[letter(random)];
  return word;
}

// The word after a few random insertions, deletions and substitutions, so that candidates
// land near the threshold and within the close-match distance often.
std::string RandomEdits(std::mt19937& random, std::string word, std::string_view alphabet) {
  std::uniform_int_distribution<int> edits(0, 4);
  std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
  for (int n = edits(random); n > 0; --n) {
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, word.size())(random);
    switch (std::uniform_int_distribution<int>(0, 2)(random)) {
      case 0:
        word.insert(word.begin() + static_cast<std::ptrdiff_t>(at), alphabet[letter(random)]);
        break;
      case 1:
        if (at < word.size()) word.erase(at, 1);
        break;
      default:
        if (at < word.size()) word[at] = alphabet[letter(random)];
        break;
    }
  }
  return word;
}

void CompareRandomWords(std::string_view alphabet, std::size_t max_length, int inputs,
                        int candidates_per_input) {
  std::mt19937 random(12345);
  Differ differ;
  for (int n = 0; n < inputs; ++n) {
    const std::string input = RandomWord(random, alphabet, max_length);
    const PackedKey input_key = PackedSoundex(input);
    std::vector<std::string> candidates;
    for (int k = 0; k < candidates_per_input; ++k) {
      candidates.push_back(k % 2 == 0 ? RandomWord(random, alphabet, max_length)
                                      : RandomEdits(random, input, alphabet));
    }
    for (const float t : kThresholds) {
      CandidateFilter filter(input, input_key, t);
      for (const Keys keys : {Keys::kReal, Keys::kEqual, Keys::kDifferent}) {
        for (const std::string& candidate : candidates) {
          differ.Check(filter, candidate, CandidateKey(keys, candidate, input_key), input,
                       input_key, t);
        }
      }
    }
  }
  EXPECT_GT(differ.checked(), 0);
}

TEST(CandidateFilterTest, AcceptsTheWorkedExamples) {
  const PackedKey key = PackedSoundex("offise");
  CandidateFilter filter("offise", key, 0.8f);
  double score = 0;
  ASSERT_TRUE(filter.Accept("office", PackedSoundex("office"), score));
  EXPECT_DOUBLE_EQ(score, 0.95);
  ASSERT_TRUE(filter.Accept("oafish", PackedSoundex("oafish"), score));
  EXPECT_NEAR(score, 0.875, 1e-6);
  ASSERT_TRUE(filter.Accept("offset", PackedSoundex("offset"), score));
  EXPECT_EQ(score, 10.0 / 12);
  EXPECT_FALSE(filter.Accept("offices", PackedSoundex("offices"), score));
  EXPECT_FALSE(filter.Accept("abacus", PackedSoundex("abacus"), score));
  EXPECT_FALSE(filter.Accept("", 0, score));
}

TEST(CandidateFilterTest, CaseBlindEqualityScoresOneWhateverTheBounds) {
  // No byte of "OFFICE" equals a byte of "office", yet the ratio is 1.0.
  CandidateFilter filter("office", PackedSoundex("office"), 1.0f);
  double score = 0;
  ASSERT_TRUE(filter.Accept("OFFICE", 1, score));
  EXPECT_EQ(score, 1.0);
  // Under the input's key "Office" is a close match first (distance 1), and a close match
  // that is no permutation scores 0.95.
  EXPECT_FALSE(filter.Accept("Office", PackedSoundex("office"), score));
  EXPECT_TRUE(filter.Accept("Office", 1, score));
}

TEST(CandidateFilterTest, EmptyWords) {
  double score = 0;
  CandidateFilter empty_input("", 0, 0.0f);
  ASSERT_TRUE(empty_input.Accept("", 0, score));
  EXPECT_EQ(score, 1.0);
  ASSERT_TRUE(empty_input.Accept("abc", 1, score));
  EXPECT_EQ(score, 0.0);
  CandidateFilter strict("", 0, 0.5f);
  EXPECT_FALSE(strict.Accept("abc", 1, score));
}

TEST(CandidateFilterTest, AgreesWithTheScoreOnWordsOfTwoLetters) {
  CompareRandomWords("ab", 8, 150, 150);
}

TEST(CandidateFilterTest, AgreesWithTheScoreOnWordsOfThreeLetters) {
  CompareRandomWords("abc", 9, 150, 150);
}

TEST(CandidateFilterTest, AgreesWithTheScoreOnOddBytes) {
  // Upper case for the case-blind equality, NUL for the same-letters quirk, a Latin-1 letter.
  CompareRandomWords("aAb\0\xE9"s, 6, 150, 150);
}

TEST(CandidateFilterTest, AgreesWithTheScoreAroundTheSixtyFourByteLimit) {
  CompareRandomWords("abcd", 80, 30, 60);
}

TEST(CandidateFilterTest, RejectsAtOnceAgainstAVeryLongInput) {
  std::string input(100000, 'o');
  input.replace(50000, 6, "offise");
  const PackedKey input_key = PackedSoundex(input);
  const char* const candidates[] = {"office", "offset", "o", "oooooooo", ""};
  Differ differ;
  for (const float t : {0.0f, 0.8f}) {
    CandidateFilter filter(input, input_key, t);
    for (const char* candidate : candidates) {
      differ.Check(filter, candidate, PackedSoundex(candidate), input, input_key, t);
      differ.Check(filter, candidate, input_key, input, input_key, t);
    }
  }
  // Under an equal key a word of nearly the same length takes the banded distance over its
  // whole length (the plain score would fill a table of 10^10 cells here).
  std::string near = input;
  near[0] = 'x';
  near.pop_back();
  CandidateFilter filter(input, input_key, 0.8f);
  double score = 0;
  ASSERT_TRUE(filter.Accept(near, input_key, score));
  EXPECT_EQ(score, double{0.8f} + (0.95 - double{0.8f}) / 2);

  // Scoring any of these exactly costs a pass over the whole input; the length bound must
  // spare that, or this loop takes minutes.
  int accepted = 0;
  for (int round = 0; round < 100000; ++round) {
    for (const char* candidate : candidates) accepted += filter.Accept(candidate, 1, score);
  }
  EXPECT_EQ(accepted, 0);
}

// The main word list against real misspellings, in the windows the suggestion search scans.
TEST(CandidateFilterTest, AgreesWithTheScoreOnRealMisspellings) {
  std::ifstream dictionary(LEXIVANE_SOURCE_DIR "/data/words.dic", std::ios::binary);
  if (!dictionary) GTEST_SKIP() << "data/words.dic is not there";
  std::ifstream corpus(LEXIVANE_SHARED_DIR "/bench/corpora/birkbeck-sample.tsv");
  if (!corpus) GTEST_SKIP() << "the Birkbeck sample is not there";

  const std::string text{std::istreambuf_iterator<char>(dictionary), {}};
  std::vector<std::string> words;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  std::vector<PackedKey> keys;
  for (const std::string& word : words) keys.push_back(PackedSoundex(word));

  std::vector<std::string> misspellings;
  for (std::string line; std::getline(corpus, line);) {
    std::string word = line.substr(0, line.find('\t'));
    bool ascii = word.size() >= 2;
    for (char& byte : word) {
      if (static_cast<unsigned char>(byte) >= 0x80) ascii = false;
      if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
    }
    if (ascii) misspellings.push_back(word);
  }
  ASSERT_GT(misspellings.size(), 100u);

  Differ differ;
  constexpr std::size_t kInputs = 24;
  for (std::size_t n = 0; n < kInputs; ++n) {
    const std::string& input = misspellings[n * misspellings.size() / kInputs];
    const PackedKey input_key = PackedSoundex(input);
    const char first = input[0];
    const auto in_window = [&](const std::string& word) {
      return word.size() >= 2 &&
             ((word[0] == first && word[1] >= 'a') || (word[0] == first + 1 && word[1] == 'a'));
    };
    for (const float t : {0.0f, 0.5f, 0.8f, 0.95f, 0.96f, 1.0f}) {
      CandidateFilter filter(input, input_key, t);
      for (std::size_t k = 0; k < words.size(); ++k) {
        if (!in_window(words[k])) continue;
        differ.Check(filter, words[k], keys[k], input, input_key, t);
        // Every candidate under the input's key too, to reach the close-match rule often.
        if (t == 0.8f || t == 0.96f) differ.Check(filter, words[k], input_key, input, input_key, t);
      }
    }
  }
  EXPECT_GT(differ.checked(), 100000);
}

}  // namespace
}  // namespace lexivane
