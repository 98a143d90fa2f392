// The main word list's tables, prepared when the component is built and embedded in it as one
// read-only image, so that loading the list costs a validation instead of a parse.
//
// The image holds exactly what LoadWordList (word_list.h) produces, plus a hash index over the
// words that answers "which entry, if any, equals this word" in one probe. Lookups through the
// index give the same answers as a scan of the word's prefix range, because every entry is
// unique and sits inside its own prefix range; the build refuses a list for which that does
// not hold. The image is immutable and may be read from any thread.
//
// Layout (a checked image, support/binary_image.h; every array 4-byte aligned):
//   header      ImageHeader
//   offsets     uint32[word_count + 1]   entry i is blob[offsets[i], offsets[i + 1])
//   keys        uint16[word_count]       packed Soundex key of each entry (padded to 4 bytes)
//   start_idx   int32[65536]             first entry of each prefix slot
//   end_idx     int32[65536]             last entry of each prefix slot
//   hash        uint32[hash_slots]       0 = free, else entry index + 1 (low 17 bits) and a
//                                        tag of the word's hash (high 15 bits)
//   blob        the entries' single-byte forms, concatenated
//   shared      uint8[word_count]        how many leading bytes each entry shares with the one
//                                        before it, at most 255 (0 for the first), so that a walk
//                                        of the list in order passes over a family of words
//                                        without reading them
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/soundex.h"
#include "engine/word_list.h"

namespace lexivane {

struct ImageHeader {
  char magic[8];  // kImageMagic; its last character is the format's version
  std::uint32_t word_count;
  std::uint32_t hash_slots;  // more than word_count, so a probe always ends
  std::uint32_t blob_size;
  std::uint32_t max_word_length;
};

inline constexpr char kImageMagic[8] = {'L', 'V', 'T', 'A', 'B', 'L', 'E', '3'};

// Serialises `tables` into an image. Throws lexivane::Error when the tables cannot be indexed
// exactly (a duplicate entry, an entry outside its prefix range, more than 131,071 entries).
std::vector<std::uint8_t> BuildPreparedImage(const WordListTables& tables);

// A read-only view over an image. A default-constructed view has no entries.
class PreparedTables {
 public:
  PreparedTables() = default;
  // Checks the image's header and sizes; throws lexivane::Error when it is malformed.
  explicit PreparedTables(std::span<const std::uint8_t> image);

  std::int32_t word_count() const { return static_cast<std::int32_t>(word_count_); }
  std::uint32_t max_word_length() const { return max_word_length_; }

  std::string_view Word(std::int32_t i) const {
    return {blob_ + offsets_[i], offsets_[i + 1] - offsets_[i]};
  }
  PackedKey Key(std::int32_t i) const { return keys_[i]; }
  // How many leading bytes entry i shares with entry i - 1, at most 255; 0 for entry 0.
  std::uint8_t SharedPrefix(std::int32_t i) const { return shared_[i]; }
  std::int32_t StartIdx(std::int32_t slot) const { return start_idx_[slot]; }
  std::int32_t EndIdx(std::int32_t slot) const { return end_idx_[slot]; }

  // The arrays behind Word, Key and SharedPrefix, for a loop over many entries that keeps them
  // at hand: entry i is blob[offsets[i], offsets[i + 1]), with keys[i] and shared[i].
  struct Columns {
    const std::uint32_t* offsets;
    const char* blob;
    const PackedKey* keys;
    const std::uint8_t* shared;
  };
  Columns columns() const { return {offsets_, blob_, keys_, shared_}; }

  // The index of the entry equal to `word` (single-byte form), or -1.
  std::int32_t Find(std::string_view word) const;

 private:
  std::uint32_t word_count_ = 0;
  std::uint32_t hash_slots_ = 0;
  std::uint32_t max_word_length_ = 0;
  const std::uint32_t* offsets_ = nullptr;
  const PackedKey* keys_ = nullptr;
  const std::int32_t* start_idx_ = nullptr;
  const std::int32_t* end_idx_ = nullptr;
  const std::uint32_t* hash_ = nullptr;
  const char* blob_ = nullptr;
  const std::uint8_t* shared_ = nullptr;
};

}  // namespace lexivane
