// A fast, exact stand-in for "CandidateScore(candidate, ...) >= t" over a whole search window.
//
// The suggestion search scores up to some twelve thousand main-list words against one input.
// CandidateFilter is prepared once per input and rules most candidates out with bounds that
// can never reject a word the plain score would accept (length, letter-count and
// common-subsequence bounds on the similarity ratio, a length bound and a banded computation
// for the edit distance), and computes the exact score only for the rest. Its answers equal those
// of CandidateScore bit for bit; the tests hold it to that. The filter keeps its own copy of the
// input and reuses its work buffers, so Accept allocates only while they grow. Not thread-safe: one
// filter per search.
//
// AcceptEntries scores a run of the prepared tables' sorted entries at once. The letter-count
// bound depends on a word's bytes from the left, so it is kept for each depth of the last entry
// walked and the next entry starts from the bytes it shares with it (as a walk down a trie of
// the list); a prefix that already has more bytes without a partner than any length allows rules
// out every entry that goes on from it, which the walk passes over reading only how much each
// shares with the one before, and its key.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/prepared_tables.h"
#include "engine/soundex.h"
#include "suggest/similarity.h"

namespace lexivane {

class CandidateFilter {
 public:
  // `input` is the cleaned, lower-case input word in single-byte form; t the threshold.
  CandidateFilter(std::string_view input, PackedKey input_key, float t);

  // True exactly when CandidateScore(candidate, candidate_key, input, input_key, t) >= t;
  // then `score` holds that score.
  bool Accept(std::string_view candidate, PackedKey candidate_key, double& score) {
    // Most of a window is ruled out by length alone; inline, that costs one table lookup.
    const std::size_t length = candidate.size();
    if (candidate_key != input_key_ && length < kTabledLengths &&
        required_matches_[length] == kUnreachable) {
      return false;
    }
    return AcceptAfterLengthBound(candidate, candidate_key, score);
  }

  struct AcceptedEntry {
    std::int32_t index;
    double score;
  };
  // Appends {k, score} for each entry k of `tables` from `first` to `last` that Accept accepts,
  // in order. The input key must be the input's PackedSoundex, as each entry's key is its own,
  // and the entries non-empty, as the list's are.
  void AcceptEntries(const PreparedTables& tables, std::int32_t first, std::int32_t last,
                     std::vector<AcceptedEntry>& accepted);

 private:
  // The number of matching characters a candidate of `length` bytes needs for its ratio to
  // reach the threshold, or kUnreachable when more than the shorter word's length.
  static constexpr std::uint32_t kUnreachable = UINT32_MAX;
  bool AcceptAfterLengthBound(std::string_view candidate, PackedKey candidate_key, double& score);
  std::size_t RequiredMatches(std::size_t length) const;
  std::size_t ComputeRequiredMatches(std::size_t length) const;
  // The edit distance to the input when it is at most 2, else 3; needs |la - lb| <= 2.
  int BandedEditDistance(std::string_view candidate) const;
  bool LetterCountsAllow(std::string_view candidate, std::size_t required);
  // Whether at most `most` bytes of the candidate find no partner among the input's bytes (each
  // input byte partners one); inputs of up to kMaxBitParallelInput bytes.
  bool FewUnmatched(std::string_view candidate, std::size_t most) const;
  std::size_t CommonSubsequenceLength(std::string_view candidate) const;
  bool AcceptByRatio(std::string_view candidate, std::size_t required, double& score);
  // The rest of AcceptByRatio once the candidate is known to differ from the input beyond case,
  // both are non-empty, and the letter counts allow `required` matches.
  bool AcceptByMatches(std::string_view candidate, std::size_t required, double& score);
  // How many bytes of a candidate of `length` bytes may lack a partner in the input for it to
  // reach the threshold, or -1 when no candidate of that length can.
  std::int32_t AllowedUnmatched(std::size_t length) const;

  std::string input_;
  PackedKey input_key_;
  double threshold_;

  // RequiredMatches for the common candidate lengths, computed once.
  static constexpr std::size_t kTabledLengths = 64;
  std::array<std::uint32_t, kTabledLengths> required_matches_{};
  std::array<std::int32_t, kTabledLengths> allowed_unmatched_{};  // AllowedUnmatched

  // For inputs longer than 64 bytes: how often each byte value occurs in the input.
  // `remaining_` is the same table while a candidate is counted against it, and is restored
  // before Accept returns.
  std::array<std::uint32_t, 256> input_counts_{};
  // 1 for each byte value the input does not contain, else 0.
  std::array<std::uint8_t, 256> absent_from_input_{};
  std::array<std::uint32_t, 256> remaining_{};

  // For inputs of up to 64 bytes: bit i of position_masks_[c] is set when input_[i] == c.
  static constexpr std::size_t kMaxBitParallelInput = 64;
  std::array<std::uint64_t, 256> position_masks_{};

  // AcceptEntries' walk: for each depth d of the entry last walked, the input positions still
  // without a partner after its first d bytes (position_masks_ order) and how many of those
  // bytes found none.
  std::vector<std::uint64_t> path_unused_;
  std::vector<std::uint32_t> path_unmatched_;

  std::string same_letters_scratch_;
  GestaltMatcher matcher_;
};

}  // namespace lexivane
