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
// people rarely get wrong. On top of its kind's cost, a slip of one letter costs how unlikely that
// slip of that letter is, as learned from real misspellings (data/slip_costs.inc): "s" typed for
// "c" is likelier than "j" for "c", an "e" put in likelier than a "j". No cost goes below 0. The
// defaults are those fitted for the typing ranking on the tuning set of misspellings
// (bench/README.md): a neighbouring key is likelier than another letter, and a letter doubled or
// undoubled, a swap and a spelling confusion cost nothing of their own (the fit would have made
// them cheaper than no slip at all, had costs below 0 been allowed).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace lexivane {

struct TypingCosts {
  float insert_or_delete = 1.0f;
  float doubled_letter = 0.0f;  // inserting or deleting a letter next to the same letter
  float vowel = 0.75f;          // inserting or deleting a vowel
  float substitute = 1.3f;
  float vowel_for_vowel = 1.0f;
  float neighbour_key = 0.85f;
  float swap = 0.0f;
  float first_letter = 1.4f;  // added to any edit at the first position
  float confusion = 0.0f;     // a spelling confusion (listed in typing_distance.cc) either way
  // Times the learned cost, which is 0 for a slip of the usual likelihood, of a letter typed for
  // another, left out of the word, or put into it.
  float learned_typed_for = 0.6f;
  float learned_left_out = 1.425f;
  float learned_put_in = 1.375f;

  bool operator==(const TypingCosts&) const = default;
};

// The least the distance can grow by for each letter of difference in length, and for each
// letter one word holds more often than the other, under `costs`: bounds for whoever must rule
// words out unmeasured.
float LeastLetterCost(const TypingCosts& costs);
float LeastEditCost(const TypingCosts& costs);

// Letter groups English spelling confuses, each written for the other in either direction
// ("fone" for "phone", "nolige" for "knowledge", "jujment" for "judgment"), count as one slip
// each; a group has at most kLongestConfusion letters.
inline constexpr std::size_t kLongestConfusion = 3;

float TypingDistance(std::u16string_view typed, std::u16string_view word,
                     const TypingCosts& costs = {});

// The cost of every slip of one letter under some TypingCosts, worked out once for all the
// meters that measure under them.
struct SlipTable;

// Measures one typed text against many words, keeping what depends on the text alone and the
// table between measurements. Refers to the text; one thread at a time.
class TypingMeter {
 public:
  TypingMeter(std::u16string_view typed, const TypingCosts& costs);
  ~TypingMeter();

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
  std::shared_ptr<const SlipTable> slips_;
  std::vector<float> typed_single_;         // each typed letter's cost of coming or going
  std::vector<TypedConfusion> confusions_;  // by `end`
  std::vector<float> table_, word_single_;
  std::vector<std::uint8_t> word_slots_;  // where each letter of the word is in the slips' tables
};

}  // namespace lexivane
