// The main word list as the loader turns it into tables, written the plain way: split the
// embedded bytes at CR LF, lower-case each line, store every line of two or more characters
// with its Soundex key, and index the entries by their first two bytes.
//
// LoadWordList is the definition of what the tables hold. The build runs it once to prepare
// the tables that the component embeds (prepared_tables.h), and the tests run it again to
// prove that the prepared tables are the same, entry for entry.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/soundex.h"

namespace lexivane {

// The 256 x 256 prefix slots, indexed by first byte + 256 x second byte.
inline constexpr int kPrefixSlots = 256 * 256;
inline constexpr std::int32_t PrefixSlot(unsigned char first, unsigned char second) {
  return first + 256 * second;
}

struct WordListTables {
  std::vector<std::string> words;  // single-byte form of each lower-cased entry
  std::vector<PackedKey> keys;     // Soundex key of each entry, parallel to `words`
  std::vector<std::int32_t> start_idx = std::vector<std::int32_t>(kPrefixSlots, 0);
  std::vector<std::int32_t> end_idx = std::vector<std::int32_t>(kPrefixSlots, 0);
};

// Builds the tables from the raw list. The last line runs to the end of the data, so trailing
// NUL bytes become part of the last entry. Throws lexivane::Error when lower-casing a line
// produces a character without a single-byte form (the list must be Windows-1252 text).
WordListTables LoadWordList(std::span<const std::uint8_t> list);

}  // namespace lexivane
