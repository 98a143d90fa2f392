#include "engine/prepared_tables.h"

#include <algorithm>
#include <limits>

#include "lexivane/error.h"
#include "support/binary_image.h"
#include "support/word_bytes.h"

namespace lexivane {

namespace {

constexpr std::uint32_t kIndexBits = 17;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;

// Read a few bytes at a time: a byte-at-a-time hash waits for a multiplication per byte.
std::uint32_t HashWord(std::string_view word) {
  return static_cast<std::uint32_t>(support::HashBytes(word.data(), word.size()));
}

// The tag comes from the hash's low bits because the home slot comes from its high bits.
std::uint32_t Tag(std::uint32_t hash) {
  return hash << kIndexBits;
}

// Maps a hash onto [0, slots) by multiplication, so the table need not be a power of two.
std::uint32_t HomeSlot(std::uint32_t hash, std::uint32_t slots) {
  return static_cast<std::uint32_t>((std::uint64_t{hash} * slots) >> 32);
}

void Refuse(const std::string& why) {
  throw Error(kErrorInvalidWordList, "cannot prepare the word list: " + why);
}

}  // namespace

std::vector<std::uint8_t> BuildPreparedImage(const WordListTables& tables) {
  const std::uint32_t word_count = static_cast<std::uint32_t>(tables.words.size());
  if (word_count >= kIndexMask) Refuse("more entries than the index can address");

  std::vector<std::uint32_t> offsets{0};
  std::string blob;
  std::vector<std::uint8_t> shared;
  std::uint32_t max_length = 0;
  std::string_view before;
  for (const std::string& word : tables.words) {
    blob += word;
    offsets.push_back(static_cast<std::uint32_t>(blob.size()));
    max_length = std::max(max_length, static_cast<std::uint32_t>(word.size()));
    const auto differ = std::mismatch(word.begin(), word.end(), before.begin(), before.end());
    shared.push_back(static_cast<std::uint8_t>(std::min<std::ptrdiff_t>(
        differ.first - word.begin(), std::numeric_limits<std::uint8_t>::max())));
    before = word;
  }

  // Two thirds full: a probe for a missing word ends after a few slots of one cache line,
  // and the index stays near a fifth of the image.
  const std::uint32_t hash_slots = word_count + word_count / 2 + 1;
  std::vector<std::uint32_t> hash(hash_slots, 0);
  for (std::uint32_t i = 0; i < word_count; ++i) {
    const std::string& word = tables.words[i];
    const std::int32_t slot = PrefixSlot(word[0], word[1]);
    if (static_cast<std::int32_t>(i) < tables.start_idx[slot] ||
        static_cast<std::int32_t>(i) > tables.end_idx[slot]) {
      Refuse("entry '" + word + "' lies outside its prefix range (is the list sorted?)");
    }
    const std::uint32_t h = HashWord(word);
    std::uint32_t probe = HomeSlot(h, hash_slots);
    for (; hash[probe] != 0; probe = probe + 1 == hash_slots ? 0 : probe + 1) {
      if (tables.words[(hash[probe] & kIndexMask) - 1] == word)
        Refuse("duplicate entry '" + word + "'");
    }
    hash[probe] = Tag(h) | (i + 1);
  }

  ImageHeader header{};
  header.word_count = word_count;
  header.hash_slots = hash_slots;
  header.blob_size = static_cast<std::uint32_t>(blob.size());
  header.max_word_length = max_length;
  support::ImageWriter image(header, kImageMagic);
  image.Add(offsets);
  image.Add(tables.keys);
  image.Add(tables.start_idx);
  image.Add(tables.end_idx);
  image.Add(hash);
  image.Add(blob);
  image.Add(shared);
  return std::move(image).Finish();
}

PreparedTables::PreparedTables(std::span<const std::uint8_t> image) {
  support::ImageReader<ImageHeader> reader(image, kImageMagic);
  if (reader.truncated()) {
    throw Error(kErrorCorruptWordTables, "the embedded word tables are truncated");
  }
  const ImageHeader& header = reader.header();
  if (reader.foreign() || header.hash_slots <= header.word_count) {
    throw Error(kErrorCorruptWordTables, "the embedded word tables are not in the expected format");
  }
  const auto offsets = reader.Section<std::uint32_t>(std::uint64_t{header.word_count} + 1);
  const auto keys = reader.Section<PackedKey>(header.word_count);
  const auto start_idx = reader.Section<std::int32_t>(kPrefixSlots);
  const auto end_idx = reader.Section<std::int32_t>(kPrefixSlots);
  const auto hash = reader.Section<std::uint32_t>(header.hash_slots);
  const auto blob = reader.Section<char>(header.blob_size);
  const auto shared = reader.Section<std::uint8_t>(header.word_count);
  if (!reader.Complete()) {
    throw Error(kErrorCorruptWordTables,
                "the embedded word tables have an unexpected size or alignment");
  }
  word_count_ = header.word_count;
  hash_slots_ = header.hash_slots;
  max_word_length_ = header.max_word_length;
  offsets_ = offsets.data();
  keys_ = keys.data();
  start_idx_ = start_idx.data();
  end_idx_ = end_idx.data();
  hash_ = hash.data();
  blob_ = blob.data();
  shared_ = shared.data();
}

std::int32_t PreparedTables::Find(std::string_view word) const {
  if (hash_ == nullptr || word.size() > max_word_length_) return -1;
  const std::uint32_t h = HashWord(word);
  for (std::uint32_t probe = HomeSlot(h, hash_slots_);;
       probe = probe + 1 == hash_slots_ ? 0 : probe + 1) {
    const std::uint32_t entry = hash_[probe];
    if (entry == 0) return -1;
    if ((entry & ~kIndexMask) == Tag(h)) {
      const auto index = static_cast<std::int32_t>((entry & kIndexMask) - 1);
      const std::uint32_t begin = offsets_[index];
      if (offsets_[index + 1] - begin == word.size() &&
          support::EqualBytes(blob_ + begin, word.data(), word.size())) {
        return index;
      }
    }
  }
}

}  // namespace lexivane
