// The word check: whether a word is accepted as correctly spelt, and the cleaning rule that
// strips punctuation around a word before it is looked up again or given suggestions.
//
// A word is accepted outright when it is shorter than two characters or reads as a number;
// otherwise when its lower-case form is in the main list, or its cleaned form is short,
// numeric or in the main list, or finally when the custom dictionary holds it. Pure queries
// over one thread's state; they never throw on odd input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "support/ascii.h"

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

// A text's characters counted by the part they play in the word check, so that a text can be
// proven unacceptable without being lower-cased, cleaned or looked up. Counting a character at
// a time lets one pass tally every prefix of a word, and a suffix is the whole less a prefix.
struct WordCheckTally {
  std::size_t length = 0;
  std::size_t outside_plain = 0;          // outside '@' to '{': such a text may be cleaned
  std::size_t outside_letters_marks = 0;  // not an ASCII letter, blank, apostrophe or hyphen
  std::size_t letters_and_blanks = 0;     // ASCII letters and blanks: cleaning keeps them all

  void Add(char16_t unit) {
    ++length;
    outside_plain += unit < 0x40 || unit > 0x7B;
    const bool letter = support::IsAsciiLetter(unit);
    letters_and_blanks += letter || unit == u' ';
    outside_letters_marks += !letter && unit != u' ' && unit != u'\'' && unit != u'-';
  }
  WordCheckTally operator-(const WordCheckTally& prefix) const {
    return {length - prefix.length, outside_plain - prefix.outside_plain,
            outside_letters_marks - prefix.outside_letters_marks,
            letters_and_blanks - prefix.letters_and_blanks};
  }
};

// True only when the word check rejects every text of two or more characters with this tally,
// whatever its characters' order, given the length of the longest main-list entry and that no
// custom entry the check may ask has the text's length. False says nothing.
bool IsNeverAccepted(const WordCheckTally& tally, std::size_t longest_main_word);

}  // namespace lexivane
