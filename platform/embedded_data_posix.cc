// The word list, embedded into the component's own file with .incbin (see platform/embed.h).
#include <cstdint>

#include "platform/embed.h"
#include "platform/module.h"

LEXIVANE_EMBED("lexivane_word_list", LEXIVANE_WORD_LIST_FILE);

extern "C" {
extern const std::uint8_t lexivane_word_list_begin[];
extern const std::uint8_t lexivane_word_list_end[];
}

namespace lexivane::platform {

std::span<const std::uint8_t> EmbeddedWordList() {
  return {lexivane_word_list_begin, lexivane_word_list_end};
}

}  // namespace lexivane::platform
