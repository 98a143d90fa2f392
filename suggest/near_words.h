// FindNearWords: the main-list words within a few edits of a misspelling, for the typing
// ranking's candidates beyond one edit; and FindSimilarWords, those of its first letter whose
// similarity ratio reaches a bar, for its last resort where nothing is within a few edits.
//
// A word is near when it begins with the misspelling's first letter (people rarely get that one
// wrong, and words that sound alike come from the sound index), its second letter is the
// misspelling's second or third (MaySecond: most misspellings keep the start; this takes two
// thirds off a lookup's time and cost the typing ranking a tenth of a point of top-1 on the
// tuning set), and its optimal-string-alignment distance from
// the misspelling (insertions, deletions, substitutions, swaps of adjacent letters, each
// counting one) is at most `most_edits`.
//
// The search walks the words of that first letter in their list order, which is alphabetical,
// as one walks a trie: the table of distances of a word's prefix is kept for the next word that
// shares it, a column of it a letter, each column as bit vectors over the misspelling (so a
// column costs a few operations whatever its length), and once a prefix is more than
// `most_edits` from every beginning of the misspelling, every word that shares it is passed
// over. About 23 microseconds for a misspelling of the Birkbeck sample at two edits (29 with
// the band of each column worked out cell by cell, measured the same day). The answer does not
// depend on the order of the list, only the time does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace lexivane {

class PreparedTables;

struct NearWord {
  std::int32_t index;  // in the tables
  int edits;
};

inline constexpr int kMostNearEdits = 3;
inline constexpr std::size_t kLongestNearWord = 64;

// True when the words are equal or one letter is inserted, deleted or replaced, or two
// adjacent ones swapped: the candidates within one edit, for words that are not looked up.
template <typename Text>
bool WithinOneEdit(Text a, Text b) {
  if (a.size() < b.size()) std::swap(a, b);
  if (a.size() - b.size() > 1) return false;
  std::size_t head = 0;
  while (head < b.size() && a[head] == b[head]) ++head;
  if (a.size() > b.size()) return a.substr(head + 1) == b.substr(head);
  if (head == a.size() || a.substr(head + 1) == b.substr(head + 1)) return true;
  return head + 1 < a.size() && a[head] == b[head + 1] && a[head + 1] == b[head] &&
         a.substr(head + 2) == b.substr(head + 2);
}

// True when a word whose second letter is `second` may be near `word`: always for a word of
// fewer than three letters.
inline bool MaySecond(std::string_view word, char second) {
  return word.size() < 3 || second == word[1] || second == word[2];
}

// The ranges of main-list indexes, first to last, of the words that begin with `first` and a
// second letter, in list order.
std::vector<std::pair<std::int32_t, std::int32_t>> RangesOfFirstLetter(const PreparedTables& tables,
                                                                       char first);

// Appends to `found`, in list order, every near word of `word` (single-byte, lower case) at most
// `most_edits` (0 to kMostNearEdits) away. Nothing for an empty word or one longer than
// kLongestNearWord.
void FindNearWords(const PreparedTables& tables, std::string_view word, int most_edits,
                   std::vector<NearWord>& found);

// Appends to `found`, in list order, the index of every word of `word`'s first letter (any second
// one) whose length differs from the word's by at most `most_length_spread` and whose similarity
// ratio to it, SimilarityRatioOfBytes(listed, word), is at least `at_least`. The candidate filter
// (candidate_filter.h) passes over most of the letter's words unread, so the ratio is worked out
// for few. Nothing for an empty word.
void FindSimilarWords(const PreparedTables& tables, std::string_view word, double at_least,
                      std::size_t most_length_spread, std::vector<std::int32_t>& found);

}  // namespace lexivane
