#include "suggest/typing/offered_words.h"

#include <algorithm>
#include <array>
#include <bit>

#include "lexivane/letter_case.h"
#include "lexivane/utf8.h"

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

// The buckets of the words: by a letter (its low seven bits) and the length (up to 63; longer
// words share the last).
constexpr std::size_t kBucketLengths = 64;
constexpr std::size_t kBuckets = 128 * kBucketLengths;
std::size_t Bucket(char16_t letter, std::size_t length) {
  return (letter & 127u) * kBucketLengths + std::min(length, kBucketLengths - 1);
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

OfferedWordIndex::OfferedWordIndex(const std::vector<std::u16string>& words, std::uint8_t level,
                                   std::uint8_t frequency)
    : level_(level), frequency_(frequency) {
  starts_.push_back(0);
  for (const std::u16string& word : words) Add(word);
  Index();
}

OfferedWordIndex::OfferedWordIndex(std::string_view lines, std::uint8_t level,
                                   std::uint8_t frequency)
    : level_(level), frequency_(frequency) {
  starts_.push_back(0);
  std::u16string wide;
  for (std::size_t start = 0; start < lines.size();) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string_view::npos) end = lines.size();
    std::string_view word = lines.substr(start, end - start);
    word = word.substr(0, word.find(' '));
    if (std::all_of(word.begin(), word.end(), [](char c) { return (c & 0x80) == 0; })) {
      wide.assign(word.begin(), word.end());
    } else {
      wide = FromUtf8(word);
    }
    Add(wide);
    start = end + 1;
  }
  Index();
}

void OfferedWordIndex::Add(std::u16string_view word) {
  if (word.size() < 2) return;
  const std::size_t at = folded_.size();
  // Most words are ASCII: lowered here, without FoldCase's string.
  if (std::all_of(word.begin(), word.end(), [](char16_t c) { return c < 0x80; })) {
    folded_.append(word);
    for (std::size_t i = at; i < folded_.size(); ++i) {
      if (folded_[i] >= u'A' && folded_[i] <= u'Z')
        folded_[i] = static_cast<char16_t>(folded_[i] + 32);
    }
  } else {
    const std::u16string folded = FoldCase(word);
    if (folded.size() != word.size()) return;  // shown and folded share their starts
    folded_.append(folded);
  }
  shown_.append(word);
  starts_.push_back(static_cast<std::uint32_t>(folded_.size()));
  letters_.push_back(LettersOf(Text(folded_, size() - 1)));
}

void OfferedWordIndex::Index() {
  // A counting sort of the words into their buckets, which keeps the order given.
  std::vector<std::uint32_t> first_bucket(size()), second_bucket(size());
  for (std::size_t word = 0; word < size(); ++word) {
    const char16_t* text = folded_.data() + starts_[word];
    const std::size_t length = starts_[word + 1] - starts_[word];
    first_bucket[word] = static_cast<std::uint32_t>(Bucket(text[0], length));
    second_bucket[word] = static_cast<std::uint32_t>(Bucket(text[1], length));
  }
  const auto fill = [&](Buckets& buckets, const std::vector<std::uint32_t>& bucket_of) {
    buckets.begins.assign(kBuckets + 1, 0);
    for (const std::uint32_t bucket : bucket_of) ++buckets.begins[bucket + 1];
    for (std::size_t b = 0; b < kBuckets; ++b) buckets.begins[b + 1] += buckets.begins[b];
    buckets.words.resize(size());
    std::vector<std::uint32_t> next(buckets.begins.begin(), buckets.begins.end() - 1);
    for (std::size_t word = 0; word < size(); ++word) {
      buckets.words[next[bucket_of[word]]++] = static_cast<std::uint32_t>(word);
    }
  };
  fill(by_first_, first_bucket);
  fill(by_second_, second_bucket);
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
    const std::u16string_view folded = Text(folded_, word);
    if (!LettersAllow(folded, lower, most)) return;
    const int edits = EditsWithin(folded, lower, most);
    if (edits <= most) near.push_back({word, edits});
  };
  // A bucket holds letters and lengths that share it: `pass` and EditsWithin read the words
  // themselves.
  const auto each = [&](const Buckets& by, char16_t letter, auto&& pass) {
    const std::size_t shortest = lower.size() - std::min<std::size_t>(lower.size(), most);
    std::size_t last_bucket = kBuckets;
    for (std::size_t length = shortest; length <= lower.size() + most; ++length) {
      const std::size_t bucket = Bucket(letter, length);
      if (bucket == last_bucket) continue;  // the longest lengths share one
      last_bucket = bucket;
      for (std::uint32_t at = by.begins[bucket]; at < by.begins[bucket + 1]; ++at) {
        const std::uint32_t word = by.words[at];
        if (pass(Text(folded_, word))) measure(word);
      }
    }
  };
  // Each word once: the four beginnings exclude one another in this order.
  each(by_first_, first, [&](std::u16string_view w) { return w[0] == first; });
  // A first letter put in, or the first two swapped.
  each(by_first_, second, [&](std::u16string_view w) { return w[0] == second && w[0] != first; });
  // The first letter dropped.
  each(by_second_, first,
       [&](std::u16string_view w) { return w[1] == first && w[0] != first && w[0] != second; });
  // The first letter replaced.
  each(by_second_, second, [&](std::u16string_view w) {
    return w[1] == second && w[0] != first && w[0] != second && w[1] != first;
  });
  std::sort(near.begin(), near.end());
}

}  // namespace lexivane
