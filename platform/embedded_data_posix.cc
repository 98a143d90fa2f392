// The word list, embedded into the component's own file with .incbin (see support/embed.h).
#include "platform/module.h"
#include "support/embed.h"

LEXIVANE_EMBED(lexivane_word_list, LEXIVANE_WORD_LIST_FILE);

namespace lexivane::platform {

std::span<const std::uint8_t> EmbeddedWordList() {
  return LEXIVANE_EMBEDDED_BYTES(lexivane_word_list);
}

}  // namespace lexivane::platform
