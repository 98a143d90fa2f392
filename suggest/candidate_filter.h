// A fast, exact stand-in for "CandidateScore(candidate, ...) >= t" over a whole search window.
//
// The suggestion search scores up to some twelve thousand main-list words against one input.
// CandidateFilter is prepared once per input and rules most candidates out with bounds that
// can never reject a word the plain score would accept (a length bound and a letter-count
// bound on the similarity ratio, a length bound on the edit distance), and computes the exact
// score only for the rest. Its answers equal those of CandidateScore bit for bit; the tests
// hold it to that. Not thread-safe: one filter per search.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "suggest/soundex.h"

namespace lexivane {

class CandidateFilter {
 public:
  // `input` is the cleaned, lower-case input word in single-byte form; t the threshold.
  CandidateFilter(std::string_view input, PackedKey input_key, float t);

  // True exactly when CandidateScore(candidate, candidate_key, input, input_key, t) >= t;
  // then `score` holds that score.
  bool Accept(std::string_view candidate, PackedKey candidate_key, double& score);
};

}  // namespace lexivane
