// Which characters may stand where in a word, answered by the word rule itself
// (running_words.h), for a client that cuts text into words on its own and asks a spell checker
// character by character, as Enchant does (its is_word_character).
//
// A character may stand at a place in a word when the rule, given it there beside letters
// ("ca" for the first place, "aca" inside, "ac" for the last), finds one word that holds it and
// the letters: letters, marks, digits and connectors such as `_` anywhere, an apostrophe only
// inside; dashes, slashes, periods and other punctuation, symbols and blanks nowhere. The
// answers for ASCII are worked out once per process, others once per thread as they are asked.
// Any thread.
#pragma once

#include <array>
#include <cstdint>

namespace lexivane::frontend {

enum class PlaceInWord { kFirst, kInside, kLast };

namespace word_characters_detail {
// Bit `place` of entry c: whether ASCII character c may stand there.
const std::array<std::uint8_t, 128>& AsciiAnswers();
bool MayStandInWordBeyondAscii(char32_t character, PlaceInWord place);
}  // namespace word_characters_detail

// False for a value that is no character (a surrogate, or above U+10FFFF). Inline for ASCII,
// which a client asks about character by character.
inline bool MayStandInWord(char32_t character, PlaceInWord place) {
  if (character < 128) {
    return word_characters_detail::AsciiAnswers()[character] & (1 << static_cast<int>(place));
  }
  return word_characters_detail::MayStandInWordBeyondAscii(character, place);
}

}  // namespace lexivane::frontend
