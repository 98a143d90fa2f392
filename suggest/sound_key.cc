#include "suggest/sound_key.h"
#include "support/ascii.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace lexivane {
namespace {

constexpr bool IsVowelLetter(char c) {
  return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

// Steps 1 and 2 of the header: the word's letters, doubled ones once, initial groups read.
template <typename Unit>
std::string SpokenLetters(std::basic_string_view<Unit> word) {
  std::string letters;
  letters.reserve(word.size());
  for (const Unit unit : word) {
    const auto u = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Unit>>(unit));
    char c = 0;
    if (support::IsAsciiLetter(u)) c = static_cast<char>(support::AsciiLower(u));
    if (u == 0xE9 || u == 0xC9) c = 'e';
    if (c != 0) letters.push_back(c);
  }

  std::string spoken;
  spoken.reserve(letters.size());
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const char next = i + 1 < letters.size() ? letters[i + 1] : 0;
    const bool sounds_twice = letters[i] == 'c' && (next == 'e' || next == 'i' || next == 'y');
    if (!spoken.empty() && spoken.back() == letters[i] && !sounds_twice) continue;
    spoken.push_back(letters[i]);
  }

  static constexpr std::array<std::string_view, 7> kSilentFirst = {"kn", "gn", "pn", "ps",
                                                                   "pt", "mn", "wr"};
  for (const std::string_view group : kSilentFirst) {
    if (spoken.starts_with(group)) {
      spoken.erase(0, 1);
      break;
    }
  }
  if (spoken.starts_with("x")) spoken[0] = 's';
  if (spoken.starts_with("wh")) spoken.erase(1, 1);
  return spoken;
}

// Endings after "gn" that leave the g silent: sign, signs, signed, designer, assignment.
bool IsSilentGnEnding(std::string_view rest) {
  static constexpr std::array<std::string_view, 9> kEndings = {"",    "s",    "ed",   "er",   "ers",
                                                               "ing", "ings", "ment", "ments"};
  for (const std::string_view ending : kEndings) {
    if (rest == ending) return true;
  }
  return false;
}

std::string KeyOfSpokenLetters(std::string_view s) {
  const auto at = [s](std::size_t i) -> char { return i < s.size() ? s[i] : 0; };
  // y sounds as a vowel unless a vowel follows it.
  const auto vowel_at = [&](std::size_t i) {
    return IsVowelLetter(at(i)) || (at(i) == 'y' && !IsVowelLetter(at(i + 1)));
  };
  const auto front_vowel_at = [&](std::size_t i) {
    return at(i) == 'e' || at(i) == 'i' || at(i) == 'y';
  };

  std::string key;
  key.reserve(s.size() + 2);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char next = at(i + 1);
    const char after_next = at(i + 2);
    switch (s[i]) {
      case 'a':
      case 'e':
      case 'i':
      case 'o':
      case 'u':
        if (i == 0) key += 'A';
        break;
      case 'y':
        if (IsVowelLetter(next)) {
          key += 'Y';
        } else if (i == 0) {
          key += 'A';
        }
        break;
      case 'b':
        if (!(i + 1 == s.size() && i > 0 && s[i - 1] == 'm')) key += 'B';
        break;
      case 'c':
        if (next == 'h') {
          key += (after_next == 'r' || after_next == 'l') ? 'K' : 'X';
          ++i;
        } else if (next == 'i' && (after_next == 'a' || after_next == 'o')) {
          key += 'X';
        } else if (next == 'k') {
          key += 'K';
          ++i;
        } else if (front_vowel_at(i + 1)) {
          if (i == 0 || s[i - 1] != 's') key += 'S';
        } else {
          key += 'K';
        }
        break;
      case 'd':
        if (!(next == 'g' && front_vowel_at(i + 2))) key += 'T';
        break;
      case 'f':
      case 'v':
        key += 'F';
        break;
      case 'g':
        if (next == 'h') {
          if (i == 0 || vowel_at(i + 2)) key += 'K';
          ++i;
        } else if (next == 'n' && IsSilentGnEnding(s.substr(i + 2))) {
        } else if (front_vowel_at(i + 1)) {
          key += 'J';
        } else {
          key += 'K';
        }
        break;
      case 'h':
        if (vowel_at(i + 1)) key += 'H';
        break;
      case 'j':
        key += 'J';
        break;
      case 'k':
      case 'q':
        key += 'K';
        break;
      case 'l':
        key += 'L';
        break;
      case 'm':
        key += 'M';
        break;
      case 'n':
        key += 'N';
        break;
      case 'p':
        if (next == 'h') {
          key += 'F';
          ++i;
        } else {
          key += 'P';
        }
        break;
      case 'r':
        key += 'R';
        if (next == 'h') ++i;
        break;
      case 's':
        if (next == 'h') {
          key += 'X';
          ++i;
        } else if (next == 'c' && after_next == 'h') {
          key += vowel_at(i + 3) ? "SK" : "X";
          i += 2;
        } else if (next == 'i' && (after_next == 'a' || after_next == 'o')) {
          key += 'X';
        } else {
          key += 'S';
        }
        break;
      case 't':
        if (next == 'i' && (after_next == 'a' || after_next == 'o')) {
          key += 'X';
        } else if (next == 'h') {
          key += '0';
          ++i;
        } else if (!(next == 'c' && after_next == 'h')) {
          key += 'T';
        }
        break;
      case 'w':
        if (next == 'h' && vowel_at(i + 2)) {
          key += 'W';
          ++i;
        } else if (vowel_at(i + 1)) {
          key += 'W';
        }
        break;
      case 'x':
        key += "KS";
        break;
      case 'z':
        key += 'S';
        break;
    }
  }
  return key;
}

}  // namespace

std::string SoundKey(std::string_view word) {
  return KeyOfSpokenLetters(SpokenLetters(word));
}

std::string SoundKey(std::u16string_view word) {
  return KeyOfSpokenLetters(SpokenLetters(word));
}

}  // namespace lexivane
