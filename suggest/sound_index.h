// SoundIndex: the main word list grouped by sound key (sound_key.h), to find the words that
// sound like a misspelling: those whose key equals the query's key or lies one edit from it
// (one symbol inserted, deleted or replaced, or two adjacent symbols swapped).
//
// The index keeps the first kIndexedKeySymbols symbols of each key (only four words of the
// list have longer keys, all "electroencephalogra..."); a lookup compares that much of every
// variant of the query's key, so for such keys it may also offer words that differ only beyond
// that point, and it never misses a word within one edit.
//
// Layout: the distinct keys packed into 64-bit numbers (5 bits a symbol, first symbol highest,
// so numbers sort as the keys do) and sorted, with a directory on their first two symbols; the
// word indexes grouped by key; and each word's group. For the embedded list that is 46,274
// keys and 105,797 words in 1.34 MiB. A lookup makes the query key's few hundred variants and
// finds each with a binary search inside its directory range: about 7.5 microseconds for a
// misspelling of the Birkbeck sample, which reaches 400 words on average.
//
// SharedSoundIndex() builds the index of the embedded list once per process, on first use
// (about 16 ms on one core: a key for every word, then a sort), and every thread then reads
// it; the index is immutable.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane {

class PreparedTables;

class SoundIndex {
 public:
  static constexpr std::size_t kIndexedKeySymbols = 12;

  // Indexes every word of `tables`. Keeps no reference to them.
  explicit SoundIndex(const PreparedTables& tables);

  std::int32_t word_count() const { return static_cast<std::int32_t>(group_of_word_.size()); }
  // The indexed key of a word (at most kIndexedKeySymbols symbols); "" for an index outside
  // the list.
  std::string KeyOf(std::int32_t word_index) const;
  // The heap memory the index holds.
  std::size_t MemoryBytes() const;

  // Calls callback(word_index, key_edits) once for every word whose key is within one edit of
  // `key`: key_edits is 0 for the words of the same key, which come first, else 1. A `key`
  // holding a character that is no key symbol matches nothing.
  template <typename Callback>
  void ForEachWordNearSound(std::string_view key, Callback&& callback) const {
    std::vector<NearKey> near;
    FindNearKeys(key, near);
    for (const NearKey& found : near) {
      for (std::int32_t at = group_start_[found.group]; at < group_start_[found.group + 1]; ++at) {
        callback(words_[at], found.key_edits);
      }
    }
  }

 private:
  struct NearKey {
    std::int32_t group;
    int key_edits;
  };
  void FindNearKeys(std::string_view key, std::vector<NearKey>& near) const;
  // The group of a packed key, or -1.
  std::int32_t FindGroup(std::uint64_t packed) const;

  std::vector<std::uint64_t> keys_;          // distinct packed keys, ascending; one per group
  std::vector<std::int32_t> group_start_;    // group g's words are words_[start[g], start[g+1])
  std::vector<std::int32_t> words_;          // word indexes, by group, ascending within one
  std::vector<std::int32_t> group_of_word_;  // each word's group
  // directory_[d] is the first group whose key's first two symbols, as a 10-bit number, are d
  // or more.
  std::array<std::int32_t, 1025> directory_{};
};

// The index of the embedded main list (engine/word_tables.h: SharedMainTables), built on the
// first call in the process (std::call_once); every later call, from any thread, returns the
// same index. Throws lexivane::Error when the embedded tables are unreadable; the next call then
// tries again.
const SoundIndex& SharedSoundIndex();

}  // namespace lexivane
