#include "engine/soundex.h"

#include <array>

#include "support/ascii.h"

namespace lexivane {
namespace {

// The code of each letter A..Z; a blank letter is not coded and separates like a vowel.
constexpr std::string_view kLetterCodes = " 123 12  22455 12623 1 2 2";

// Stands for any byte that is not an ASCII letter: it separates coded letters but is never
// appended, so it only has to differ from every entry of kLetterCodes.
constexpr char kNonLetter = '?';

// The four characters of a key, all NUL for a word without a letter. Both the string and the
// packed form are made from it, so that the two can never disagree.
struct Key {
  std::array<char, 4> chars{};
  bool empty() const { return chars[0] == '\0'; }
};

Key ComputeKey(std::string_view word) {
  Key key;
  std::size_t pos = 0;
  while (pos < word.size() && !support::IsAsciiLetter(word[pos])) ++pos;
  if (pos == word.size()) return key;

  const char first = support::AsciiUpper(word[pos]);
  key.chars[0] = first;
  std::size_t length = 1;
  char previous = kLetterCodes[first - 'A'];
  for (++pos; pos < word.size() && length < key.chars.size(); ++pos) {
    const char byte = word[pos];
    if (!support::IsAsciiLetter(byte)) {
      previous = kNonLetter;
      continue;
    }
    const char code = kLetterCodes[support::AsciiUpper(byte) - 'A'];
    if (code != ' ' && code != previous) key.chars[length++] = code;
    previous = code;
  }
  for (; length < key.chars.size(); ++length) key.chars[length] = '0';
  return key;
}

}  // namespace

std::string Soundex(std::string_view word) {
  const Key key = ComputeKey(word);
  if (key.empty()) return {};
  return std::string(key.chars.data(), key.chars.size());
}

PackedKey PackedSoundex(std::string_view word) {
  const Key key = ComputeKey(word);
  if (key.empty()) return 0;
  return static_cast<PackedKey>((key.chars[0] - 'A' + 1) << 9 | (key.chars[1] - '0') << 6 |
                                (key.chars[2] - '0') << 3 | (key.chars[3] - '0'));
}

std::string UnpackSoundex(PackedKey key) {
  const int letter = key >> 9;
  const int digits[] = {(key >> 6) & 7, (key >> 3) & 7, key & 7};
  // A value that no word can produce (no letter, or a digit of 7) unpacks to "", the key of
  // a word without a letter, rather than to a string that looks like a key.
  if (letter < 1 || letter > 26) return {};
  std::string text(1, static_cast<char>('A' + letter - 1));
  for (const int digit : digits) {
    if (digit > 6) return {};
    text += static_cast<char>('0' + digit);
  }
  return text;
}

}  // namespace lexivane
