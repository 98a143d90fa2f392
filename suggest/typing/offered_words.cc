#include "suggest/typing/offered_words.h"

#include <algorithm>
#include <array>
#include <bit>
#include <unordered_set>

#include "lexivane/letter_case.h"

namespace lexivane {
namespace {

// A misspelling of this many letters or more may be two edits from a near word; a shorter
// one only one, since most short words lie two edits from hundreds of others.
constexpr std::size_t kTwoEditsFrom = 5;
// Longer words are not measured (no misspelling is suggested for beyond kLongestWordToSuggestFor
// of the front ends, and the table below holds a row of this many).
constexpr std::size_t kLongestMeasured = 100;

// How many letters each word has that the other lacks, counted by their low five bits (merging
// letters only hides differences): each edit adds at most one to each count, so a word whose
// counts exceed `most` is more than `most` edits away.
bool LettersAllow(std::u16string_view a, std::u16string_view b, int most) {
  std::array<int, 32> bins{};
  for (const char16_t c : a) ++bins[c & 31];
  for (const char16_t c : b) --bins[c & 31];
  int surplus = 0, lack = 0;
  for (const int d : bins) {
    surplus += std::max(d, 0);
    lack += std::max(-d, 0);
  }
  return surplus <= most && lack <= most;
}

// A bit for each letter's low five bits.
std::uint32_t LettersOf(std::u16string_view word) {
  std::uint32_t letters = 0;
  for (const char16_t c : word) letters |= std::uint32_t{1} << (c & 31);
  return letters;
}

}  // namespace

int EditsWithin(std::u16string_view a, std::u16string_view b, int most) {
  const int over = most + 1;
  if (a.size() > kLongestMeasured || b.size() > kLongestMeasured) return over;
  const std::size_t diff = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (diff > static_cast<std::size_t>(most)) return over;
  // Three rows of the table, rotated: the swap of two adjacent letters reaches back two.
  std::array<std::array<int, kLongestMeasured + 1>, 3> rows;
  int* before = rows[0].data();
  int* previous = rows[1].data();
  int* current = rows[2].data();
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = static_cast<int>(i);
    int least = current[0];
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const int replace = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      int cell = std::min({previous[j] + 1, current[j - 1] + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        cell = std::min(cell, before[j - 2] + 1);
      }
      current[j] = cell;
      least = std::min(least, cell);
    }
    if (least > most) return over;
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return std::min(previous[b.size()], over);
}

OfferedWordIndex::OfferedWordIndex(const std::vector<std::u16string>& words, std::uint8_t level)
    : level_(level) {
  std::unordered_set<std::u16string> seen;
  for (const std::u16string& word : words) {
    std::u16string folded = FoldCase(word);
    if (folded.size() < 2 || !seen.insert(folded).second) continue;
    const auto at = static_cast<std::uint32_t>(shown_.size());
    by_first_[Key(folded[0], folded.size())].push_back(at);
    by_second_[Key(folded[1], folded.size())].push_back(at);
    letters_.push_back(LettersOf(folded));
    shown_.push_back(word);
    folded_.push_back(std::move(folded));
  }
}

std::uint32_t OfferedWordIndex::Key(char16_t letter, std::size_t length) {
  return std::uint32_t{letter} << 8 |
         static_cast<std::uint32_t>(std::min<std::size_t>(length, 255));
}

void OfferedWordIndex::FindNear(std::u16string_view lower, std::vector<Near>& near) const {
  if (lower.size() < 2 || lower.size() > kLongestMeasured) return;
  const int most = lower.size() >= kTwoEditsFrom ? 2 : 1;
  const char16_t first = lower[0], second = lower[1];
  const std::uint32_t letters = LettersOf(lower);
  const auto measure = [&](std::uint32_t word) {
    // Each edit puts in at most one letter the other word lacks, and takes out at most one.
    if (std::popcount(letters_[word] & ~letters) > most ||
        std::popcount(letters & ~letters_[word]) > most) {
      return;
    }
    const std::u16string& folded = folded_[word];
    if (!LettersAllow(folded, lower, most)) return;
    const int edits = EditsWithin(folded, lower, most);
    if (edits <= most) near.push_back({word, edits});
  };
  const auto each = [&](const Buckets& by, char16_t letter, auto&& pass) {
    const std::size_t shortest = lower.size() - std::min<std::size_t>(lower.size(), most);
    for (std::size_t length = shortest; length <= lower.size() + most; ++length) {
      const auto found = by.find(Key(letter, length));
      if (found == by.end()) continue;
      for (const std::uint32_t word : found->second) {
        if (pass(folded_[word])) measure(word);
      }
    }
  };
  // Each word once: the four beginnings exclude one another in this order.
  each(by_first_, first, [](const std::u16string&) { return true; });
  // A first letter put in, or the first two swapped.
  each(by_first_, second, [&](const std::u16string& w) { return w[0] != first; });
  // The first letter dropped.
  each(by_second_, first, [&](const std::u16string& w) { return w[0] != first && w[0] != second; });
  // The first letter replaced.
  each(by_second_, second,
       [&](const std::u16string& w) { return w[0] != first && w[0] != second && w[1] != first; });
}

}  // namespace lexivane
