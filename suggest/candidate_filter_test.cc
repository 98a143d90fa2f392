#include "suggest/candidate_filter.h"

#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/prepared_tables.h"
#include "engine/soundex.h"
#include "engine/word_list.h"
#include "suggest/similarity.h"

namespace lexivane {
namespace {

using namespace std::string_literals;

// The thresholds the engine can hold, and some it cannot (the filter must agree there too).
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kThresholds[] = {0.0f, 0.5f,  0.8f,     0.95f, 0.96f, 0.99f,
                             1.0f, 0.75f, 1.0f / 3, -0.2f, 1.5f,  kNaN};

// The key a candidate is checked under: its own, the input's, or one that differs from it.
enum KeyRelation { kOwnKey, kInputKey, kOtherKey };

PackedKey CandidateKey(KeyRelation relation, std::string_view candidate, PackedKey input_key) {
  if (relation == kOwnKey) return PackedSoundex(candidate);
  return static_cast<PackedKey>(relation == kInputKey ? input_key : input_key + 1);
}

// Compares the filter's answers for an input with the plain score, under every threshold and
// key relation; a message names the first differences. Each candidate is asked `calls` times,
// since an answer must not depend on the calls before it.
class Differ {
 public:
  void CheckAll(std::string_view input, const std::vector<std::string_view>& candidates,
                int calls = 1) {
    const PackedKey input_key = PackedSoundex(input);
    for (const float t : kThresholds) {
      CandidateFilter filter(input, input_key, t);
      for (int call = 0; call < calls; ++call) {
        for (const KeyRelation relation : {kOwnKey, kInputKey, kOtherKey}) {
          for (std::string_view candidate : candidates) {
            Check(filter, candidate, CandidateKey(relation, candidate, input_key), input, input_key,
                  t);
          }
        }
      }
    }
  }

 private:
  void Check(CandidateFilter& filter, std::string_view candidate, PackedKey candidate_key,
             std::string_view input, PackedKey input_key, float t) {
    const double expected = CandidateScore(candidate, candidate_key, input, input_key, t);
    const bool expected_accept = expected >= static_cast<double>(t);
    double score = -1;
    const bool accepted = filter.Accept(candidate, candidate_key, score);
    if (accepted == expected_accept && (!accepted || score == expected)) return;
    if (++failures_ <= 10) {
      ADD_FAILURE() << "input \"" << input << "\" key " << input_key << ", candidate \""
                    << candidate << "\" key " << candidate_key << ", t " << t << ": expected "
                    << (expected_accept ? "accept" : "reject") << " with " << expected << ", got "
                    << (accepted ? "accept" : "reject") << " with " << score;
    }
  }

  int failures_ = 0;
};

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
  std::uniform_int_distribution<int> edits(0, 4), kinds(0, 2);
  std::uniform_int_distribution<std::size_t> letters(0, alphabet.size() - 1);
  for (int n = edits(random); n > 0; --n) {
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, word.size())(random);
    const int kind = kinds(random);
    const char letter = alphabet[letters(random)];
    if (kind == 0) word.insert(at, 1, letter);
    if (kind == 1 && at < word.size()) word.erase(at, 1);
    if (kind == 2 && at < word.size()) word[at] = letter;
  }
  return word;
}

void CompareRandomWords(std::string_view alphabet, std::size_t max_length, int inputs,
                        int candidates_per_input) {
  std::mt19937 random(12345);
  Differ differ;
  for (int n = 0; n < inputs; ++n) {
    const std::string input = RandomWord(random, alphabet, max_length);
    std::vector<std::string> candidates;
    for (int k = 0; k < candidates_per_input; ++k) {
      candidates.push_back(k % 2 == 0 ? RandomWord(random, alphabet, max_length)
                                      : RandomEdits(random, input, alphabet));
    }
    differ.CheckAll(input, {candidates.begin(), candidates.end()});
  }
}

// The worked examples, the case-blind equality that no byte bound may pre-empt ("OFFICE" shares
// no byte with "office", yet its ratio is 1.0) and empty words, under every key relation. Each
// candidate is asked twice: beyond 64 bytes ("b" and 69 "a"s) the letter counts live in a table
// that each call must restore.
TEST(CandidateFilterTest, AgreesWithTheScoreOnChosenWords) {
  const std::string long_input = "b" + std::string(69, 'a');
  const std::pair<std::string_view, std::string_view> pairs[] = {
      {"offise", "office"},
      {"offise", "oafish"},
      {"offise", "offset"},
      {"offise", "offices"},
      {"offise", "abacus"},
      {"offise", ""},
      {"office", "OFFICE"},
      {"office", "Office"},
      {"", ""},
      {"", "abc"},
      {"teh", "the"},
      {"recieve", "receive"},
      {long_input, std::string_view(long_input).substr(0, 69)},
  };
  Differ differ;
  for (const auto& [input, candidate] : pairs) differ.CheckAll(input, {candidate}, 2);
}

// Two letters and three reach every branch often; upper case for the case-blind equality, NUL
// for the same-letters quirk, a Latin-1 letter; words around the 64-byte limit of the
// bit-parallel bounds.
TEST(CandidateFilterTest, AgreesWithTheScoreOnRandomWords) {
  const struct {
    std::string alphabet;
    std::size_t max_length;
    int inputs, candidates_per_input;
  } cases[] = {
      {"ab", 8, 150, 150}, {"abc", 9, 150, 150}, {"aAb\0\xE9"s, 6, 150, 150}, {"abcd", 80, 30, 60}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.alphabet));
    CompareRandomWords(c.alphabet, c.max_length, c.inputs, c.candidates_per_input);
  }
}

// The walk over sorted entries answers as Accept does for each entry, whatever an entry shares
// with the one before: random lists over small alphabets (long shared prefixes, many entries
// under the input's key), inputs near an entry and far from all, in capitals (equal to an entry
// but for case), and beyond 64 bytes, under every threshold.
TEST(CandidateFilterTest, AcceptEntriesAgreesWithAcceptOnEveryEntry) {
  std::mt19937 random(2024);
  for (const std::string_view alphabet : {"ab", "abc'\xE9", "abcdefghij"}) {
    SCOPED_TRACE(alphabet);
    std::set<std::string> unique;
    while (unique.size() < 300) {
      if (std::string word = RandomWord(random, alphabet, 12); word.size() >= 2)
        unique.insert(word);
    }
    std::string list;
    for (const std::string& word : unique) list += word + "\r\n";
    const std::vector<std::uint8_t> image = BuildPreparedImage(
        LoadWordList({reinterpret_cast<const std::uint8_t*>(list.data()), list.size()}));
    const PreparedTables tables(image);
    const std::vector<std::string> words(unique.begin(), unique.end());
    std::vector<std::string> inputs = {std::string(70, alphabet[1]) + "a", "AB", "BA"};
    for (int n = 0; n < 20; ++n) {
      const std::string& near = words[random() % words.size()];
      inputs.push_back(n % 2 == 0 ? RandomEdits(random, near, alphabet)
                                  : RandomWord(random, alphabet, 12));
    }
    for (const std::string& input : inputs) {
      const PackedKey input_key = PackedSoundex(input);
      for (const float t : kThresholds) {
        CandidateFilter walk(input, input_key, t), each(input, input_key, t);
        std::vector<CandidateFilter::AcceptedEntry> walked;
        walk.AcceptEntries(tables, 0, tables.word_count() - 1, walked);
        std::vector<std::pair<std::int32_t, double>> found, expected;
        for (const auto& entry : walked) found.emplace_back(entry.index, entry.score);
        for (std::int32_t k = 0; k < tables.word_count(); ++k) {
          double score;
          if (each.Accept(tables.Word(k), tables.Key(k), score)) expected.emplace_back(k, score);
        }
        ASSERT_EQ(found, expected) << "input \"" << input << "\", t " << t;
      }
    }
  }
}

TEST(CandidateFilterTest, RejectsAtOnceAgainstAVeryLongInput) {
  std::string input(100000, 'o');
  input.replace(50000, 6, "offise");
  const PackedKey input_key = PackedSoundex(input);
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
  const char* const candidates[] = {"office", "offset", "o", "oooooooo", ""};
  int accepted = 0;
  for (int round = 0; round < 100000; ++round) {
    for (const char* candidate : candidates) accepted += filter.Accept(candidate, 1, score);
  }
  EXPECT_EQ(accepted, 0);
}

}  // namespace
}  // namespace lexivane
