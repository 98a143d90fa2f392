#include "frontend/session/extra_words.h"

#include <algorithm>
#include <string>

#include "frontend/session/embedded_text.h"
#include "support/ascii.h"
#include "support/embed.h"

// The list's bytes, between lexivane_extra_words_begin and _end.
LEXIVANE_EMBED(lexivane_extra_words, LEXIVANE_EXTRA_WORDS_FILE);

namespace lexivane::frontend {

namespace {

// -1, 0 or 1 as the lower-cased `entry` sorts before, with or after `key` (lower case).
int CompareFolded(std::string_view entry, std::string_view key) {
  const std::size_t common = std::min(entry.size(), key.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char c = support::AsciiLower(entry[i]);
    if (c != key[i])
      return static_cast<unsigned char>(c) < static_cast<unsigned char>(key[i]) ? -1 : 1;
  }
  return entry.size() == key.size() ? 0 : entry.size() < key.size() ? -1 : 1;
}

// `entry` and `word` are the same letters in some case: the word as the entry stands, in ALL
// CAPS, or Capitalised when the entry is in lower case.
bool CaseAccepts(std::string_view entry, std::string_view word) {
  if (entry == word || std::none_of(word.begin(), word.end(), support::IsAsciiLower<char>))
    return true;
  return std::all_of(entry.begin(), entry.end(),
                     [](char c) { return !support::IsAsciiUpper(c); }) &&
         word.substr(1) == entry.substr(1);
}

}  // namespace

std::string_view ExtraWordsText() {
  return LEXIVANE_EMBEDDED_TEXT(lexivane_extra_words);
}

namespace {

bool Holds(std::u16string_view word) {
  if (word.empty() || word.size() > 64) return false;
  std::string ascii, key;
  for (const char16_t c : word) {
    if (c > 0x7F) return false;
    ascii += static_cast<char>(c);
    key += support::AsciiLower(static_cast<char>(c));
  }
  const std::string_view text = ExtraWordsText();
  std::size_t low = FirstLineNotBefore(
      text, [&](std::string_view entry) { return CompareFolded(entry, key) < 0; });
  // The entries with the key's letters, in any case, follow one another from there.
  while (low < text.size()) {
    const std::size_t end = text.find('\n', low);
    const std::string_view entry = text.substr(low, end - low);
    if (CompareFolded(entry, key) != 0) return false;
    if (CaseAccepts(entry, ascii)) return true;
    low = end + 1;
  }
  return false;
}

}  // namespace

bool ExtraWordsHold(std::u16string_view word) {
  if (Holds(word)) return true;
  // The possessive of an entry, as the word check takes it after the words of its own list.
  return (word.ends_with(u"'s") || word.ends_with(u"'S")) && Holds(word.substr(0, word.size() - 2));
}

}  // namespace lexivane::frontend
