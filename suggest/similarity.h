// Word comparison measures used to score suggestion candidates: Levenshtein distance, the
// same-letters (permutation) test, the Ratcliff/Obershelp similarity ratio, and the rule that
// combines them with Soundex keys into the score of one main-list candidate.
//
// These are the plain, literal algorithms; they are the reference that the fast candidate
// filter (candidate_filter.h) must agree with exactly. Pure functions, any thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "suggest/soundex.h"

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

}  // namespace lexivane
