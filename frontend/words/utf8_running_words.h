// The running words of UTF-8 text, found in the bytes: the same words as ForEachRunningWord
// finds in the text decoded to UTF-16 (running_words.h), without decoding what is plain ASCII.
//
// The text is cut at ASCII blanks as the UTF-16 walk cuts it. A stretch of ASCII bytes is cut
// in place by the rules of CutAsciiStretch (ascii_words.h), and its words are slices of the
// text. A stretch holding any
// other byte is decoded to UTF-16 with FromUtf8, the blank before it included (combining marks
// after a blank belong to it), and cut by ForEachRunningWord; its words come back encoded
// again. Decoding a stretch on its own gives what decoding the whole text gives, since a blank
// is never inside a multi-byte sequence nor a maximal invalid part of one: so a broken byte
// reads as U+FFFD, as everywhere in the tool.
//
// Meant for the hot loop of `list`: the callbacks are template parameters, the bytes are read
// once, and an ASCII word costs no allocation. Any thread (the ICU part keeps a break iterator per
// thread).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "frontend/words/ascii_words.h"

namespace lexivane::frontend {

// found(as_written, word) for each word: the word as it stands in the text and what CheckWord
// is to be asked (U+2019 read as U+0027), both UTF-8, valid during the call only.
using Utf8WordFound = std::function<void(std::string_view as_written, std::string_view word)>;

// The words of a stretch with bytes outside ASCII and no blank; `blank_before` is the blank
// just before it in the text, or '\0' at the start of the text.
void ForEachWordOfNonAsciiStretch(std::string_view stretch, char blank_before,
                                  const Utf8WordFound& found);

namespace utf8_words_detail {

enum : unsigned char { kBlank = 8, kHigh = 16 };  // beside the bits of ascii_words_detail

// Every byte's class in one table, so that one pass finds the words, the blanks and the bytes
// outside ASCII.
inline constexpr struct ByteClassTable {
  unsigned char of[256] = {};
  constexpr ByteClassTable() {
    for (int c = 0; c < 128; ++c) {
      of[c] = ascii_words_detail::kClass.of[c] | (IsAsciiBlank(c) ? kBlank : 0);
    }
    for (int c = 128; c < 256; ++c) of[c] = kHigh;
  }
} kByteClass;

// Words of one stretch held back at most; a stretch with more is looked through to its end.
inline constexpr std::size_t kMaxWaiting = 64;

#if defined(__SSE2__)
// The classes of the 16 bytes at `p`, bit k of each mask for byte k.
struct ClassMasks {
  unsigned letters, digits, underscores, blanks, high;
  unsigned joining() const { return letters | digits | underscores; }
};

inline ClassMasks ClassesOf16(const unsigned char* p) {
  const auto in_range = [](__m128i v, unsigned char low, unsigned char count) {
    // low <= v < low + count, unsigned: shifted so that the range starts at the least int8.
    const __m128i shifted = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0x80 - low)));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(0x80 + count)))));
  };
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const auto equal = [v](char c) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
  };
  // Setting the 0x20 bit lowers an ASCII letter, and makes no other byte one.
  return {in_range(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 26), in_range(v, '0', 10), equal('_'),
          equal(' ') | in_range(v, '\t', 5), static_cast<unsigned>(_mm_movemask_epi8(v))};
}
#endif

// Moves `i` past the bytes that join a word (kJoins) from `i` on, adding their classes to
// `seen`; 16 bytes at a time where SSE2 is there, so that a word's end costs no mispredicted
// branch. The same answer as the loop over kByteClass at the end.
inline void SkipJoining(const unsigned char* bytes, std::size_t size, std::size_t& i,
                        unsigned char& seen) {
  using namespace ascii_words_detail;
#if defined(__SSE2__)
  for (; i + 16 <= size; i += 16) {
    const ClassMasks classes = ClassesOf16(bytes + i);
    // How many bytes from i join: the complement has bit 16 set, so at most 16.
    const auto joined = static_cast<unsigned>(std::countr_zero(~classes.joining()));
    if (joined == 0) return;
    const unsigned run = (1u << joined) - 1;
    seen |= kJoins | ((classes.letters & run) != 0 ? kLetter : 0) |
            ((classes.digits & run) != 0 ? kDigit : 0);
    if (joined < 16) {
      i += joined;
      return;
    }
  }
#endif
  for (unsigned char d; i < size && ((d = kByteClass.of[bytes[i]]) & kJoins); ++i) seen |= d;
}

// Moves `i` past the bytes that neither join a word nor lie outside ASCII, and sets
// `last_blank` to the place of the last blank among them, if there is one; like SkipJoining.
inline void SkipSeparators(const unsigned char* bytes, std::size_t size, std::size_t& i,
                           std::size_t& last_blank) {
#if defined(__SSE2__)
  for (; i + 16 <= size; i += 16) {
    const ClassMasks classes = ClassesOf16(bytes + i);
    const auto passed =
        static_cast<unsigned>(std::countr_zero(classes.joining() | classes.high | (1u << 16)));
    if (const unsigned blanks = classes.blanks & ((1u << passed) - 1); blanks != 0) {
      last_blank = i + static_cast<std::size_t>(std::bit_width(blanks)) - 1;
    }
    if (passed < 16) {
      i += passed;
      return;
    }
  }
#endif
  for (; i < size; ++i) {
    const unsigned char c = kByteClass.of[bytes[i]];
    if ((c & ascii_words_detail::kJoins) != 0 || (c & kHigh) != 0) return;
    if (c & kBlank) last_blank = i;
  }
}

}  // namespace utf8_words_detail

// Calls, for every word of `text` in order, found_ascii(word) for a word of a stretch of plain
// ASCII (a slice of `text`, as written and as checked) and found(as_written, word) for a word
// of any other stretch. `blank_before` is the blank that came just before `text` when it is a
// piece of a longer text, or '\0' when it is the start. An exception thrown by a callback ends
// the walk and reaches the caller.
//
// One pass cuts the words as CutAsciiStretch does; they wait until the blank that ends their
// stretch shows that it is plain ASCII, and a byte outside ASCII drops them and hands the
// whole stretch to the UTF-16 walk instead. (The apostrophe may look one byte past the
// stretch: a blank or a byte outside ASCII there is neither letter nor digit, so it joins
// nothing, as at the end of the stretch.)
template <typename FoundAscii, typename Found>
void ForEachUtf8RunningWord(std::string_view text, char blank_before, FoundAscii&& found_ascii,
                            Found&& found) {
  using namespace ascii_words_detail;
  using namespace utf8_words_detail;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  const auto of = [bytes](std::size_t i) { return kByteClass.of[bytes[i]]; };
  std::size_t waiting[kMaxWaiting][2];  // begin and end of each word held back
  std::size_t waiting_count = 0;
  const auto emit = [&](std::size_t begin, std::size_t end) {
    found_ascii(text.substr(begin, end - begin));
  };
  const auto release = [&] {
    for (std::size_t w = 0; w < waiting_count; ++w) emit(waiting[w][0], waiting[w][1]);
    waiting_count = 0;
  };
  // The stretch from `stretch` up to the blank at or after `from` holds a byte outside ASCII:
  // its words come from the UTF-16 walk. Returns where the stretch ends.
  const auto non_ascii = [&](std::size_t stretch, std::size_t from) {
    while (from < size && !(of(from) & kBlank)) ++from;
    ForEachWordOfNonAsciiStretch(text.substr(stretch, from - stretch),
                                 stretch > 0 ? text[stretch - 1] : blank_before, std::ref(found));
    return from;
  };
  std::size_t stretch = 0;  // where the stretch being walked begins
  for (std::size_t i = 0; i < size;) {
    const unsigned char c = of(i);
    if (c & kJoins) {
      const std::size_t start = i;
      unsigned char seen = 0;
      for (;;) {
        SkipJoining(bytes, size, i, seen);
        if (i + 1 < size && bytes[i] == '\'' && (of(i - 1) & of(i + 1) & (kLetter | kDigit))) {
          ++i;
          continue;
        }
        break;
      }
      if (!(seen & kLetter) || ((seen & kDigit) && IsOrdinal(bytes + start, i - start))) continue;
      waiting[waiting_count][0] = start;
      waiting[waiting_count][1] = i;
      if (++waiting_count < kMaxWaiting) continue;
      std::size_t end = i;
      while (end < size && !(of(end) & (kBlank | kHigh))) ++end;
      if (end == size || (of(end) & kBlank)) {
        release();
        CutAsciiStretch(text.data(), i, end, emit);
        i = end;
      } else {
        waiting_count = 0;
        i = non_ascii(stretch, end);
      }
    } else if (c & kHigh) {
      waiting_count = 0;
      i = non_ascii(stretch, i);
    } else {
      // A blank ends the stretch: the words waiting are plain ASCII.
      std::size_t last_blank = SIZE_MAX;
      SkipSeparators(bytes, size, i, last_blank);
      if (last_blank != SIZE_MAX) {
        release();
        stretch = last_blank + 1;
      }
    }
  }
  release();
}

}  // namespace lexivane::frontend
