#include "suggest/word_level.h"

#include <array>
#include <cstddef>

#include "platform/embed.h"

// One digit (level) or letter (frequency class) per word, 64 to a line (see
// data/make_word_levels.py and data/make_word_frequencies.py).
LEXIVANE_EMBED("lexivane_word_levels", LEXIVANE_WORD_LEVELS_FILE);
LEXIVANE_EMBED("lexivane_word_frequencies", LEXIVANE_WORD_FREQUENCIES_FILE);

extern "C" {
extern const char lexivane_word_levels_begin[];
extern const char lexivane_word_levels_end[];
extern const char lexivane_word_frequencies_begin[];
extern const char lexivane_word_frequencies_end[];
}

namespace lexivane {
namespace {

constexpr std::array<std::uint8_t, 10> kScowlSizes = {10, 20, 35, 40, 50, 55, 60, 70, 80, 95};
constexpr std::int32_t kDigitsPerLine = 64;

// The character of entry `word_index` in an embedded table, or 0 outside it.
char Entry(const char* begin, const char* end, std::int32_t word_index) {
  if (word_index < 0) return 0;
  // Each full line before the word adds its line feed.
  const std::size_t at =
      static_cast<std::size_t>(word_index) + static_cast<std::size_t>(word_index / kDigitsPerLine);
  return at < static_cast<std::size_t>(end - begin) ? begin[at] : 0;
}

}  // namespace

std::uint8_t WordLevel(std::int32_t word_index) {
  const char digit = Entry(lexivane_word_levels_begin, lexivane_word_levels_end, word_index);
  if (digit < '0' || digit > '9') return 0;
  return kScowlSizes[static_cast<std::size_t>(digit - '0')];
}

std::uint8_t WordFrequencyClass(std::int32_t word_index) {
  const char letter =
      Entry(lexivane_word_frequencies_begin, lexivane_word_frequencies_end, word_index);
  return letter >= 'a' && letter <= 'p' ? static_cast<std::uint8_t>(letter - 'a') : 0;
}

}  // namespace lexivane
