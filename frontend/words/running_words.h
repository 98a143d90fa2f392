// The words of running text, as `check`, `list` and the ispell pipe cut them.
//
// A word is a segment of the Unicode word boundaries (ICU's word break iterator), cut again at
// every punctuation character inside it except the apostrophes U+0027 and U+2019 and connector
// punctuation such as `_`: so "don't" and "wouldn’t" stay whole, while "e-mail", "and/or",
// "end—next", "a.b" and "x:y" are two words each, and quotes and a leading `^` are never part
// of a word. Segments without a letter (numbers, emoji, punctuation, blanks) are skipped, and
// so are ordinals ("3rd", IsOrdinal in ascii_words.h). docs/words.md has the table of cases.
//
// Texts are read in stretches between ASCII blanks; stretches of plain ASCII are cut by hand
// (ICU's rules reduced to that alphabet, frontend/words/ascii_words.h), and so are those whose only
// other characters are separators (IsSeparatorOutsideAscii, and word joiners after them); the
// others go to ICU, which gives the same words while keeping the break iterator off the common
// path. ForEachRunningWordByIcu runs ICU over everything and is what the fast paths are held to
// in the tests.
//
// Each thread keeps its own break iterator; the functions may be called from any thread.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <bit>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "frontend/words/ascii_words.h"

namespace lexivane::frontend {

// The typographic apostrophe, which the engine is asked as U+0027 ("wouldn’t" is "wouldn't").
inline constexpr char16_t kTypographicApostrophe = u'\u2019';
// The characters that join the parts of a word, in UTF-8: what editors are told.
inline constexpr const char* kApostrophesUtf8 = "'\u2019";

// A word as CheckWord is to be asked it: each typographic apostrophe read as U+0027.
void ReadApostrophes(std::u16string& word);

// The word joiner, which a document mode's filter puts after a character it decoded from a
// longer sequence (document_modes.h): words run across it, and the word checked leaves it out.
inline constexpr char16_t kWordJoiner = u'\u2060';

// A word as it is judged: composed (Unicode's NFC), as most text is written, so that a word
// written with decomposed accents ("e" and U+0301, as macOS names files) is the word written
// with "é"; and without the marks that compose with nothing ("x" and U+0301 is "x"), which
// CheckWord would take for a character that ends the word. Only a word with a unit from
// U+0300 on can change.
void ComposeMarks(std::u16string& word);

struct RunningWord {
  std::size_t offset;  // in UTF-16 code units from the start of the text given
  std::size_t length;  // in UTF-16 code units, of the word as it stands in the text
  // What CheckWord is asked: U+2019 read as U+0027, no word joiner, marks composed
  // (ComposeMarks).
  std::u16string word;
};

// Calls `found` for every word of `text` in order. The RunningWord is reused between calls;
// copy what must outlive one. An exception thrown by `found` ends the walk and reaches the
// caller.
void ForEachRunningWord(std::u16string_view text,
                        const std::function<void(const RunningWord&)>& found);

// The same words, handed on two ways, for a caller's hot loop: found_ascii(begin, end) for a
// word of a stretch of plain ASCII, which is text[begin, end) both as written and as checked
// (no copy, no call through std::function), and found(word) for a word of any other stretch.
template <typename FoundAscii>
void ForEachRunningWord(std::u16string_view text, FoundAscii&& found_ascii,
                        const std::function<void(const RunningWord&)>& found);

// The same words, found by running ICU over the whole text (any length).
void ForEachRunningWordByIcu(std::u16string_view text,
                             const std::function<void(const RunningWord&)>& found);

namespace running_words_detail {

// ICU counts positions in 32 bits; one call never gets more than this many code units.
inline constexpr std::size_t kMaxIcuStretch = std::size_t{0x7FFFFFFF} / 2;

// Characters outside ASCII that the word boundaries break before and after, that hold no
// letter and that no rule joins across, like the ASCII cut points: the dashes, quotes, signs
// and the no-break space that documents and the filters' decoded entities are full of. A
// stretch of ASCII with these (and word joiners just after one of them or after an ASCII cut
// point, which ICU attaches to that character) is cut by hand too, these read as separators.
constexpr bool IsSeparatorOutsideAscii(char16_t c) {
  switch (c) {
    case u'\u00A0':  // no-break space
    case u'\u00A7':  // section sign
    case u'\u00A9':  // copyright sign
    case u'\u00AB':  // quotation marks «»
    case u'\u00BB':
    case u'\u00AE':  // registered sign
    case u'\u00B0':  // degree sign
    case u'\u00B1':  // plus-minus sign
    case u'\u00B6':  // pilcrow
    case u'\u00D7':  // multiplication and division signs
    case u'\u00F7':
    case u'\u2013':  // en and em dashes
    case u'\u2014':
    case u'\u201C':  // double quotation marks
    case u'\u201D':
    case u'\u2020':  // daggers and bullet
    case u'\u2021':
    case u'\u2022':
    case u'\u2026':  // ellipsis
      return true;
    default:
      return false;
  }
}

// The first i from `from` on where units[i] is neither a space nor a line feed, or `size`: the
// long runs of blanks that a mode's filter leaves where the code was are passed over eight units
// a step.
inline std::size_t SkipHiddenRun(const char16_t* units, std::size_t from, std::size_t size) {
  std::size_t i = from;
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi16(' '), line_feed = _mm_set1_epi16('\n');
  for (; i + 8 <= size; i += 8) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
    const auto blank = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi16(eight, space), _mm_cmpeq_epi16(eight, line_feed))));
    if (blank != 0xFFFF) return i + static_cast<std::size_t>(std::countr_one(blank)) / 2;
  }
#endif
  while (i < size && (units[i] == u' ' || units[i] == u'\n')) ++i;
  return i;
}

// The first i from `from` on, before `limit`, where units[i] is an ASCII blank or a unit
// outside ASCII, or `limit`: the plain ASCII of a stretch, read eight units a step.
inline std::size_t AsciiRunEnd(const char16_t* units, std::size_t from, std::size_t limit) {
  std::size_t i = from;
#if defined(__SSE2__)
  // Signed lanes: U+8000 and up are below zero, and outside ASCII as U+0080 and up are.
  const __m128i last_ascii = _mm_set1_epi16(0x7F), space = _mm_set1_epi16(' ');
  const __m128i before_tab = _mm_set1_epi16('\t' - 1), after_return = _mm_set1_epi16('\r' + 1);
  for (; i + 8 <= limit; i += 8) {
    const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
    const __m128i outside = _mm_or_si128(_mm_cmpgt_epi16(eight, last_ascii),
                                         _mm_cmplt_epi16(eight, _mm_setzero_si128()));
    const __m128i blank = _mm_or_si128(
        _mm_cmpeq_epi16(eight, space),
        _mm_and_si128(_mm_cmpgt_epi16(eight, before_tab), _mm_cmplt_epi16(eight, after_return)));
    const auto stop = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(outside, blank)));
    if (stop != 0) return i + static_cast<std::size_t>(std::countr_zero(stop)) / 2;
  }
#endif
  while (i < limit && units[i] < 0x80 && !IsAsciiBlank(units[i])) ++i;
  return i;
}

// The words of text[begin, end), a stretch without blanks that is not all ASCII, by ICU.
void ForEachWordOfStretch(std::u16string_view text, std::size_t begin, std::size_t end,
                          const std::function<void(const RunningWord&)>& found);

}  // namespace running_words_detail

template <typename FoundAscii>
void ForEachRunningWord(std::u16string_view text, FoundAscii&& found_ascii,
                        const std::function<void(const RunningWord&)>& found) {
  using running_words_detail::IsSeparatorOutsideAscii;
  using running_words_detail::kMaxIcuStretch;
  const char16_t* const units = text.data();
  const std::size_t size = text.size();
  std::u16string neutral;  // a stretch with its separators outside ASCII made '\x01'
  for (std::size_t i = 0; i < size;) {
    if (IsAsciiBlank(units[i])) {
      // One blank between words is the common case in prose; a longer run is most often code
      // that a filter hid.
      if (++i < size && IsAsciiBlank(units[i]))
        i = running_words_detail::SkipHiddenRun(units, i + 1, size);
      continue;
    }
    const std::size_t start = i;
    const std::size_t limit = size - start < kMaxIcuStretch ? size : start + kMaxIcuStretch;
    i = running_words_detail::AsciiRunEnd(units, i, limit);
    bool ascii = true, by_hand = true;
    for (; i < limit; ++i) {
      const char16_t c = units[i];
      if (c < 0x80) {
        if (IsAsciiBlank(c)) break;
      } else if (ascii || by_hand) {
        ascii = false;
        const bool separator = IsSeparatorOutsideAscii(c) ||
                               (c == kWordJoiner && i > start &&
                                (units[i - 1] == kWordJoiner || IsAsciiCutPoint(units[i - 1]) ||
                                 IsSeparatorOutsideAscii(units[i - 1])));
        by_hand = by_hand && separator;
      }
    }
    if (ascii) {
      CutAsciiStretch(units, start, i, found_ascii);
    } else if (by_hand) {
      // A joiner is let through only after a separator, so it never joins a word.
      neutral.assign(text.substr(start, i - start));
      for (char16_t& c : neutral) {
        if (c >= 0x80) c = u'\x01';
      }
      CutAsciiStretch(neutral.data(), 0, neutral.size(), [&](std::size_t begin, std::size_t end) {
        found_ascii(start + begin, start + end);
      });
    } else {
      running_words_detail::ForEachWordOfStretch(text, start, i, found);
    }
  }
}

}  // namespace lexivane::frontend
