// The user's own word list (`CustomWords`): one per thread, shared by every engine object of
// that thread, kept in memory exactly as words were added or read (case, blanks and
// punctuation untouched, duplicates allowed, never sorted), and written to or read from a
// file only when the host asks.
//
// The file is Windows-1252 text with one entry per line, each line ending in CR LF. When read,
// a line ends at CR or CR LF (a lone LF is an ordinary character) and lines shorter than two
// characters are skipped. Used from the owning thread only.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lexivane {

class CustomDictionary {
 public:
  // Appends `word` unchanged, whatever it is.
  void Add(std::u16string_view word);

  // `IsInCustom`: true when an entry equals `word` once both are lower-cased.
  bool Contains(std::u16string_view word) const;

  // True when an entry has `length` UTF-16 units. Lower-casing keeps the length, so Contains
  // can answer true only for a word of such a length.
  bool HasEntryOfLength(std::size_t length) const { return entry_lengths_.contains(length); }

  // Writes every entry to `path`, creating the file or replacing it whole (see
  // platform::WriteFileBytes). Throws lexivane::Error with the file error, leaving an existing
  // file as it was; the list itself never changes.
  void Save(std::u16string_view path) const;

  // `ReadCustomFile`: when the file holds at least one line of two or more characters, those
  // lines replace the list; otherwise the list stays as it was. Throws lexivane::Error when the
  // file cannot be read, before the list is touched.
  void Load(std::u16string_view path);

  const std::vector<std::u16string>& words() const { return words_; }

 private:
  std::vector<std::u16string> words_;
  // The lower-case form of every entry, so that a lookup lower-cases only the word it is given.
  std::unordered_set<std::u16string> lowered_;
  std::unordered_set<std::size_t> entry_lengths_;
};

}  // namespace lexivane
