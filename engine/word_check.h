// The word check: whether a word is accepted as correctly spelt, and the cleaning rule that
// strips punctuation around a word before it is looked up again or given suggestions.
//
// A word is accepted outright when it is shorter than two characters or reads as a number;
// otherwise when its lower-case form is in the main list, or its cleaned form is short,
// numeric or in the main list, or finally when the custom dictionary holds it. Pure queries
// over one thread's state; they never throw on odd input.
#pragma once

#include <string>
#include <string_view>

namespace lexivane {

struct Dictionaries;

// Buffers the word check reuses, so that checking an ordinary word allocates nothing. One per
// thread (see Dictionaries).
struct WordCheckScratch {
  std::u16string lowered;
  std::string single_byte;
};

// True when every byte of `bytes` lies in 0x40 to 0x7B (the at sign, the ASCII letters, the
// characters from "[" to the grave accent, and "{"), or when `bytes` is empty.
bool IsPlainWord(std::string_view bytes);

// Strips what surrounds a word: a plain word is returned unchanged; otherwise letters, blanks,
// digits and inner apostrophes and hyphens are kept from the first letter on, the scan stops
// at the first other character after a letter, a result of fewer than two counted letters is
// empty, and one trailing hyphen, apostrophe or "'s" is dropped.
std::u16string CleanWord(std::u16string_view word);

// The word check itself: true when `word` is accepted, the custom dictionary consulted only when
// `check_custom` is true.
bool IsAcceptedWord(Dictionaries& dictionaries, std::u16string_view word, bool check_custom);

}  // namespace lexivane
