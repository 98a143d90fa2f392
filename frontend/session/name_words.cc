#include "frontend/session/name_words.h"

#include <algorithm>
#include <string>

#include "frontend/session/line_table.h"
#include "support/ascii.h"
#include "support/embed.h"

// The list's bytes: lower-case entries, one a line, sorted in byte order; and the table of their
// places.
LEXIVANE_EMBED(lexivane_name_words, LEXIVANE_NAME_WORDS_FILE);
LEXIVANE_EMBED(lexivane_name_table, LEXIVANE_NAME_WORDS_TABLE_FILE);

namespace lexivane::frontend {

namespace {

// The longest entry of the list is far shorter; a longer word is no name of it.
constexpr std::size_t kLongestName = 64;

}  // namespace

bool IsNameInSmallLetters(std::u16string_view word) {
  if (word.empty() || word.size() > kLongestName) return false;
  std::string key;
  for (const char16_t c : word) {
    if (!(support::IsAsciiLower(c) || c == u'\'')) return false;
    key += static_cast<char>(c);
  }
  static const LineTable names(LEXIVANE_EMBEDDED_BYTES(lexivane_name_table),
                               LEXIVANE_EMBEDDED_TEXT(lexivane_name_words), "",
                               LEXIVANE_EMBEDDED_TEXT(lexivane_name_words));
  return names.Find(key) != std::string_view::npos;
}

std::u16string CapitalisedName(std::u16string_view word) {
  std::u16string name(word);
  if (!name.empty()) name[0] = support::AsciiUpper(name[0]);
  return name;
}

}  // namespace lexivane::frontend
