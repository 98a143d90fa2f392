#include "frontend/session/extra_words.h"

#include "frontend/session/line_table.h"
#include "frontend/session/sorted_word_list.h"
#include "support/embed.h"

// The list's bytes, between lexivane_extra_words_begin and _end, and the table of its entries'
// lines: the list is asked for every word the embedded list rejects, and a binary search over
// its 18,000 lines reads a line of another page at each step.
LEXIVANE_EMBED(lexivane_extra_words, LEXIVANE_EXTRA_WORDS_FILE);
LEXIVANE_EMBED(lexivane_extra_words_table, LEXIVANE_EXTRA_WORDS_TABLE_FILE);

namespace lexivane::frontend {

std::string_view ExtraWordsText() {
  return LEXIVANE_EMBEDDED_TEXT(lexivane_extra_words);
}

bool ExtraWordsHold(std::u16string_view word) {
  static const LineTable table(LEXIVANE_EMBEDDED_BYTES(lexivane_extra_words_table),
                               ExtraWordsText(), "", ExtraWordsText());
  return SortedWordList(ExtraWordsText(), &table).Holds(word);
}

}  // namespace lexivane::frontend
