#include "suggest/near_words.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/prepared_tables.h"
#include "engine/word_list.h"

namespace lexivane {
namespace {

// rows[d][j]: the distance between the first d letters of the listed word and the first j of
// the misspelling, capped at most_edits + 1 (every larger value acts alike). Only the band
// |d - j| <= most_edits is computed, and the cells just beside it hold the cap.
using Row = std::array<std::uint8_t, kLongestNearWord + 2>;
constexpr std::size_t kDeepest = kLongestNearWord + kMostNearEdits + 1;

class BandedDistance {
 public:
  BandedDistance(std::string_view word, int most_edits)
      : word_(word), m_(static_cast<int>(word.size())), k_(most_edits), cap_(most_edits + 1) {
    for (int j = 0; j <= m_; ++j) rows_[0][j] = static_cast<std::uint8_t>(std::min(j, cap_));
  }

  // Fills row `d` for `listed`'s letter d - 1 (rows below must hold its prefix); false when the
  // whole band is above the limit, so that no word with this prefix can be near.
  bool FillRow(std::string_view listed, int d) {
    const int lo = std::max(0, d - k_), hi = std::min(m_, d + k_);
    Row& row = rows_[d];
    const Row& up = rows_[d - 1];
    if (lo > 0) row[lo - 1] = static_cast<std::uint8_t>(cap_);
    if (hi < m_) row[hi + 1] = static_cast<std::uint8_t>(cap_);
    const char letter = listed[d - 1];
    int least = cap_;
    for (int j = lo; j <= hi; ++j) {
      int best;
      if (j == 0) {
        best = std::min(d, cap_);
      } else {
        best = std::min({up[j - 1] + (letter == word_[j - 1] ? 0 : 1), up[j] + 1, row[j - 1] + 1});
        if (d > 1 && j > 1 && letter == word_[j - 2] && listed[d - 2] == word_[j - 1] &&
            letter != word_[j - 1]) {
          best = std::min(best, rows_[d - 2][j - 2] + 1);
        }
      }
      row[j] = static_cast<std::uint8_t>(std::min(best, cap_));
      least = std::min(least, best);
    }
    return least <= k_;
  }

  // The distance of a listed word of length d whose rows are filled, when d is in the band.
  int Final(int d) const { return d >= m_ - k_ && d <= m_ + k_ ? rows_[d][m_] : cap_; }

 private:
  std::string_view word_;
  int m_, k_, cap_;
  std::array<Row, kDeepest + 1> rows_;
};

std::size_t CommonPrefix(std::string_view a, std::string_view b, std::size_t most) {
  std::size_t n = std::min({a.size(), b.size(), most});
  std::size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// The first index from `from` to `end` whose word does not begin with `prefix`, `end` + 1 when
// all do: the words that do come first, as the list is in byte order. A gallop, then a binary
// search, so that a large family of words is passed over in a few comparisons.
std::int32_t FirstNotSharing(const PreparedTables& tables, std::string_view prefix,
                             std::int32_t from, std::int32_t end) {
  const auto shares = [&](std::int32_t i) { return tables.Word(i).starts_with(prefix); };
  std::int32_t lo = from, hi = end + 1;
  for (std::int32_t step = 1; lo <= end; step *= 2) {
    const std::int32_t probe = lo + step - 1;
    if (probe > end) break;
    if (!shares(probe)) {
      hi = probe;
      break;
    }
    lo = probe + 1;
  }
  while (lo < hi) {
    const std::int32_t middle = lo + (hi - lo) / 2;
    if (shares(middle)) {
      lo = middle + 1;
    } else {
      hi = middle;
    }
  }
  return lo;
}

}  // namespace

void FindNearWords(const PreparedTables& tables, std::string_view word, int most_edits,
                   std::vector<NearWord>& found) {
  if (word.empty() || word.size() > kLongestNearWord) return;
  most_edits = std::clamp(most_edits, 0, kMostNearEdits);
  BandedDistance distance(word, most_edits);
  const auto first = static_cast<unsigned char>(word[0]);
  for (int second = 0; second < 256; ++second) {
    if (!MaySecond(word, static_cast<char>(second))) continue;
    const std::int32_t slot = PrefixSlot(first, static_cast<unsigned char>(second));
    const std::int32_t begin = tables.StartIdx(slot), end = tables.EndIdx(slot);
    // An empty slot holds 0 or an index of another slot.
    if (begin > end || begin < 0 || end >= tables.word_count()) continue;
    const std::string_view opening = tables.Word(begin);
    if (opening.size() < 2 || static_cast<unsigned char>(opening[0]) != first ||
        static_cast<unsigned char>(opening[1]) != second) {
      continue;
    }
    // The last word whose rows were filled, and how many of them hold.
    std::string_view filled;
    std::size_t depth_filled = 0;
    for (std::int32_t i = begin; i <= end; ++i) {
      const std::string_view listed = tables.Word(i);
      const std::size_t shared = CommonPrefix(listed, filled, depth_filled);
      filled = listed;
      std::size_t dead_at = SIZE_MAX;  // the depth at which its prefix falls out of reach
      std::size_t d = shared + 1;
      std::size_t deepest = std::min<std::size_t>(listed.size(), kDeepest);
      // A word too long or too short to be near needs only the rows the next word shares.
      const bool may_be_near =
          std::max(listed.size(), word.size()) - std::min(listed.size(), word.size()) <=
          static_cast<std::size_t>(most_edits);
      if (!may_be_near) {
        deepest = i < end ? CommonPrefix(listed, tables.Word(i + 1), deepest) : 0;
      }
      for (; d <= deepest; ++d) {
        if (!distance.FillRow(listed, static_cast<int>(d))) {
          dead_at = d;
          break;
        }
      }
      depth_filled = std::min(d, deepest);
      if (dead_at != SIZE_MAX) {
        // Every word that shares the prefix is as far.
        i = FirstNotSharing(tables, listed.substr(0, dead_at), i + 1, end) - 1;
        continue;
      }
      if (!may_be_near || listed.size() > kDeepest) continue;
      const int edits = distance.Final(static_cast<int>(listed.size()));
      if (edits <= most_edits) found.push_back({i, edits});
    }
  }
}

}  // namespace lexivane
