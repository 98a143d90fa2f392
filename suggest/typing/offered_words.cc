#include "suggest/typing/offered_words.h"

#include <algorithm>
#include <array>

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
  std::size_t units = 0;
  for (const std::u16string& word : words) units += word.size();
  Reserve(words.size(), units);
  starts_.push_back(0);
  for (const std::u16string& word : words) Add(word);
  Index();
}

OfferedWordIndex::OfferedWordIndex(std::string_view lines, std::uint8_t level,
                                   std::uint8_t frequency)
    : level_(level), frequency_(frequency) {
  // No more words than lines, nor units than bytes.
  Reserve(static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')) + 1, lines.size());
  starts_.push_back(0);
  for (std::size_t start = 0; start < lines.size();) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string_view::npos) end = lines.size();
    std::string_view word = lines.substr(start, end - start);
    word = word.substr(0, word.find(' '));
    if (std::all_of(word.begin(), word.end(), [](char c) { return (c & 0x80) == 0; })) {
      AddAscii(word);
    } else {
      Add(FromUtf8(word));
    }
    start = end + 1;
  }
  Index();
}

void OfferedWordIndex::Reserve(std::size_t words, std::size_t units) {
  starts_.reserve(words + 1);
  shown_.reserve(units);
  folded_.reserve(units);
}

void OfferedWordIndex::Add(std::u16string_view word) {
  if (std::all_of(word.begin(), word.end(), [](char16_t c) { return c < 0x80; })) {
    AddAscii(word);
    return;
  }
  if (word.size() < 2) return;
  const std::u16string folded = FoldCase(word);
  if (folded.size() != word.size()) return;  // shown and folded share their starts
  shown_.append(word);
  folded_.append(folded);
  starts_.push_back(static_cast<std::uint32_t>(folded_.size()));
}

template <typename Char>
void OfferedWordIndex::AddAscii(std::basic_string_view<Char> word) {
  if (word.size() < 2) return;
  // Shown and lowered in one pass: most lists are ASCII.
  const std::size_t at = folded_.size();
  shown_.resize(at + word.size());
  folded_.resize(at + word.size());
  for (std::size_t i = 0; i < word.size(); ++i) {
    const auto c = static_cast<char16_t>(word[i]);
    shown_[at + i] = c;
    folded_[at + i] = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
  }
  starts_.push_back(static_cast<std::uint32_t>(folded_.size()));
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
    buckets.entries.resize(size());
    std::vector<std::uint32_t> next(buckets.begins.begin(), buckets.begins.end() - 1);
    for (std::size_t word = 0; word < size(); ++word) {
      const std::u16string_view text = Text(folded_, word);
      buckets.entries[next[bucket_of[word]]++] = {static_cast<std::uint32_t>(word), LettersOf(text),
                                                  text[0], text[1]};
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
  // Whether more than `edits` (1 or 2) bits are set.
  const auto more_than = [](std::uint32_t bits, int edits) {
    bits &= bits - 1;
    if (edits == 2) bits &= bits - 1;
    return bits != 0;
  };
  // The words of the buckets of `letter` at lengths within `edits`, that `pass` lets through.
  // A bucket holds letters and lengths that share it: `pass` and EditsWithin tell them apart.
  const auto each = [&](const Buckets& by, char16_t letter, int edits, auto&& pass) {
    const std::size_t shortest = lower.size() - std::min<std::size_t>(lower.size(), edits);
    std::size_t last_bucket = kBuckets;
    for (std::size_t length = shortest; length <= lower.size() + edits; ++length) {
      const std::size_t bucket = Bucket(letter, length);
      if (bucket == last_bucket) continue;  // the longest lengths share one
      last_bucket = bucket;
      for (std::uint32_t at = by.begins[bucket]; at < by.begins[bucket + 1]; ++at) {
        const Entry& entry = by.entries[at];
        // Each edit puts in at most one letter the other word lacks, and takes out at most one.
        if (!pass(entry) || more_than(entry.letters & ~letters, edits) ||
            more_than(letters & ~entry.letters, edits)) {
          continue;
        }
        const std::u16string_view folded = Text(folded_, entry.word);
        if (!LettersAllow(folded, lower, edits)) continue;
        const int found = EditsWithin(folded, lower, edits);
        if (found <= edits) near.push_back({entry.word, found});
      }
    }
  };
  // Each word once: the four beginnings exclude one another in this order. A word that begins
  // otherwise than the misspelling is near only by the one edit of its beginning.
  each(by_first_, first, most, [&](const Entry& w) { return w.first == first; });
  // A first letter put in, or the first two swapped.
  each(by_first_, second, 1, [&](const Entry& w) { return w.first == second && w.first != first; });
  // The first letter dropped.
  each(by_second_, first, 1,
       [&](const Entry& w) { return w.second == first && w.first != first && w.first != second; });
  // The first letter replaced.
  each(by_second_, second, 1, [&](const Entry& w) {
    return w.second == second && w.first != first && w.first != second && w.second != first;
  });
  std::sort(near.begin(), near.end());
}

}  // namespace lexivane
