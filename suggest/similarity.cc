#include "suggest/similarity.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <utility>

#include "platform/text.h"
#include "support/ascii.h"

namespace lexivane {
namespace {

// The distance never exceeds the longer length, so this only matters beyond 2^31 characters.
int SaturatedInt(std::size_t value) {
  return value > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

// Only the previous row and the diagonal element are needed at any time, so one row over the
// shorter word suffices; the distance is symmetric, which makes that choice free.
template <typename Char>
int Levenshtein(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  if (a.size() < b.size()) std::swap(a, b);
  if (b.empty()) return SaturatedInt(a.size());
  std::vector<std::size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
      diagonal = above;
    }
  }
  return SaturatedInt(row[b.size()]);
}

}  // namespace

int EditDistance(std::u16string_view a, std::u16string_view b) {
  return Levenshtein(a, b);
}

int EditDistance(std::string_view a, std::string_view b) {
  return Levenshtein(a, b);
}

bool SameLetters(std::string_view a, std::string_view b, std::string& scratch) {
  if (a.size() != b.size()) return false;
  // Matched bytes of b are overwritten with NUL rather than removed, so a NUL in `a` can
  // match a byte that an earlier byte of `a` already used. Callers see that quirk; keep it.
  scratch.assign(b);
  for (const char byte : a) {
    const std::size_t found = scratch.find(byte);
    if (found == std::string::npos) return false;
    scratch[found] = '\0';
  }
  return true;
}

bool SameLetters(std::string_view a, std::string_view b) {
  std::string scratch;
  return SameLetters(a, b, scratch);
}

std::int32_t GestaltMatcher::MatchingChars(std::string_view a, std::string_view b) {
  // Two rows of run lengths: the run of equal bytes that ends at a[i] and b[j], within the
  // current range. Runs are found by their ends, but a longest run's end and start differ by
  // the same length for every candidate, so "first end" is "first start" in both words.
  if (run_rows_.size() < 2 * (b.size() + 1)) run_rows_.resize(2 * (b.size() + 1));
  pending_.clear();
  pending_.push_back({0, a.size(), 0, b.size()});
  std::size_t total = 0;
  while (!pending_.empty()) {
    const Range range = pending_.back();
    pending_.pop_back();
    const std::size_t a_length = range.a_end - range.a_begin;
    const std::size_t b_length = range.b_end - range.b_begin;
    const std::size_t longest_possible = std::min(a_length, b_length);
    if (longest_possible == 0) continue;

    std::uint32_t* previous = run_rows_.data();
    std::uint32_t* current = previous + b_length + 1;
    std::fill(previous, previous + b_length + 1, 0);
    current[0] = 0;
    std::size_t best = 0, best_a_end = 0, best_b_end = 0;
    for (std::size_t i = 0; i < a_length && best < longest_possible; ++i) {
      const char byte = a[range.a_begin + i];
      for (std::size_t j = 0; j < b_length; ++j) {
        const std::uint32_t run = byte == b[range.b_begin + j] ? previous[j] + 1 : 0;
        current[j + 1] = run;
        // Strictly longer only: an equal run found later starts later in a, or in the same
        // place in a and later in b, and the first one wins.
        if (run > best) {
          best = run;
          best_a_end = range.a_begin + i + 1;
          best_b_end = range.b_begin + j + 1;
          if (best == longest_possible) break;
        }
      }
      std::swap(previous, current);
    }
    if (best == 0) continue;

    total += best;
    // The count is a plain sum, so the order in which the two sides are taken does not matter.
    pending_.push_back({best_a_end, range.a_end, best_b_end, range.b_end});
    pending_.push_back({range.a_begin, best_a_end - best, range.b_begin, best_b_end - best});
  }
  return static_cast<std::int32_t>(std::min<std::size_t>(total, INT32_MAX));
}

std::int32_t MatchingChars(std::string_view a, std::string_view b) {
  GestaltMatcher matcher;
  return matcher.MatchingChars(a, b);
}

double SimilarityRatio(std::u16string_view a, std::u16string_view b) {
  if (platform::ToUpper(a) == platform::ToUpper(b)) return 1.0;
  if (a.empty() || b.empty()) return 0.0;
  // Both conversions keep one byte per code unit, so the lengths carry over.
  return GestaltRatio(MatchingChars(platform::ToSingleByte(a), platform::ToSingleByte(b)),
                      a.size() + b.size());
}

double SimilarityRatioOfBytes(std::string_view a, std::string_view b) {
  if (support::EqualsIgnoringAsciiCase(a, b)) return 1.0;
  if (a.empty() || b.empty()) return 0.0;
  return GestaltRatio(MatchingChars(a, b), a.size() + b.size());
}

double CandidateScore(std::string_view candidate, PackedKey candidate_key, std::string_view input,
                      PackedKey input_key, float t) {
  int distance = 1000;  // anything above 2: words of different keys are never close matches
  if (candidate_key == input_key) distance = EditDistance(candidate, input);
  if (distance <= 2) {
    if (SameLetters(input, candidate)) return 1.0;
    const double threshold = t;
    return threshold + (0.95 - threshold) / distance;
  }
  return SimilarityRatioOfBytes(candidate, input);
}

}  // namespace lexivane
