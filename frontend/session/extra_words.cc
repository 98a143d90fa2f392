#include "frontend/session/extra_words.h"

#include "frontend/session/sorted_word_list.h"
#include "support/embed.h"

// The list's bytes, between lexivane_extra_words_begin and _end.
LEXIVANE_EMBED(lexivane_extra_words, LEXIVANE_EXTRA_WORDS_FILE);

namespace lexivane::frontend {

std::string_view ExtraWordsText() {
  return LEXIVANE_EMBEDDED_TEXT(lexivane_extra_words);
}

bool ExtraWordsHold(std::u16string_view word) {
  return SortedWordList(ExtraWordsText()).Holds(word);
}

}  // namespace lexivane::frontend
