// Word comparison measures used to score suggestion candidates: Levenshtein distance, the
// same-letters (permutation) test, the Ratcliff/Obershelp similarity ratio, and the rule that
// combines them with Soundex keys into the score of one main-list candidate.
//
// These are the plain, literal algorithms; they are the reference that the fast candidate
// filter (candidate_filter.h) must agree with exactly. Pure functions, any thread; only a
// GestaltMatcher object, which holds reusable buffers, belongs to one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/soundex.h"

namespace lexivane {

// Levenshtein distance with unit costs and no transposition, comparing code units exactly
// ("O" and "o" differ).
int EditDistance(std::u16string_view a, std::u16string_view b);
int EditDistance(std::string_view a, std::string_view b);

// True when b is a permutation of a; both are single-byte forms.
bool SameLetters(std::string_view a, std::string_view b);

// The number of matching characters of the gestalt pattern match of two single-byte forms:
// the longest common run (the first found with `a` driving the outer loop, then `b`), plus
// the matches to its right, plus those to its left.
std::int32_t MatchingChars(std::string_view a, std::string_view b);

// Ratcliff/Obershelp ratio 2M / (|a| + |b|), with 1.0 for words equal after upper-casing
// (two empty words included) and 0.0 when exactly one is empty. The order of the arguments
// matters through MatchingChars' tie-break.
double SimilarityRatio(std::u16string_view a, std::u16string_view b);

// The same for two single-byte forms whose upper-case equality is plain ASCII case folding of
// the bytes; valid when both words are ASCII or lower-case Windows-1252 text.
double SimilarityRatioOfBytes(std::string_view a, std::string_view b);

// The score of a main-list candidate against the (cleaned, lower-case) input word, both in
// single-byte form, with their packed Soundex keys and the engine's threshold t: 1.0 for a
// permutation within edit distance 2 under equal keys, t + (0.95 - t) / d for another close
// match, the similarity ratio otherwise.
double CandidateScore(std::string_view candidate, PackedKey candidate_key, std::string_view input,
                      PackedKey input_key, float t);

// Helpers shared with the candidate filter, which must reproduce the functions above bit for
// bit while scoring thousands of words without allocating for each one.

// SameLetters with a caller-owned scratch copy of b (reused, so it allocates only to grow).
bool SameLetters(std::string_view a, std::string_view b, std::string& scratch);

// 2M / (la + lb) in double, the one expression behind every ratio, so that a caller that
// compares a bound against the threshold rounds exactly as the ratio does. Nondecreasing in
// `matching` for a fixed total.
inline double GestaltRatio(std::size_t matching, std::size_t total_length) {
  return 2.0 * static_cast<double>(matching) / static_cast<double>(total_length);
}

// MatchingChars with work buffers that live as long as the object; the explicit work list
// keeps the stack flat whatever the length of the words.
class GestaltMatcher {
 public:
  std::int32_t MatchingChars(std::string_view a, std::string_view b);

 private:
  struct Range {
    std::size_t a_begin, a_end, b_begin, b_end;  // half-open
  };
  std::vector<std::uint32_t> run_rows_;  // two rows of run lengths, ending at each b position
  std::vector<Range> pending_;
};

}  // namespace lexivane
