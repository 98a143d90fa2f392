#include "frontend/session/name_words.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/ascii.h"
#include "support/embed.h"

// The list's bytes: lower-case entries, one a line, sorted in byte order.
LEXIVANE_EMBED(lexivane_name_words, LEXIVANE_NAME_WORDS_FILE);

namespace lexivane::frontend {

namespace {

// The longest entry of the list is far shorter; a longer word is no name of it.
constexpr std::size_t kLongestName = 64;

std::uint32_t HashOf(std::string_view word) {  // FNV-1a
  std::uint32_t hash = 2166136261u;
  for (const char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

// The list's lines in an open-addressed table of their places (start << 8 | length; 0 for an
// empty slot), for a custom dictionary of millions of lines asks once a line. Made when the
// list is first asked, in a tenth of the time a std::unordered_set of the lines takes (it
// allocates a node for each of the 12,660), which every run that checks a text paid at its
// start.
class NameTable {
 public:
  explicit NameTable(std::string_view text) : text_(text), slots_(kSlots, 0) {
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      if (end > at && end - at <= kLongestName && at < (1u << 24)) {
        std::uint32_t slot = HashOf(text.substr(at, end - at)) & (kSlots - 1);
        while (slots_[slot] != 0) slot = (slot + 1) & (kSlots - 1);
        slots_[slot] = static_cast<std::uint32_t>(at << 8 | (end - at));
      }
      at = end + 1;
    }
  }

  bool Holds(std::string_view word) const {
    for (std::uint32_t slot = HashOf(word) & (kSlots - 1); slots_[slot] != 0;
         slot = (slot + 1) & (kSlots - 1)) {
      if (text_.substr(slots_[slot] >> 8, slots_[slot] & 0xFF) == word) return true;
    }
    return false;
  }

 private:
  static constexpr std::uint32_t kSlots = 1 << 15;  // more than twice the lines
  std::string_view text_;
  std::vector<std::uint32_t> slots_;
};

}  // namespace

bool IsNameInSmallLetters(std::u16string_view word) {
  if (word.empty() || word.size() > kLongestName) return false;
  std::string key;
  for (const char16_t c : word) {
    if (!(support::IsAsciiLower(c) || c == u'\'')) return false;
    key += static_cast<char>(c);
  }
  static const NameTable names(LEXIVANE_EMBEDDED_TEXT(lexivane_name_words));
  return names.Holds(key);
}

std::u16string CapitalisedName(std::u16string_view word) {
  std::u16string name(word);
  if (!name.empty()) name[0] = support::AsciiUpper(name[0]);
  return name;
}

}  // namespace lexivane::frontend
