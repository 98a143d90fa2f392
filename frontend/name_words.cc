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
  const std::string_view text = LEXIVANE_EMBEDDED_TEXT(lexivane_name_words);
  const std::size_t at =
      FirstLineNotBefore(text, [&](std::string_view entry) { return entry < key; });
  return at < text.size() && text.substr(at, text.find('\n', at) - at) == key;
}

std::u16string CapitalisedName(std::u16string_view word) {
  std::u16string name(word);
  if (!name.empty() && name[0] >= u'a' && name[0] <= u'z') name[0] = name[0] - u'a' + u'A';
  return name;
}

}  // namespace lexivane::frontend
