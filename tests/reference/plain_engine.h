// The engine's word list, word check and suggestion search written the plain way: 16-bit
// strings in plain tables, a linear scan of the prefix range for every lookup, a linear scan
// of the custom list with lower-casing of every entry, and every window word scored with the
// plain CandidateScore. Slow on purpose; the tests hold the fast engine to its answers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lexivane::reference {

struct PlainTables {
  std::vector<std::u16string> Words;
  std::vector<std::u16string> Keys;
  std::vector<std::int32_t> StartIdx = std::vector<std::int32_t>(65536, 0);
  std::vector<std::int32_t> EndIdx = std::vector<std::int32_t>(65536, 0);
};

struct PlainEngine {
  PlainTables tables;
  std::vector<std::u16string> CustomWords;
  float SimilarityThreshold = 0.8f;

  // Sizes the tables for `capacity` entries, all empty, as a thread's tables start.
  explicit PlainEngine(std::size_t capacity);

  void LoadDictionary(std::span<const std::uint8_t> list);
  bool LookUpMain(const std::u16string& word) const;
  bool IsInCustom(const std::u16string& word) const;
  bool CheckWord(const std::u16string& word, bool check_custom) const;
  std::int32_t GetSuggestions(const std::u16string& word, std::vector<std::u16string>& out,
                              bool check_custom) const;
};

}  // namespace lexivane::reference
