// The phonetic key of a word: a variant of American Soundex in which H, W and every character
// that is not an ASCII letter separate coded letters the way vowels do.
//
// The key is "" for a word without an ASCII letter, otherwise one upper-case letter and three
// digits ("teh" and "the" give "T000", "dishcloth" gives "D224"). Pure functions of their
// argument, callable from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lexivane {

// `word` is the single-byte form of the word (see platform/text.h).
std::string Soundex(std::string_view word);

// The same key packed into 16 bits, as the word tables store it: 0 for "", otherwise
// (letter - 'A' + 1) << 9 | digit1 << 6 | digit2 << 3 | digit3, each digit 0 to 6.
using PackedKey = std::uint16_t;
PackedKey PackedSoundex(std::string_view word);
std::string UnpackSoundex(PackedKey key);

}  // namespace lexivane
