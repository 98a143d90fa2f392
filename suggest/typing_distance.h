// TypingDistance: how far a misspelling is from a word, in the costs of the slips people make
// when they type or spell English, for ranking candidate corrections. Lower is closer; 0 for
// equal words.
//
// An optimal-string-alignment distance (Damerau: insertions, deletions, substitutions and swaps
// of adjacent letters, no substring edited twice) over lower-case UTF-16, with cheaper edits for
// the likelier slips:
//   - a letter doubled or undoubled (lable / label's "l", "occured"),
//   - a vowel for a vowel (seperate), a neighbouring key for a key (QWERTY: "teh" / "rhe"),
//   - a swap of two adjacent letters (recieve),
// and every edit of the first letter dearer (people rarely get it wrong). The weights are the
// ranking's own, in TypingCosts, so that a tuner can vary them.
#pragma once

#include <string_view>

namespace lexivane {

struct TypingCosts {
  float insert_or_delete = 1.0f;
  float doubled_letter = 0.45f;  // inserting or deleting a letter next to the same letter
  float vowel = 0.75f;           // inserting or deleting a vowel
  float substitute = 1.0f;
  float vowel_for_vowel = 0.6f;
  float neighbour_key = 0.7f;
  float swap = 0.6f;
  float first_letter = 0.6f;  // added to any edit at the first position
};

float TypingDistance(std::u16string_view typed, std::u16string_view word,
                     const TypingCosts& costs = {});

}  // namespace lexivane
