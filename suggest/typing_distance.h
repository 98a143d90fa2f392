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
// people rarely get wrong. The defaults are those fitted for the second suggestion ranking on
// the tuning set of misspellings (bench/README.md): a neighbouring key is likelier than another
// letter, and a spelling confusion is so likely that the fit would have made it cheaper than no
// slip at all, had costs below 0 been allowed.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace lexivane {

struct TypingCosts {
  float insert_or_delete = 1.0f;
  float doubled_letter = 0.2f;  // inserting or deleting a letter next to the same letter
  float vowel = 0.85f;          // inserting or deleting a vowel
  float substitute = 1.7f;
  float vowel_for_vowel = 0.6f;
  float neighbour_key = 1.35f;
  float swap = 0.3f;
  float first_letter = 1.6f;  // added to any edit at the first position
  float confusion = 0.0f;     // a spelling confusion (listed in typing_distance.cc) either way
};

// Letter groups English spelling confuses, each written for the other in either direction
// ("fone" for "phone", "nolige" for "knowledge", "jujment" for "judgment"), count as one slip
// each; a group has at most kLongestConfusion letters.
inline constexpr std::size_t kLongestConfusion = 3;

float TypingDistance(std::u16string_view typed, std::u16string_view word,
                     const TypingCosts& costs = {});

// Measures one typed text against many words, keeping what depends on the text alone and the
// table between measurements. Refers to the text and the costs; one thread at a time.
class TypingMeter {
 public:
  TypingMeter(std::u16string_view typed, const TypingCosts& costs);

  // The TypingDistance of `word` when it is at most `limit`; otherwise some value above
  // `limit`, found as soon as enough rows of the table lie wholly above it that every
  // alignment passes through one of them.
  float AtMost(std::u16string_view word, float limit);

 private:
  // A confusion whose typed side ends at `end`: `typed_length` letters there, for `word_side`.
  struct TypedConfusion {
    std::size_t end;
    std::size_t typed_length;
    std::string_view word_side;
  };

  std::u16string_view typed_;
  const TypingCosts& costs_;
  std::vector<float> typed_single_;  // each typed letter's cost of coming or going
  std::vector<TypedConfusion> confusions_;  // by `end`
  std::vector<float> table_, word_single_;
};

}  // namespace lexivane
