#include "suggest/candidate_filter.h"
#include "support/ascii.h"
#include "support/set_bits.h"

#include <algorithm>

namespace lexivane {
namespace {

// Distances above 2 are all the same to the score, so the banded distance stops counting there.
constexpr int kFar = 3;

std::size_t LengthGap(std::size_t a, std::size_t b) {
  return a > b ? a - b : b - a;
}

}  // namespace

CandidateFilter::CandidateFilter(std::string_view input, PackedKey input_key, float t)
    : input_(input), input_key_(input_key), threshold_(t) {
  for (const char byte : input_) ++input_counts_[static_cast<unsigned char>(byte)];
  for (std::size_t byte = 0; byte < absent_from_input_.size(); ++byte) {
    absent_from_input_[byte] = input_counts_[byte] == 0 ? 1 : 0;
  }
  remaining_ = input_counts_;
  if (input_.size() <= kMaxBitParallelInput) {
    for (std::size_t i = 0; i < input_.size(); ++i) {
      position_masks_[static_cast<unsigned char>(input_[i])] |= std::uint64_t{1} << i;
    }
  }
  for (std::size_t length = 0; length < kTabledLengths; ++length) {
    required_matches_[length] = static_cast<std::uint32_t>(ComputeRequiredMatches(length));
    allowed_unmatched_[length] = AllowedUnmatched(length);
  }
}

std::int32_t CandidateFilter::AllowedUnmatched(std::size_t length) const {
  const std::size_t required = RequiredMatches(length);
  return required == kUnreachable ? -1 : static_cast<std::int32_t>(length - required);
}

void CandidateFilter::AcceptEntries(const PreparedTables& tables, std::int32_t first,
                                    std::int32_t last, std::vector<AcceptedEntry>& accepted) {
  double score;
  if (input_.empty() || input_.size() > kMaxBitParallelInput) {
    for (std::int32_t k = first; k <= last; ++k) {
      if (Accept(tables.Word(k), tables.Key(k), score)) accepted.push_back({k, score});
    }
    return;
  }
  const std::size_t deepest = tables.max_word_length();
  std::int64_t most_allowed = 0;  // over every length an entry may have
  for (std::size_t length = 1; length <= deepest; ++length) {
    most_allowed = std::max<std::int64_t>(most_allowed, AllowedUnmatched(length));
  }
  path_unused_.resize(deepest + 1);
  path_unmatched_.resize(deepest + 1);
  path_unused_[0] = ~std::uint64_t{0};
  path_unmatched_[0] = 0;
  std::size_t walked = 0;  // the depths of the path that hold for the entry at hand
  const auto accept_under_input_key = [&](std::int32_t k) {
    if (AcceptAfterLengthBound(tables.Word(k), input_key_, score)) accepted.push_back({k, score});
  };
  const auto [offsets, blob, keys, shared] = tables.columns();
  const PackedKey input_key = input_key_;
  std::uint64_t* const path_unused = path_unused_.data();
  std::uint32_t* const path_unmatched = path_unmatched_.data();
  for (std::int32_t k = first; k <= last; ++k) {
    walked = std::min<std::size_t>(walked, shared[k]);
    // Under the input's key a close match by edit distance gets past every bound below, and so
    // does an entry equal to the input but for case, which always has its key.
    if (keys[k] == input_key) {
      accept_under_input_key(k);
      continue;
    }
    const char* const word = blob + offsets[k];
    const std::size_t length = offsets[k + 1] - offsets[k];
    // An unreachable length allows less than none, so that its entries are ruled out below
    // with the others: one branch less to mispredict.
    const std::int64_t allowed =
        length < kTabledLengths ? allowed_unmatched_[length] : AllowedUnmatched(length);
    // The state in registers; the path keeps a copy of each depth for the entries after.
    std::size_t depth = walked;
    std::uint64_t unused = path_unused[depth];
    std::uint32_t unmatched = path_unmatched[depth];
    while (unmatched <= allowed && depth < length) {
      const std::uint64_t partners =
          unused & position_masks_[static_cast<unsigned char>(word[depth])];
      unused ^= partners & (~partners + 1);
      unmatched += partners == 0 ? 1 : 0;
      ++depth;
      path_unused[depth] = unused;
      path_unmatched[depth] = unmatched;
    }
    walked = depth;
    if (unmatched > allowed) {
      // When no length allows so many bytes without a partner, every entry that goes on from
      // this prefix is ruled out as well, but for those under the input's key.
      if (unmatched > most_allowed) {
        while (k < last && shared[k + 1] >= depth) {
          if (keys[++k] == input_key) accept_under_input_key(k);
        }
      }
      continue;
    }
    if (AcceptByMatches({word, length}, RequiredMatches(length), score)) {
      accepted.push_back({k, score});
    }
  }
}

std::size_t CandidateFilter::RequiredMatches(std::size_t length) const {
  return length < kTabledLengths ? required_matches_[length] : ComputeRequiredMatches(length);
}

std::size_t CandidateFilter::ComputeRequiredMatches(std::size_t length) const {
  // The smallest M whose ratio reaches the threshold, found with the ratio's own arithmetic
  // (which is monotone in M) so that rounding can never make the bound reject a real match.
  const std::size_t max_matches = std::min(length, input_.size());
  const std::size_t total = length + input_.size();
  if (total == 0) return 0;
  if (!(GestaltRatio(max_matches, total) >= threshold_)) return kUnreachable;
  std::size_t low = 0, high = max_matches;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (GestaltRatio(middle, total) >= threshold_) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

bool CandidateFilter::AcceptAfterLengthBound(std::string_view candidate, PackedKey candidate_key,
                                             double& score) {
  // A length gap above 2 alone puts the distance above 2, so only near-equal lengths need it.
  // Each edit removes at most one candidate byte without a partner in the input, so more than
  // two such bytes put the distance above 2 for the price of a pass over the candidate.
  if (candidate_key == input_key_ && LengthGap(candidate.size(), input_.size()) <= 2 &&
      (input_.size() > kMaxBitParallelInput || FewUnmatched(candidate, 2))) [[unlikely]] {
    const int distance = BandedEditDistance(candidate);
    if (distance <= 2) {
      const double close = SameLetters(input_, candidate, same_letters_scratch_)
                               ? 1.0
                               : threshold_ + (0.95 - threshold_) / distance;
      if (!(close >= threshold_)) return false;
      score = close;
      return true;
    }
  }
  // The length bound first, as it rules out most words for the price of one lookup. It may
  // run before the case-blind equality test: for words of equal length it rejects only when
  // even a ratio of 1.0 would fall short of the threshold.
  const std::size_t required = RequiredMatches(candidate.size());
  if (required == kUnreachable) return false;
  return AcceptByRatio(candidate, required, score);
}

bool CandidateFilter::AcceptByRatio(std::string_view candidate, std::size_t required,
                                    double& score) {
  double ratio;
  if (candidate.size() == input_.size() && support::EqualsIgnoringAsciiCase(candidate, input_)) {
    ratio = 1.0;
  } else if (candidate.empty() || input_.empty()) {
    ratio = 0.0;
  } else {
    // Every bound is an upper bound on the matching characters M, and the ratio only grows
    // with M, so a bound below the required M rules the candidate out for certain.
    if (required > 0 && !LetterCountsAllow(candidate, required)) return false;
    return AcceptByMatches(candidate, required, score);
  }
  if (!(ratio >= threshold_)) return false;
  score = ratio;
  return true;
}

bool CandidateFilter::AcceptByMatches(std::string_view candidate, std::size_t required,
                                      double& score) {
  if (required > 0 && input_.size() <= kMaxBitParallelInput &&
      CommonSubsequenceLength(candidate) < required) {
    return false;
  }
  const double ratio =
      GestaltRatio(matcher_.MatchingChars(candidate, input_), candidate.size() + input_.size());
  if (!(ratio >= threshold_)) return false;
  score = ratio;
  return true;
}

int CandidateFilter::BandedEditDistance(std::string_view candidate) const {
  // Only cells within two of the diagonal can hold a distance of 2 or less: any path through
  // another cell already costs 3. Each row is kept as those five cells (cell k of row i is
  // column i + k - 2), capped at kFar; capping commutes with the recurrence, so values up to
  // 2 come out exact.
  const auto a_length = static_cast<std::ptrdiff_t>(candidate.size());
  const auto b_length = static_cast<std::ptrdiff_t>(input_.size());
  std::array<int, 5> previous, current;
  for (int k = 0; k < 5; ++k) {
    const std::ptrdiff_t j = k - 2;
    previous[k] = j < 0 || j > b_length ? kFar : std::min<int>(static_cast<int>(j), kFar);
  }
  for (std::ptrdiff_t i = 1; i <= a_length; ++i) {
    int row_minimum = kFar;
    for (int k = 0; k < 5; ++k) {
      const std::ptrdiff_t j = i + k - 2;
      int value;
      if (j < 0 || j > b_length) {
        value = kFar;
      } else if (j == 0) {
        value = i < kFar ? static_cast<int>(i) : kFar;
      } else {
        const int above = k < 4 ? previous[k + 1] : kFar;
        const int left = k > 0 ? current[k - 1] : kFar;
        const int diagonal = previous[k] + (candidate[i - 1] == input_[j - 1] ? 0 : 1);
        value = std::min({above + 1, left + 1, diagonal, kFar});
      }
      current[k] = value;
      row_minimum = std::min(row_minimum, value);
    }
    // Row minima never decrease, so a row without a cell below kFar settles the answer.
    if (row_minimum >= kFar) return kFar;
    previous = current;
  }
  return previous[b_length - a_length + 2];
}

bool CandidateFilter::LetterCountsAllow(std::string_view candidate, std::size_t required) {
  // M <= sum over byte values of min(count in candidate, count in input): each matched
  // candidate byte uses up one equal input byte. Stops as soon as too many bytes are left
  // without a partner, which for most words happens within the first few bytes.
  const std::size_t allowed_unmatched = candidate.size() - required;
  // First the bytes that the input lacks altogether: they can have no partner, and counting
  // them is a dependency-free pass that rules out most words before the exact count below.
  std::size_t absent = 0;
  for (const char byte : candidate) absent += absent_from_input_[static_cast<unsigned char>(byte)];
  if (absent > allowed_unmatched) return false;
  if (input_.size() <= kMaxBitParallelInput) return FewUnmatched(candidate, allowed_unmatched);
  std::size_t unmatched = 0;
  std::size_t visited = 0;
  bool allowed = true;
  while (visited < candidate.size()) {
    const auto byte = static_cast<unsigned char>(candidate[visited++]);
    if (remaining_[byte] > 0) {
      --remaining_[byte];
    } else if (++unmatched > allowed_unmatched) {
      allowed = false;
      break;
    }
  }
  for (std::size_t k = 0; k < visited; ++k) {
    const auto byte = static_cast<unsigned char>(candidate[k]);
    remaining_[byte] = input_counts_[byte];
  }
  return allowed;
}

bool CandidateFilter::FewUnmatched(std::string_view candidate, std::size_t most) const {
  // The unused input positions fit in one register; a partner takes the lowest one.
  std::uint64_t unused = ~std::uint64_t{0};
  std::size_t unmatched = 0;
  for (const char byte : candidate) {
    const std::uint64_t partners = unused & position_masks_[static_cast<unsigned char>(byte)];
    unused ^= partners & (~partners + 1);
    unmatched += partners == 0;
    if (unmatched > most) return false;
  }
  return true;
}

std::size_t CandidateFilter::CommonSubsequenceLength(std::string_view candidate) const {
  // The matched characters of the gestalt match form a common subsequence, so the longest
  // common subsequence bounds M. Bit-parallel form (one machine word holds a DP row over the
  // input): zero bits of `row` mark the input positions that end a match so far.
  std::uint64_t row = ~std::uint64_t{0};
  for (const char byte : candidate) {
    const std::uint64_t matches = row & position_masks_[static_cast<unsigned char>(byte)];
    row = (row + matches) | (row - matches);
  }
  const std::uint64_t used =
      input_.size() == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << input_.size()) - 1;
  return static_cast<std::size_t>(support::SetBits(~row & used));
}

}  // namespace lexivane
