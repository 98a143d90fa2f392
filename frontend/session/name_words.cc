#include "frontend/session/name_words.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "support/ascii.h"
#include "support/embed.h"

// The list's bytes: lower-case entries, one a line, sorted in byte order; and the table of their
// places.
LEXIVANE_EMBED(lexivane_name_words, LEXIVANE_NAME_WORDS_FILE);
LEXIVANE_EMBED(lexivane_name_table, LEXIVANE_NAME_TABLE_FILE);

namespace lexivane::frontend {

namespace {

// The longest entry of the list is far shorter; a longer word is no name of it.
constexpr std::size_t kLongestName = 64;

std::uint32_t HashOf(std::string_view word) {  // FNV-1a, as data/make_name_table.py hashes
  std::uint32_t hash = 2166136261u;
  for (const char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

// Whether the list holds `word`: asked in the open-addressed table of its lines' places that
// data/make_name_table.py made when the program was built (start << 8 | length; 0 for an
// empty slot), so that no run pays for making it.
bool ListHolds(std::string_view word) {
  const std::string_view text = LEXIVANE_EMBEDDED_TEXT(lexivane_name_words);
  const auto table = LEXIVANE_EMBEDDED_BYTES(lexivane_name_table);
  const std::size_t slots = table.size() / 4;  // a power of two
  for (std::size_t slot = HashOf(word) & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
    const std::uint8_t* const bytes = table.data() + slot * 4;  // little-endian
    const std::uint32_t place =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    if (place == 0) return false;
    if (text.substr(place >> 8, place & 0xFF) == word) return true;
  }
}

}  // namespace

bool IsNameInSmallLetters(std::u16string_view word) {
  if (word.empty() || word.size() > kLongestName) return false;
  std::string key;
  for (const char16_t c : word) {
    if (!(support::IsAsciiLower(c) || c == u'\'')) return false;
    key += static_cast<char>(c);
  }
  return ListHolds(key);
}

std::u16string CapitalisedName(std::u16string_view word) {
  std::u16string name(word);
  if (!name.empty()) name[0] = support::AsciiUpper(name[0]);
  return name;
}

}  // namespace lexivane::frontend
