#include "suggest/word_level.h"

#include <array>
#include <cstddef>

#include "support/embed.h"

// One digit (level) or letter (frequency class) per word, 64 to a line (see
// data/make_word_levels.py and data/make_word_frequencies.py).
LEXIVANE_EMBED(lexivane_word_levels, LEXIVANE_WORD_LEVELS_FILE);
LEXIVANE_EMBED(lexivane_word_frequencies, LEXIVANE_WORD_FREQUENCIES_FILE);

namespace lexivane {
namespace {

constexpr std::array<std::uint8_t, 10> kScowlSizes = {10, 20, 35, 40, 50, 55, 60, 70, 80, 95};
constexpr std::int32_t kDigitsPerLine = 64;

// The character of entry `word_index` in an embedded table, or 0 outside it.
char Entry(std::string_view table, std::int32_t word_index) {
  if (word_index < 0) return 0;
  // Each full line before the word adds its line feed.
  const std::size_t at =
      static_cast<std::size_t>(word_index) + static_cast<std::size_t>(word_index / kDigitsPerLine);
  return at < table.size() ? table[at] : 0;
}

}  // namespace

std::uint8_t WordLevel(std::int32_t word_index) {
  const char digit = Entry(LEXIVANE_EMBEDDED_TEXT(lexivane_word_levels), word_index);
  if (digit < '0' || digit > '9') return 0;
  return kScowlSizes[static_cast<std::size_t>(digit - '0')];
}

std::uint8_t WordFrequencyClass(std::int32_t word_index) {
  const char letter = Entry(LEXIVANE_EMBEDDED_TEXT(lexivane_word_frequencies), word_index);
  return letter >= 'a' && letter <= 'p' ? static_cast<std::uint8_t>(letter - 'a') : 0;
}

}  // namespace lexivane
