#include "frontend/session/sorted_word_list.h"

#include <algorithm>
#include <string>

#include "frontend/session/embedded_text.h"
#include "support/ascii.h"

namespace lexivane::frontend {
namespace {

// The longest entry of a list is far shorter; a longer word is in none.
constexpr std::size_t kLongestEntry = 64;

// A line's entry: up to its blank.
std::string_view EntryOf(std::string_view line) {
  return line.substr(0, line.find(' '));
}

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

std::optional<std::string_view> SortedWordList::Find(std::u16string_view word) const {
  if (word.size() > kLongestEntry) return std::nullopt;
  std::string ascii;
  for (const char16_t c : word) {
    if (c > 0x7F) return std::nullopt;
    ascii += static_cast<char>(c);
  }
  return FindAscii(ascii);
}

std::optional<std::string_view> SortedWordList::FindAscii(std::string_view word) const {
  if (word.empty() || word.size() > kLongestEntry) return std::nullopt;
  std::string key(word);
  for (char& c : key) {
    if ((c & 0x80) != 0) return std::nullopt;
    c = support::AsciiLower(c);
  }
  std::size_t low;
  if (table_ != nullptr) {
    low = table_->Find(key);
    if (low == std::string_view::npos) return std::nullopt;
  } else {
    low = FirstLineNotBefore(
        text_, [&](std::string_view line) { return CompareFolded(EntryOf(line), key) < 0; });
  }
  // The entries with the key's letters, in any case, follow one another from there.
  while (low < text_.size()) {
    const std::size_t end = text_.find('\n', low);
    const std::string_view line = text_.substr(low, end - low);
    const std::string_view entry = EntryOf(line);
    if (CompareFolded(entry, key) != 0) return std::nullopt;
    if (CaseAccepts(entry, word)) {
      return entry.size() < line.size() ? line.substr(entry.size() + 1) : std::string_view();
    }
    low = end + 1;
  }
  return std::nullopt;
}

bool SortedWordList::Holds(std::u16string_view word) const {
  // The entries are ASCII: so is a word one holds, possessive or not.
  if (word.size() > kLongestEntry + 2) return false;
  std::string ascii;
  for (const char16_t c : word) {
    if (c > 0x7F) return false;
    ascii += static_cast<char>(c);
  }
  return Holds(std::string_view(ascii));
}

bool SortedWordList::Holds(std::string_view word) const {
  if (FindAscii(word)) return true;
  return (word.ends_with("'s") || word.ends_with("'S")) &&
         FindAscii(word.substr(0, word.size() - 2)).has_value();
}

}  // namespace lexivane::frontend
