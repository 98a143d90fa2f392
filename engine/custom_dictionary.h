// The user's own word list (`CustomWords`): one per thread, shared by every engine object of
// that thread, kept in memory exactly as words were added or read (case, blanks and
// punctuation untouched, duplicates allowed, never sorted), and written to or read from a
// file only when the host asks.
//
// The file is Windows-1252 text with one entry per line, each line ending in CR LF. When read,
// a line ends at CR or CR LF (a lone LF is an ordinary character) and lines shorter than two
// characters are skipped. Used from the owning thread only.
//
// Lists of millions of entries must load in seconds and fit in memory, so the lower-case forms
// are not kept: an index of 8 bytes a slot (linear probing, at most 70% full) holds each
// distinct form's hash and its first entry, and a lookup lower-cases only the entries whose
// hash matches. A list holds at most 2^32 - 2 entries, far more than memory would.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lexivane {

class CustomDictionary {
 public:
  // Appends `word` unchanged, whatever it is (std::length_error past the most entries).
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
  // file cannot be read, before the list is touched (std::length_error for too many lines).
  void Load(std::u16string_view path);

  const std::vector<std::u16string>& words() const { return words_; }

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t entry = 0;  // the position in words_ plus one; 0 for an empty slot
  };
  // Indexes words_[position], whose lower-case form is `lowered`, unless that form is there.
  void Index(std::size_t position, const std::u16string& lowered);
  // The position of the slot that holds `lowered`, or of the empty one where it would go.
  std::size_t SlotFor(const std::u16string& lowered, std::uint32_t hash) const;

  std::vector<std::u16string> words_;
  std::vector<Slot> index_;  // a power of two long, or empty
  std::size_t indexed_ = 0;
  std::unordered_set<std::size_t> entry_lengths_;
};

}  // namespace lexivane
