#include "engine/prepared_tables.h"

#include <algorithm>
#include <cstring>

#include "lexivane/error.h"

namespace lexivane {

namespace {

constexpr std::uint32_t kIndexBits = 17;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;

// FNV-1a: the words are short, so a byte-at-a-time hash costs less than a wider one's setup.
std::uint32_t HashWord(std::string_view word) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char byte : word) hash = (hash ^ byte) * 16777619u;
  return hash;
}

// The tag comes from the hash's low bits because the home slot comes from its high bits.
std::uint32_t Tag(std::uint32_t hash) {
  return hash << kIndexBits;
}

// Maps a hash onto [0, slots) by multiplication, so the table need not be a power of two.
std::uint32_t HomeSlot(std::uint32_t hash, std::uint32_t slots) {
  return static_cast<std::uint32_t>((std::uint64_t{hash} * slots) >> 32);
}

std::size_t Align4(std::size_t n) {
  return (n + 3) & ~std::size_t{3};
}

struct Layout {
  std::size_t offsets, keys, start_idx, end_idx, hash, blob, total;
};

Layout ComputeLayout(std::uint32_t word_count, std::uint32_t hash_slots, std::uint32_t blob_size) {
  Layout layout{};
  layout.offsets = Align4(sizeof(ImageHeader));
  layout.keys = layout.offsets + 4 * (std::size_t{word_count} + 1);
  layout.start_idx = Align4(layout.keys + 2 * std::size_t{word_count});
  layout.end_idx = layout.start_idx + 4 * std::size_t{kPrefixSlots};
  layout.hash = layout.end_idx + 4 * std::size_t{kPrefixSlots};
  layout.blob = layout.hash + 4 * std::size_t{hash_slots};
  layout.total = layout.blob + blob_size;
  return layout;
}

template <typename T>
void Put(std::vector<std::uint8_t>& image, std::size_t at, const T* values, std::size_t count) {
  std::memcpy(image.data() + at, values, sizeof(T) * count);
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
  std::uint32_t max_length = 0;
  for (const std::string& word : tables.words) {
    blob += word;
    offsets.push_back(static_cast<std::uint32_t>(blob.size()));
    max_length = std::max(max_length, static_cast<std::uint32_t>(word.size()));
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
  std::memcpy(header.magic, kImageMagic, sizeof header.magic);
  header.word_count = word_count;
  header.hash_slots = hash_slots;
  header.blob_size = static_cast<std::uint32_t>(blob.size());
  header.max_word_length = max_length;

  const Layout layout = ComputeLayout(word_count, hash_slots, header.blob_size);
  std::vector<std::uint8_t> image(layout.total, 0);
  Put(image, 0, &header, 1);
  Put(image, layout.offsets, offsets.data(), offsets.size());
  Put(image, layout.keys, tables.keys.data(), tables.keys.size());
  Put(image, layout.start_idx, tables.start_idx.data(), kPrefixSlots);
  Put(image, layout.end_idx, tables.end_idx.data(), kPrefixSlots);
  Put(image, layout.hash, hash.data(), hash.size());
  Put(image, layout.blob, blob.data(), blob.size());
  return image;
}

PreparedTables::PreparedTables(std::span<const std::uint8_t> image) {
  ImageHeader header{};
  if (image.size() < sizeof header) throw Error(kErrorCorruptWordTables, "the embedded word tables are truncated");
  std::memcpy(&header, image.data(), sizeof header);
  if (std::memcmp(header.magic, kImageMagic, sizeof header.magic) != 0 ||
      header.hash_slots <= header.word_count) {
    throw Error(kErrorCorruptWordTables, "the embedded word tables are not in the expected format");
  }
  const Layout layout = ComputeLayout(header.word_count, header.hash_slots, header.blob_size);
  if (layout.total != image.size() ||
      reinterpret_cast<std::uintptr_t>(image.data()) % alignof(std::uint32_t) != 0) {
    throw Error(kErrorCorruptWordTables, "the embedded word tables have an unexpected size or alignment");
  }
  const auto* base = image.data();
  word_count_ = header.word_count;
  hash_slots_ = header.hash_slots;
  max_word_length_ = header.max_word_length;
  offsets_ = reinterpret_cast<const std::uint32_t*>(base + layout.offsets);
  keys_ = reinterpret_cast<const PackedKey*>(base + layout.keys);
  start_idx_ = reinterpret_cast<const std::int32_t*>(base + layout.start_idx);
  end_idx_ = reinterpret_cast<const std::int32_t*>(base + layout.end_idx);
  hash_ = reinterpret_cast<const std::uint32_t*>(base + layout.hash);
  blob_ = reinterpret_cast<const char*>(base + layout.blob);
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
      if (Word(index) == word) return index;
    }
  }
}

}  // namespace lexivane
