#include "suggest/sound_index.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>

#include "engine/prepared_tables.h"
#include "lexivane/error.h"
#include "suggest/sound_key.h"
#include "support/binary_image.h"
#include "support/bloom_filter.h"

namespace lexivane {
namespace {

// Symbol codes 1 to 17 in ASCII order of the symbols, so packed numbers sort as the keys do;
// 0 marks the end of a key shorter than kIndexedKeySymbols.
constexpr std::string_view kSymbols = "0ABFHJKLMNPRSTWXY";
static_assert(kSymbols.size() == kSoundKeySymbols);
constexpr int kBitsPerSymbol = 5;
constexpr int kTopShift = kBitsPerSymbol * (SoundIndex::kIndexedKeySymbols - 1);
// The directory's place of a packed key: its first three symbols as a number in base 18 (a
// symbol code or the end), which orders keys as the packed numbers do.
constexpr std::size_t kCodes = kSoundKeySymbols + 1;
constexpr std::size_t kDirectorySize = kCodes * kCodes * kCodes + 1;
constexpr std::size_t DirectoryPlace(std::uint64_t packed) {
  const auto code = [&](int i) {
    return static_cast<std::size_t>((packed >> (kTopShift - kBitsPerSymbol * i)) & 31);
  };
  return (code(0) * kCodes + code(1)) * kCodes + code(2);
}
// The keys' filter: 2^19 bits (64 KiB), two set for each key. A lookup tries a few hundred
// variants of its key, nearly all of which no word has; about one in forty of those passes the
// filter to be sought in the keys.
constexpr int kFilterBits = 19;
constexpr std::size_t kFilterWords = (std::size_t{1} << kFilterBits) / 64;

using Codes = std::vector<std::uint8_t>;

// The symbol codes of `key`, or nothing when it holds a character that is no key symbol.
std::optional<Codes> CodesOf(std::string_view key) {
  Codes codes;
  codes.reserve(key.size() + 1);
  for (const char symbol : key) {
    const std::size_t at = kSymbols.find(symbol);
    if (at == std::string_view::npos) return std::nullopt;
    codes.push_back(static_cast<std::uint8_t>(at + 1));
  }
  return codes;
}

std::uint64_t Pack(const Codes& codes) {
  std::uint64_t packed = 0;
  const std::size_t kept = std::min(codes.size(), SoundIndex::kIndexedKeySymbols);
  for (std::size_t i = 0; i < kept; ++i) {
    packed |= std::uint64_t{codes[i]} << (kTopShift - kBitsPerSymbol * static_cast<int>(i));
  }
  return packed;
}

// Masks of a packed key: the symbol at `i`, and the symbols from `i` to the last indexed one.
constexpr std::uint64_t SymbolAt(std::size_t i) {
  return std::uint64_t{31} << (kTopShift - kBitsPerSymbol * static_cast<int>(i));
}
constexpr std::uint64_t SymbolsFrom(std::size_t i) {
  return i < SoundIndex::kIndexedKeySymbols ? SymbolAt(i) | (SymbolAt(i) - 1) : 0;
}

// Calls take(packed) with the packed form of every key one edit from `codes` (at most
// kIndexedKeySymbols + 1 symbols), edited in the packed number itself: some more than once,
// and the query's own form among them.
template <typename Take>
void ForEachPackedVariant(const Codes& codes, Take&& take) {
  const std::size_t n = codes.size();
  const std::uint64_t packed = Pack(codes);
  // The symbol past the indexed ones, which a deletion before it moves into them.
  const std::uint64_t past = n > SoundIndex::kIndexedKeySymbols ? codes.back() : 0;
  const auto shifted = [](std::uint8_t symbol, std::size_t i) {
    return std::uint64_t{symbol} << (kTopShift - kBitsPerSymbol * static_cast<int>(i));
  };
  // A swap with the symbol past the indexed ones packs as the deletion before it does.
  for (std::size_t i = 0; i < n && i < SoundIndex::kIndexedKeySymbols; ++i) {
    take((packed & ~SymbolsFrom(i)) | ((packed & SymbolsFrom(i + 1)) << kBitsPerSymbol) | past);
    if (i + 1 < n && i + 1 < SoundIndex::kIndexedKeySymbols && codes[i] != codes[i + 1]) {
      take((packed & ~SymbolAt(i) & ~SymbolAt(i + 1)) | shifted(codes[i + 1], i) |
           shifted(codes[i], i + 1));
    }
  }
  // Symbols past the indexed length do not change the packed form, so neither do edits there.
  for (std::size_t i = 0; i <= n && i < SoundIndex::kIndexedKeySymbols; ++i) {
    const std::uint64_t head = packed & ~SymbolsFrom(i);
    const std::uint64_t moved = (packed & SymbolsFrom(i)) >> kBitsPerSymbol;
    for (std::uint8_t symbol = 1; symbol <= kSoundKeySymbols; ++symbol) {
      take(head | shifted(symbol, i) | moved);
      if (i < n && symbol != codes[i]) take((packed & ~SymbolAt(i)) | shifted(symbol, i));
    }
  }
}

// The checks below run once over the whole image before its first use. They count instead of
// stopping at the first fault, so that the compiler vectorises them: the 1.3 MiB take tens of
// microseconds.
bool AllBelow(std::span<const std::int32_t> values, std::uint32_t limit) {
  std::uint32_t outside = 0;  // a negative value reads as a huge one
  for (const std::int32_t value : values) outside += static_cast<std::uint32_t>(value) >= limit;
  return outside == 0;
}

bool Ascending(std::span<const std::int32_t> values) {
  std::int32_t descents = 0;
  for (std::size_t i = 1; i < values.size(); ++i) descents += values[i] < values[i - 1];
  return descents == 0;
}

[[noreturn]] void Malformed(const char* why) {
  throw Error(kErrorCorruptWordTables, std::string("the sound index image ") + why);
}

}  // namespace

std::vector<std::uint8_t> BuildSoundIndexImage(const PreparedTables& tables) {
  const std::int32_t count = tables.word_count();
  std::vector<std::pair<std::uint64_t, std::int32_t>> keyed(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    // SoundKey gives key symbols only.
    keyed[static_cast<std::size_t>(i)] = {Pack(*CodesOf(SoundKey(tables.Word(i)))), i};
  }
  std::sort(keyed.begin(), keyed.end());

  std::vector<std::uint64_t> keys;
  std::vector<std::int32_t> group_start, words, group_of_word(keyed.size());
  words.reserve(keyed.size());
  for (const auto& [packed, word] : keyed) {
    if (keys.empty() || keys.back() != packed) {
      keys.push_back(packed);
      group_start.push_back(static_cast<std::int32_t>(words.size()));
    }
    group_of_word[static_cast<std::size_t>(word)] = static_cast<std::int32_t>(keys.size() - 1);
    words.push_back(word);
  }
  group_start.push_back(static_cast<std::int32_t>(words.size()));

  std::vector<std::int32_t> directory(kDirectorySize);
  std::int32_t group = 0;
  for (std::size_t d = 0; d < directory.size(); ++d) {
    while (group < static_cast<std::int32_t>(keys.size()) &&
           DirectoryPlace(keys[static_cast<std::size_t>(group)]) < d) {
      ++group;
    }
    directory[d] = group;
  }

  std::vector<std::uint64_t> filter(kFilterWords);
  for (const std::uint64_t packed : keys) support::BloomAdd(filter, packed);

  SoundIndexHeader header{};
  header.indexed_key_symbols = SoundIndex::kIndexedKeySymbols;
  header.key_count = static_cast<std::uint32_t>(keys.size());
  header.word_count = static_cast<std::uint32_t>(words.size());
  support::ImageWriter image(header, kSoundIndexMagic);
  image.Add(keys);
  image.Add(group_start);
  image.Add(words);
  image.Add(group_of_word);
  image.Add(directory);
  image.Add(filter);
  return std::move(image).Finish();
}

SoundIndex::SoundIndex(const PreparedTables& tables) : owned_(BuildSoundIndexImage(tables)) {
  Read(owned_);
}

SoundIndex::SoundIndex(std::span<const std::uint8_t> image) {
  Read(image);
}

void SoundIndex::Read(std::span<const std::uint8_t> image) {
  support::ImageReader<SoundIndexHeader> reader(image, kSoundIndexMagic);
  if (reader.truncated()) Malformed("is truncated");
  const SoundIndexHeader& header = reader.header();
  if (reader.foreign() || header.indexed_key_symbols != kIndexedKeySymbols ||
      header.reserved != 0) {
    Malformed("is not in the expected format");
  }
  const auto keys = reader.Section<std::uint64_t>(header.key_count);
  const auto group_start = reader.Section<std::int32_t>(std::uint64_t{header.key_count} + 1);
  const auto words = reader.Section<std::int32_t>(header.word_count);
  const auto group_of_word = reader.Section<std::int32_t>(header.word_count);
  const auto directory = reader.Section<std::int32_t>(kDirectorySize);
  const auto filter = reader.Section<std::uint64_t>(kFilterWords);
  if (!reader.Complete()) Malformed("has an unexpected size or alignment");
  // Lookups trust these bounds; the keys' order only decides what a lookup finds.
  if (group_start.front() != 0 || !Ascending(group_start) ||
      static_cast<std::uint32_t>(group_start.back()) != header.word_count ||
      directory.front() < 0 || !Ascending(directory) ||
      static_cast<std::uint32_t>(directory.back()) > header.key_count ||
      !AllBelow(words, header.word_count) || !AllBelow(group_of_word, header.key_count)) {
    Malformed("holds an index outside its arrays");
  }
  image_ = image;
  keys_ = keys;
  group_start_ = group_start;
  words_ = words;
  group_of_word_ = group_of_word;
  directory_ = directory;
  filter_ = filter;
}

std::string SoundIndex::KeyOf(std::int32_t word_index) const {
  if (word_index < 0 || word_index >= word_count()) return {};
  const std::uint64_t packed =
      keys_[static_cast<std::size_t>(group_of_word_[static_cast<std::size_t>(word_index)])];
  std::string key;
  for (int shift = kTopShift; shift >= 0; shift -= kBitsPerSymbol) {
    const auto code = static_cast<std::size_t>((packed >> shift) & 31);
    if (code == 0) break;
    key += kSymbols[code - 1];
  }
  return key;
}

std::int32_t SoundIndex::FindGroup(std::uint64_t packed) const {
  const std::size_t d = DirectoryPlace(packed);
  const auto first = keys_.begin() + directory_[d];
  const auto last = keys_.begin() + directory_[d + 1];
  const auto found = std::lower_bound(first, last, packed);
  if (found == last || *found != packed) return -1;
  return static_cast<std::int32_t>(found - keys_.begin());
}

void SoundIndex::FindNearKeys(std::string_view key, std::vector<NearKey>& near) const {
  std::optional<Codes> codes = CodesOf(key);
  if (!codes) return;
  // One symbol past the indexed ones still moves into them when a symbol before it is deleted
  // or swapped with it; none further does. This bounds the work for a word of any length.
  if (codes->size() > kIndexedKeySymbols + 1) codes->resize(kIndexedKeySymbols + 1);
  const std::int32_t same = FindGroup(Pack(*codes));
  if (same >= 0) near.push_back({same, 0});
  const std::size_t first_near = near.size();
  ForEachPackedVariant(*codes, [&](std::uint64_t variant) {
    if (!support::BloomMayHold(filter_, variant)) return;
    if (const std::int32_t group = FindGroup(variant); group >= 0 && group != same) {
      near.push_back({group, 1});
    }
  });
  // Groups are numbered in the order of their keys: sorting the few found, rather than the
  // variants, gives the order of the keys.
  const auto by_group = [](const NearKey& a, const NearKey& b) { return a.group < b.group; };
  const auto same_group = [](const NearKey& a, const NearKey& b) { return a.group == b.group; };
  const auto variants = near.begin() + static_cast<std::ptrdiff_t>(first_near);
  std::sort(variants, near.end(), by_group);
  near.erase(std::unique(variants, near.end(), same_group), near.end());
}

}  // namespace lexivane
