// SoundIndex: the main word list grouped by sound key (sound_key.h), to find the words that
// sound like a misspelling: those whose key equals the query's key or lies one edit from it
// (one symbol inserted, deleted or replaced, or two adjacent symbols swapped).
//
// The index keeps the first kIndexedKeySymbols symbols of each key (only four words of the
// list have longer keys, all "electroencephalogra..."); a lookup compares that much of every
// variant of the query's key, so for such keys it may also offer words that differ only beyond
// that point, and it never misses a word within one edit.
//
// The index is one image (support/binary_image.h), so that it can be made at build time and
// read in place (little-endian, every array aligned to its element):
//   header         SoundIndexHeader (24 bytes)
//   keys           uint64[key_count]       the distinct keys packed into numbers (5 bits a
//                                          symbol, first symbol highest, so numbers sort as the
//                                          keys do), ascending; one per group
//   group_start    int32[key_count + 1]    group g's words are words[start[g], start[g + 1])
//   words          int32[word_count]       word indexes, by group, ascending within one
//   group_of_word  int32[word_count]       each word's group
//   directory      int32[5833]             directory[d] is the first group whose key's first
//                                          three codes (1 to 17, 0 past the end), as a number
//                                          in base 18, are d or more
//   filter         uint64[8192]            a Bloom filter of the keys: two of its 2^19 bits set
//                                          for each (bit b at bit b % 64 of number b / 64)
// For the embedded list that is 46,274 keys and 105,797 words in 1.42 MiB. A lookup makes the
// query key's few hundred variants in the packed number itself; the filter rules out nearly
// all that no word has, and each of the rest is found with a binary search inside its
// directory range, a few keys long: about 5.1 microseconds for a misspelling of the Birkbeck
// sample, which reaches 400 words on average (13 without the filter, with the variants in
// vectors and a directory of two symbols).
//
// lexivane_ranking_data_compiler writes the image of the embedded list at build time, and the
// component embeds it; SharedSoundIndex() reads that image in place, after checking it once per
// process (tens of microseconds). Building from PreparedTables at run time (about 16 ms on one
// core: a key for every word, then a sort) gives an index that answers the same. An index is
// immutable and every thread may read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane {

class PreparedTables;

struct SoundIndexHeader {
  char magic[8];
  std::uint32_t indexed_key_symbols;  // what the keys were cut to
  std::uint32_t key_count;
  std::uint32_t word_count;
  std::uint32_t reserved;  // 0; keeps the keys 8-byte aligned
};

inline constexpr char kSoundIndexMagic[8] = {'L', 'V', 'S', 'O', 'U', 'N', 'D', '2'};

// The image of the index of every word of `tables`.
std::vector<std::uint8_t> BuildSoundIndexImage(const PreparedTables& tables);

class SoundIndex {
 public:
  static constexpr std::size_t kIndexedKeySymbols = 12;

  // Indexes every word of `tables`, into an image of its own. Keeps no reference to them.
  explicit SoundIndex(const PreparedTables& tables);
  // Reads `image` in place; it must outlive the index and stay unchanged. Checks the header,
  // the sizes, the alignment and that every index in it stays inside its array, so that no
  // lookup reads outside the image; throws lexivane::Error (kErrorCorruptWordTables) when it
  // is malformed.
  explicit SoundIndex(std::span<const std::uint8_t> image);
  // Moving keeps the arrays where they are; a copy would point into the original's.
  SoundIndex(SoundIndex&&) = default;
  SoundIndex& operator=(SoundIndex&&) = default;
  SoundIndex(const SoundIndex&) = delete;
  SoundIndex& operator=(const SoundIndex&) = delete;

  std::int32_t word_count() const { return static_cast<std::int32_t>(group_of_word_.size()); }
  // The indexed key of a word (at most kIndexedKeySymbols symbols); "" for an index outside
  // the list.
  std::string KeyOf(std::int32_t word_index) const;
  // The size of the image: heap memory for an index built at run time, read-only data of the
  // component for the embedded one.
  std::size_t MemoryBytes() const { return image_.size(); }

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
  // Points the arrays into `image` once it has passed every check.
  void Read(std::span<const std::uint8_t> image);

  std::vector<std::uint8_t> owned_;  // the image when built here, else empty
  std::span<const std::uint8_t> image_;
  // The arrays of the image (see the layout above).
  std::span<const std::uint64_t> keys_;
  std::span<const std::int32_t> group_start_;
  std::span<const std::int32_t> words_;
  std::span<const std::int32_t> group_of_word_;
  std::span<const std::int32_t> directory_;
  std::span<const std::uint64_t> filter_;  // support/bloom_filter.h, of the packed keys
};

// The index of the embedded main list (engine/word_tables.h: SharedMainTables), read from the
// image embedded beside it and checked on the first call in the process (std::call_once); every
// later call, from any thread, returns the same index. Throws lexivane::Error when the embedded
// tables or the image are unreadable, or the image indexes another number of words; the next
// call then tries again. Defined in embedded_ranking_data.cc, which the build-time tool that
// writes the image leaves out.
const SoundIndex& SharedSoundIndex();

}  // namespace lexivane
