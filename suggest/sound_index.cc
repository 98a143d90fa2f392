#include "suggest/sound_index.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <utility>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"
#include "suggest/sound_key.h"

namespace lexivane {
namespace {

// Symbol codes 1 to 17 in ASCII order of the symbols, so packed numbers sort as the keys do;
// 0 marks the end of a key shorter than kIndexedKeySymbols.
constexpr std::string_view kSymbols = "0ABFHJKLMNPRSTWXY";
static_assert(kSymbols.size() == kSoundKeySymbols);
constexpr int kBitsPerSymbol = 5;
constexpr int kTopShift = kBitsPerSymbol * (SoundIndex::kIndexedKeySymbols - 1);
// The first two symbols of a packed key.
constexpr int kDirectoryShift = kTopShift - kBitsPerSymbol;

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

// The packed forms of every key one edit from `codes`, the query itself left out, each once.
std::vector<std::uint64_t> PackedVariants(const Codes& codes) {
  std::vector<std::uint64_t> variants;
  const std::size_t n = codes.size();
  variants.reserve(2 * n + 1 + (2 * n + 1) * kSoundKeySymbols);
  Codes edited;
  edited.reserve(n + 1);
  for (std::size_t i = 0; i < n; ++i) {
    edited = codes;
    edited.erase(edited.begin() + static_cast<std::ptrdiff_t>(i));
    variants.push_back(Pack(edited));
    if (i + 1 < n && codes[i] != codes[i + 1]) {
      edited = codes;
      std::swap(edited[i], edited[i + 1]);
      variants.push_back(Pack(edited));
    }
  }
  // Symbols past the indexed length do not change the packed form, so neither do edits there.
  for (std::size_t i = 0; i <= n && i < SoundIndex::kIndexedKeySymbols; ++i) {
    for (std::uint8_t symbol = 1; symbol <= kSoundKeySymbols; ++symbol) {
      edited = codes;
      edited.insert(edited.begin() + static_cast<std::ptrdiff_t>(i), symbol);
      variants.push_back(Pack(edited));
      if (i < n && symbol != codes[i]) {
        edited = codes;
        edited[i] = symbol;
        variants.push_back(Pack(edited));
      }
    }
  }
  std::sort(variants.begin(), variants.end());
  variants.erase(std::unique(variants.begin(), variants.end()), variants.end());
  const auto query = std::lower_bound(variants.begin(), variants.end(), Pack(codes));
  if (query != variants.end() && *query == Pack(codes)) variants.erase(query);
  return variants;
}

}  // namespace

SoundIndex::SoundIndex(const PreparedTables& tables) {
  const std::int32_t count = tables.word_count();
  std::vector<std::pair<std::uint64_t, std::int32_t>> keyed(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    // SoundKey gives key symbols only.
    keyed[static_cast<std::size_t>(i)] = {Pack(*CodesOf(SoundKey(tables.Word(i)))), i};
  }
  std::sort(keyed.begin(), keyed.end());

  words_.reserve(keyed.size());
  group_of_word_.resize(keyed.size());
  for (const auto& [packed, word] : keyed) {
    if (keys_.empty() || keys_.back() != packed) {
      keys_.push_back(packed);
      group_start_.push_back(static_cast<std::int32_t>(words_.size()));
    }
    group_of_word_[static_cast<std::size_t>(word)] = static_cast<std::int32_t>(keys_.size() - 1);
    words_.push_back(word);
  }
  group_start_.push_back(static_cast<std::int32_t>(words_.size()));
  keys_.shrink_to_fit();
  group_start_.shrink_to_fit();

  std::int32_t group = 0;
  for (std::size_t d = 0; d < directory_.size(); ++d) {
    while (group < static_cast<std::int32_t>(keys_.size()) &&
           (keys_[static_cast<std::size_t>(group)] >> kDirectoryShift) < d) {
      ++group;
    }
    directory_[d] = group;
  }
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

std::size_t SoundIndex::MemoryBytes() const {
  return keys_.capacity() * sizeof(keys_[0]) + group_start_.capacity() * sizeof(group_start_[0]) +
         words_.capacity() * sizeof(words_[0]) +
         group_of_word_.capacity() * sizeof(group_of_word_[0]) + sizeof(directory_);
}

std::int32_t SoundIndex::FindGroup(std::uint64_t packed) const {
  const auto d = static_cast<std::size_t>(packed >> kDirectoryShift);
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
  if (const std::int32_t same = FindGroup(Pack(*codes)); same >= 0) near.push_back({same, 0});
  for (const std::uint64_t variant : PackedVariants(*codes)) {
    if (const std::int32_t group = FindGroup(variant); group >= 0) near.push_back({group, 1});
  }
}

const SoundIndex& SharedSoundIndex() {
  static std::once_flag built;
  static std::optional<SoundIndex> index;
  std::call_once(built, [] { index.emplace(SharedMainTables()); });
  return *index;
}

}  // namespace lexivane
