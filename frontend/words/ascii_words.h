// The words of a stretch of plain ASCII text, cut by hand: ICU's word boundaries restricted to
// ASCII, followed by the cut at punctuation that running_words.h describes. Letters, digits and
// `_` join; an apostrophe joins two letters or two digits; everything else separates. What is
// left are runs of [A-Za-z0-9_] and those apostrophes, and the runs that hold a letter are the
// words, but for ordinals written with digits (IsOrdinal), which are numbers.
//
// One template for UTF-16 code units and for UTF-8 bytes, so that `check` (which counts in
// characters) and `list` (which works on the bytes) cut the same words. Header only, no state:
// any thread.
#pragma once

#include <cstddef>
#include <type_traits>

namespace lexivane::frontend {

// Space, tab, line feed, vertical tab, form feed and carriage return. No word boundary rule
// joins across them, so running text can be cut at them and each stretch cut on its own.
template <typename Char>
constexpr bool IsAsciiBlank(Char c) {
  return c == Char{' '} || (c >= Char{'\t'} && c <= Char{'\r'});
}

// An ordinal written with digits and its English suffix, in any letter case: "1st", "22nd",
// "113th", "3RD". A wrong suffix ("1th", "12nd") makes no ordinal, so the word check judges it.
template <typename Char>
constexpr bool IsOrdinal(const Char* word, std::size_t length) {
  if (length < 3) return false;
  for (std::size_t i = 0; i + 2 < length; ++i) {
    if (word[i] < Char{'0'} || word[i] > Char{'9'}) return false;
  }
  const Char units = word[length - 3];
  const bool teen = length > 3 && word[length - 4] == Char{'1'};
  const char* suffix = teen                 ? "th"
                       : units == Char{'1'} ? "st"
                       : units == Char{'2'} ? "nd"
                       : units == Char{'3'} ? "rd"
                                            : "th";
  // Setting the 0x20 bit lowers an ASCII letter, and nothing else becomes one of these.
  return (word[length - 2] | 0x20) == suffix[0] && (word[length - 1] | 0x20) == suffix[1];
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

// The characters of IsAsciiCutPoint.
inline constexpr struct CutPointTable {
  bool at[128] = {};
  constexpr CutPointTable() {
    for (int c = 0; c < 32; ++c) at[c] = !IsAsciiBlank(c);
    at[127] = true;
    for (const char* mark = "!#$%&()*+-/<=>?[\\]^`{|}~"; *mark != '\0'; ++mark) at[+*mark] = true;
  }
} kCutPoint;

}  // namespace ascii_words_detail

// ASCII characters that the word boundaries always break before, that no rule joins across,
// and that are no part of a word: the controls other than the blanks, and ! # $ % & ( ) * + -
// / < = > ? [ \ ] ^ ` { | } ~ (not `@`, a letter to ICU's word boundaries). Text may be cut
// just before one and each side walked on its own with the same words found (the character
// goes with the side after it, since a combining mark that follows belongs to it).
template <typename Char>
constexpr bool IsAsciiCutPoint(Char c) {
  const auto code = static_cast<std::make_unsigned_t<Char>>(c);
  return code < 128 && ascii_words_detail::kCutPoint.at[code];
}

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
    if ((seen & kLetter) && !((seen & kDigit) && IsOrdinal(text + start, i - start))) {
      emit(start, i);
    }
  }
}

}  // namespace lexivane::frontend
