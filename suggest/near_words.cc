#include "suggest/near_words.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "engine/prepared_tables.h"
#include "engine/soundex.h"
#include "engine/word_list.h"
#include "suggest/candidate_filter.h"
#include "suggest/similarity.h"

namespace lexivane {
namespace {

// Column d of the table of distances between the first d letters of the listed word and each
// beginning of the misspelling, kept as bit vectors over the misspelling's letters (Myers's
// algorithm, with Hyyro's term for swaps of adjacent letters): bit j - 1 of `up` and `down`
// says that the distance to its first j letters is one more or one less than to its first
// j - 1. A column costs a few operations on 64-bit numbers, whatever the misspelling's length.
constexpr std::size_t kDeepest = kLongestNearWord + kMostNearEdits + 1;

// The least running sum of kBandSteps steps, each +1 (a bit set in the first number), -1 (in
// the second) or 0, by the two numbers: a band's least distance, less its first, in one look-up.
constexpr int kBandSteps = 2 * kMostNearEdits;
constexpr auto kLeastRunningSum = [] {
  std::array<std::int8_t, 1 << (2 * kBandSteps)> least{};
  for (unsigned up = 0; up < (1u << kBandSteps); ++up) {
    for (unsigned down = 0; down < (1u << kBandSteps); ++down) {
      int sum = 0, lowest = 0;
      for (int step = 0; step < kBandSteps; ++step) {
        sum += static_cast<int>((up >> step) & 1) - static_cast<int>((down >> step) & 1);
        lowest = std::min(lowest, sum);
      }
      least[(up << kBandSteps) | down] = static_cast<std::int8_t>(lowest);
    }
  }
  return least;
}();

class ColumnDistance {
 public:
  ColumnDistance(std::string_view word, int most_edits)
      : m_(static_cast<int>(word.size())), k_(most_edits) {
    for (std::size_t j = 0; j < word.size(); ++j)
      letters_[static_cast<unsigned char>(word[j])] |= std::uint64_t{1} << j;
    all_ = word.size() == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << word.size()) - 1;
    columns_[0] = {all_, 0, 0, 0, m_, 0};
  }

  // Fills column `d` for `listed`'s letter d - 1 (the columns before must hold its prefix);
  // false when every beginning of the misspelling is more than `most_edits` away, so that no
  // word with this prefix can be near.
  bool FillColumn(std::string_view listed, int d) {
    const Column& before = columns_[d - 1];
    Column& column = columns_[d];
    // The misspelling's letters equal to this one, and those that a swap of two adjacent ones
    // aligns with it and the one before.
    const std::uint64_t matches = letters_[static_cast<unsigned char>(listed[d - 1])];
    const std::uint64_t swaps = ((~before.diagonal_same & matches) << 1) & before.matches;
    const std::uint64_t same =
        ((((matches & before.up) + before.up) ^ before.up) | matches | before.down | swaps) & all_;
    // Bit j - 1: the distance to the first j letters grows or shrinks by one from the column
    // before to this one; the distance to none grows by one with every letter.
    const std::uint64_t grows = before.down | ~(same | before.up);
    const std::uint64_t shrinks = same & before.up;
    column.last = before.last + static_cast<int>((grows >> (m_ - 1)) & 1) -
                  static_cast<int>((shrinks >> (m_ - 1)) & 1);
    const std::uint64_t grows_before = (grows << 1) | 1;
    column.down = grows_before & same;
    column.up = ((shrinks << 1) | ~(grows_before | same)) & all_;
    column.diagonal_same = same;
    column.matches = matches;
    // The distances within most_edits of the diagonal, from the first: a cell further off it
    // is further than most_edits.
    const int lo = std::max(0, d - k_), hi = std::min(m_, d + k_);
    if (lo > hi) return false;
    column.band_first =
        lo == 0 ? d : before.band_first + 1 - static_cast<int>((same >> (lo - 1)) & 1);
    const std::uint64_t steps = (std::uint64_t{1} << (hi - lo)) - 1;  // of j from lo + 1 to hi
    const auto band = [&](std::uint64_t bits) { return lo < hi ? (bits >> lo) & steps : 0; };
    const int least = kLeastRunningSum[(band(column.up) << kBandSteps) | band(column.down)];
    return column.band_first + least <= k_;
  }

  // The distance of a listed word of length d whose columns are filled.
  int Final(int d) const { return columns_[d].last; }

 private:
  struct Column {
    std::uint64_t up, down;
    std::uint64_t diagonal_same;  // bit j - 1: the distance to j letters is that to j - 1 in
                                  // the column before
    std::uint64_t matches;        // the misspelling's letters equal to the column's
    int last;                     // the distance to the whole misspelling
    int band_first;               // the distance to its first max(0, d - most_edits) letters
  };

  int m_, k_;
  std::uint64_t all_;
  std::array<std::uint64_t, 256> letters_{};  // where each byte stands in the misspelling
  std::array<Column, kDeepest + 1> columns_;
};

// The range of the words that begin with `first` and `second`, or nullopt for none.
std::optional<std::pair<std::int32_t, std::int32_t>> RangeOf(const PreparedTables& tables,
                                                             unsigned char first,
                                                             unsigned char second) {
  const std::int32_t slot = PrefixSlot(first, second);
  const std::int32_t begin = tables.StartIdx(slot), end = tables.EndIdx(slot);
  // An empty slot holds 0 or an index of another slot.
  if (begin > end || begin < 0 || end >= tables.word_count()) return std::nullopt;
  const std::string_view opening = tables.Word(begin);
  if (opening.size() < 2 || static_cast<unsigned char>(opening[0]) != first ||
      static_cast<unsigned char>(opening[1]) != second) {
    return std::nullopt;
  }
  return std::pair{begin, end};
}

}  // namespace

std::vector<std::pair<std::int32_t, std::int32_t>> RangesOfFirstLetter(const PreparedTables& tables,
                                                                       char first) {
  std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  for (int second = 0; second < 256; ++second) {
    if (const auto range = RangeOf(tables, static_cast<unsigned char>(first),
                                   static_cast<unsigned char>(second))) {
      ranges.push_back(*range);
    }
  }
  return ranges;
}

void FindNearWords(const PreparedTables& tables, std::string_view word, int most_edits,
                   std::vector<NearWord>& found) {
  if (word.empty() || word.size() > kLongestNearWord) return;
  most_edits = std::clamp(most_edits, 0, kMostNearEdits);
  ColumnDistance distance(word, most_edits);
  const auto first = static_cast<unsigned char>(word[0]);
  for (int second = 0; second < 256; ++second) {
    if (!MaySecond(word, static_cast<char>(second))) continue;
    const auto range = RangeOf(tables, first, static_cast<unsigned char>(second));
    if (!range) continue;
    const auto [begin, end] = *range;
    // How many columns hold for the last word filled: the next word shares with it as many
    // letters as with the word before it, since every word passed over between shares more.
    std::size_t depth_filled = 0;
    for (std::int32_t i = begin; i <= end; ++i) {
      const std::string_view listed = tables.Word(i);
      const std::size_t shared = std::min<std::size_t>(tables.SharedPrefix(i), depth_filled);
      std::size_t dead_at = SIZE_MAX;  // the depth at which its prefix falls out of reach
      std::size_t d = shared + 1;
      std::size_t deepest = std::min<std::size_t>(listed.size(), kDeepest);
      // A word too long or too short to be near needs only the columns the next word shares.
      const bool may_be_near =
          std::max(listed.size(), word.size()) - std::min(listed.size(), word.size()) <=
          static_cast<std::size_t>(most_edits);
      if (!may_be_near) {
        deepest = i < end ? std::min<std::size_t>(tables.SharedPrefix(i + 1), deepest) : 0;
      }
      for (; d <= deepest; ++d) {
        if (!distance.FillColumn(listed, static_cast<int>(d))) {
          dead_at = d;
          break;
        }
      }
      depth_filled = std::min(d, deepest);
      if (dead_at != SIZE_MAX) {
        // Every word that shares the prefix is as far: those that follow while each shares
        // that much with the one before.
        while (i < end && tables.SharedPrefix(i + 1) >= dead_at) ++i;
        continue;
      }
      if (!may_be_near || listed.size() > kDeepest) continue;
      const int edits = distance.Final(static_cast<int>(listed.size()));
      if (edits <= most_edits) found.push_back({i, edits});
    }
  }
}

void FindSimilarWords(const PreparedTables& tables, std::string_view word, double at_least,
                      std::size_t most_length_spread, std::vector<std::int32_t>& found) {
  if (word.empty()) return;
  // The filter accepts every word whose score reaches its bar: the ratio, or for a close match
  // under the same Soundex key a score above the bar. Its bar is a float, taken no higher than
  // the one asked, so it lets every word through that reaches that.
  float bar = static_cast<float>(at_least);
  if (bar > at_least) bar = std::nextafter(bar, 0.0f);
  CandidateFilter filter(word, PackedSoundex(word), bar);
  std::vector<CandidateFilter::AcceptedEntry> accepted;
  for (const auto& [first, last] : RangesOfFirstLetter(tables, word[0])) {
    filter.AcceptEntries(tables, first, last, accepted);
  }
  for (const CandidateFilter::AcceptedEntry& entry : accepted) {
    const std::string_view listed = tables.Word(entry.index);
    const std::size_t spread =
        std::max(listed.size(), word.size()) - std::min(listed.size(), word.size());
    if (spread <= most_length_spread && SimilarityRatioOfBytes(listed, word) >= at_least) {
      found.push_back(entry.index);
    }
  }
}

}  // namespace lexivane
