#include "frontend/name_words.h"

#include <string>

#include "frontend/embedded_text.h"

// The list's bytes: lower-case entries, one a line, sorted in byte order.
LEXIVANE_EMBED_TEXT(lexivane_name_words, LEXIVANE_NAME_WORDS_FILE);

namespace lexivane::frontend {

namespace {

// The longest entry of the list is far shorter; a longer word is no name of it.
constexpr std::size_t kLongestName = 64;

}  // namespace

bool IsNameInSmallLetters(std::u16string_view word) {
  if (word.empty() || word.size() > kLongestName) return false;
  std::string key;
  for (const char16_t c : word) {
    if (!((c >= u'a' && c <= u'z') || c == u'\'')) return false;
    key += static_cast<char>(c);
  }
  // Binary search for the line equal to the key; `low` and `high` are always starts of lines
  // (or the end), and every line ends in '\n'.
  const std::string_view text = LEXIVANE_EMBEDDED_TEXT(lexivane_name_words);
  std::size_t low = 0, high = text.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    const std::size_t start = middle == 0 ? 0 : text.rfind('\n', middle - 1) + 1;
    const std::size_t end = text.find('\n', start);
    const std::string_view entry = text.substr(start, end - start);
    if (entry == key) return true;
    if (entry < key) {
      low = end + 1;
    } else {
      high = start;
    }
  }
  return false;
}

std::u16string CapitalisedName(std::u16string_view word) {
  std::u16string name(word);
  if (!name.empty() && name[0] >= u'a' && name[0] <= u'z') name[0] = name[0] - u'a' + u'A';
  return name;
}

}  // namespace lexivane::frontend
