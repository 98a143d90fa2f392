#include "frontend/session/name_words.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "support/ascii.h"
#include "support/embed.h"

// The list's bytes: lower-case entries, one a line, sorted in byte order.
LEXIVANE_EMBED(lexivane_name_words, LEXIVANE_NAME_WORDS_FILE);

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
  // A custom dictionary of millions of lines asks once a line, so the list is looked up in a
  // set of its lines, made (in about a millisecond) when it is first asked.
  static const std::unordered_set<std::string_view> names = [] {
    const std::string_view text = LEXIVANE_EMBEDDED_TEXT(lexivane_name_words);
    std::unordered_set<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      lines.insert(text.substr(at, end - at));
      at = end + 1;
    }
    return lines;
  }();
  return names.contains(key);
}

std::u16string CapitalisedName(std::u16string_view word) {
  std::u16string name(word);
  if (!name.empty()) name[0] = support::AsciiUpper(name[0]);
  return name;
}

}  // namespace lexivane::frontend
