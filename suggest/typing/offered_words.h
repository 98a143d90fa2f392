// OfferedWordIndex: a list of words besides the main list that the typing ranking offers as
// corrections (a host's own vocabularies: technical terms, a programming language's names, a
// project's words), with how common its words are, and the search for those near a misspelling.
//
// A word is near when it begins with the misspelling's first letter and is within two edits of
// it (one for a misspelling of four letters or fewer; optimal string alignment: a letter
// inserted, deleted or replaced, or two adjacent ones swapped, each one edit), or when it is one
// edit away at its beginning: the first two letters swapped, or a first letter put in, dropped
// or replaced. The words are
// kept by their first and by their second letter and their length, so that a search reads only
// those of the misspelling's first two letters and near its length (a few hundred in a list of
// tens of thousands), and a word is measured only when its letters allow it to be near.
//
// Immutable once made; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane {

class OfferedWordIndex {
 public:
  // `words` as they are to be shown (their letter case kept); words of fewer than two letters
  // are left out. `level` says how common they are, as WordLevel (suggest/word_level.h) grades
  // the main list's: 10 the commonest, 55 the rarest the main list holds, above that rarer;
  // `frequency` how often, as WordFrequencyClass does (0 for unknown).
  OfferedWordIndex(const std::vector<std::u16string>& words, std::uint8_t level,
                   std::uint8_t frequency = 0);
  // The same for the words of `lines`, UTF-8: each line's text up to its first blank (a line
  // ends at LF). A list built into a program is read so without a string made for each word.
  OfferedWordIndex(std::string_view lines, std::uint8_t level, std::uint8_t frequency = 0);

  std::uint8_t level() const { return level_; }
  std::uint8_t frequency() const { return frequency_; }
  std::size_t size() const { return starts_.size() - 1; }
  std::u16string_view shown(std::size_t word) const { return Text(shown_, word); }

  // Calls take(word, edits) for each near word of `lower` (a misspelling in lower case, as
  // FoldCase gives it), once, with its edits (0 to 2) from it, in the order of the words.
  template <typename Take>
  void ForEachNear(std::u16string_view lower, Take&& take) const {
    std::vector<Near> near;
    FindNear(lower, near);
    for (const Near& found : near) take(found.word, found.edits);
  }

 private:
  struct Near {
    std::size_t word;
    int edits;
    bool operator<(const Near& other) const { return word < other.word; }
  };
  void FindNear(std::u16string_view lower, std::vector<Near>& near) const;
  // Room for `words` words of `units` code units in all.
  void Reserve(std::size_t words, std::size_t units);
  // Adds a word as it is shown; Index then sorts the words into their buckets.
  void Add(std::u16string_view word);
  // Add for a word of ASCII units alone (of either width).
  template <typename Char>
  void AddAscii(std::basic_string_view<Char> word);
  void Index();
  std::u16string_view Text(const std::u16string& text, std::size_t word) const {
    return std::u16string_view(text).substr(starts_[word], starts_[word + 1] - starts_[word]);
  }

  // The words one after another, as shown and in lower case, each from its start.
  std::u16string shown_, folded_;
  std::vector<std::uint32_t> starts_;
  // The words by the bucket (Bucket) of their first and of their second letter with their
  // length: bucket b's words are [begins[b], begins[b + 1]) of `entries`, in the order given,
  // each with what a search reads of it before the word itself.
  struct Entry {
    std::uint32_t word;
    std::uint32_t letters;  // a bit for each of the word's letters' low five bits
    char16_t first, second;
  };
  struct Buckets {
    std::vector<std::uint32_t> begins;
    std::vector<Entry> entries;
  };
  Buckets by_first_, by_second_;
  std::uint8_t level_, frequency_;
};

// The optimal string alignment distance of two words when it is at most `most`, else `most` + 1.
// Code units compared exactly.
int EditsWithin(std::u16string_view a, std::u16string_view b, int most);

}  // namespace lexivane
