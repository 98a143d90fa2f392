#include "suggest/word_level.h"

#include <array>
#include <cstddef>

#include "platform/embed.h"

// One digit per word, 64 digits to a line (see data/make_word_levels.py).
LEXIVANE_EMBED("lexivane_word_levels", LEXIVANE_WORD_LEVELS_FILE);

extern "C" {
extern const char lexivane_word_levels_begin[];
extern const char lexivane_word_levels_end[];
}

namespace lexivane {
namespace {

constexpr std::array<std::uint8_t, 10> kScowlSizes = {10, 20, 35, 40, 50, 55, 60, 70, 80, 95};
constexpr std::int32_t kDigitsPerLine = 64;

}  // namespace

std::uint8_t WordLevel(std::int32_t word_index) {
  if (word_index < 0) return 0;
  // Each full line before the word adds its line feed.
  const std::size_t at =
      static_cast<std::size_t>(word_index) + static_cast<std::size_t>(word_index / kDigitsPerLine);
  const auto size = static_cast<std::size_t>(lexivane_word_levels_end - lexivane_word_levels_begin);
  if (at >= size) return 0;
  const char digit = lexivane_word_levels_begin[at];
  if (digit < '0' || digit > '9') return 0;
  return kScowlSizes[static_cast<std::size_t>(digit - '0')];
}

}  // namespace lexivane
