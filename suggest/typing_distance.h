// TypingDistance: how far a misspelling is from a word, in the costs of the slips people make
// when they type or spell English, for ranking candidate corrections. Lower is closer; 0 for
// equal words.
//
// An optimal-string-alignment distance (Damerau: insertions, deletions, substitutions and swaps
// of adjacent letters, no substring edited twice) over lower-case UTF-16, each kind of slip with
// its own cost: a letter doubled or undoubled ("occured"), a vowel left out or added, a vowel for
// a vowel ("seperate"), a neighbouring key on a QWERTY keyboard for a key ("rhe"), any other
// letter for a letter, a swap of two adjacent letters ("recieve"), a group of letters for one
// that spelling confuses with it ("ph" for "f"), and more for any edit of the first letter, which
// people rarely get wrong. The defaults are fitted on the tuning set of
// misspellings (bench/README.md), which found a neighbouring key no likelier than any other.
#pragma once

#include <string_view>

namespace lexivane {

struct TypingCosts {
  float insert_or_delete = 1.0f;
  float doubled_letter = 0.3f;  // inserting or deleting a letter next to the same letter
  float vowel = 0.65f;          // inserting or deleting a vowel
  float substitute = 1.3f;
  float vowel_for_vowel = 0.6f;
  float neighbour_key = 1.3f;
  float swap = 0.25f;
  float first_letter = 1.3f;  // added to any edit at the first position
  float confusion = 0.9f;     // a spelling confusion (listed in typing_distance.cc) either way
};

// Letter groups English spelling confuses, each written for the other in either direction
// ("fone" for "phone", "nolige" for "knowledge", "jujment" for "judgment"), count as one slip
// each; a group has at most kLongestConfusion letters.
inline constexpr std::size_t kLongestConfusion = 3;

float TypingDistance(std::u16string_view typed, std::u16string_view word,
                     const TypingCosts& costs = {});

// The same when it is at most `limit`; otherwise some value above `limit`, found as soon as two
// rows of the table lie wholly above it (every alignment passes through one of them).
float TypingDistanceAtMost(std::u16string_view typed, std::u16string_view word,
                           const TypingCosts& costs, float limit);

}  // namespace lexivane
