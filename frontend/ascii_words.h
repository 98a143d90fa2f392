// The words of a stretch of plain ASCII text, cut by hand: ICU's word boundaries restricted to
// ASCII, followed by the cut at punctuation that running_words.h describes. Letters, digits and
// `_` join; an apostrophe joins two letters or two digits; everything else separates. What is
// left are runs of [A-Za-z0-9_] and those apostrophes, and the runs that hold a letter are the
// words.
//
// One template for UTF-16 code units and for UTF-8 bytes, so that `check` (which counts in
// characters) and `list` (which works on the bytes) cut the same words. Header only, no state:
// any thread.
#pragma once

#include <cstddef>

namespace lexivane::frontend {

// Space, tab, line feed, vertical tab, form feed and carriage return. No word boundary rule
// joins across them, so running text can be cut at them and each stretch cut on its own.
template <typename Char>
constexpr bool IsAsciiBlank(Char c) {
  return c == Char{' '} || (c >= Char{'\t'} && c <= Char{'\r'});
}

namespace ascii_words_detail {

enum : unsigned char { kLetter = 1, kDigit = 2, kJoins = 4 };

// What each ASCII character is to the cut; one load instead of three range tests.
inline constexpr struct ClassTable {
  unsigned char of[128] = {};
  constexpr ClassTable() {
    for (int c = 'a'; c <= 'z'; ++c) of[c] = of[c - 'a' + 'A'] = kLetter | kJoins;
    for (int c = '0'; c <= '9'; ++c) of[c] = kDigit | kJoins;
    of[static_cast<int>('_')] = kJoins;
  }
} kClass;

}  // namespace ascii_words_detail

// Calls emit(begin, end) for each word of text[begin, end), in order. The stretch must hold no
// blank and nothing outside ASCII.
template <typename Char, typename Emit>
void CutAsciiStretch(const Char* text, std::size_t begin, std::size_t end, Emit&& emit) {
  using namespace ascii_words_detail;
  const auto of = [text](std::size_t i) {
    return kClass.of[static_cast<unsigned>(text[i]) & 0x7F];
  };
  for (std::size_t i = begin; i < end;) {
    if (!(of(i) & kJoins)) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    unsigned char seen = 0;
    for (;;) {
      for (unsigned char c; i < end && ((c = of(i)) & kJoins); ++i) seen |= c;
      // Both letters or both digits: the two kinds never share a bit.
      if (i + 1 < end && text[i] == Char{'\''} && (of(i - 1) & of(i + 1) & (kLetter | kDigit))) {
        ++i;
        continue;
      }
      break;
    }
    if (seen & kLetter) emit(start, i);
  }
}

}  // namespace lexivane::frontend
