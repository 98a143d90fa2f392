// FindAnyOf: where the next of a few given code units stands in UTF-16 text. The filters spend
// most of their time looking for the few characters that may start something (a comment, a
// quote, an address); where the processor can compare eight units at once, this does.
#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lexivane::frontend {

// The units from `first` to `last`, both included and both below U+8000 ('0' to '9').
struct UnitRange {
  char16_t first;
  char16_t last;
};

namespace find_units {

inline bool Matches(char16_t c, char16_t unit) {
  return c == unit;
}
inline bool Matches(char16_t c, UnitRange range) {
  return c >= range.first && c <= range.last;
}

#if defined(__SSE2__)
// The lanes of `block` that hold the unit or a unit of the range, all ones; the others zero.
inline __m128i Lanes(__m128i block, char16_t unit) {
  return _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(unit)));
}
inline __m128i Lanes(__m128i block, UnitRange range) {  // signed: U+8000 and up are below zero
  return _mm_and_si128(_mm_cmpgt_epi16(block, _mm_set1_epi16(static_cast<short>(range.first - 1))),
                       _mm_cmplt_epi16(block, _mm_set1_epi16(static_cast<short>(range.last + 1))));
}
#endif

}  // namespace find_units

// The first position from `from` that holds one of `units` (each a char16_t or a UnitRange), or
// text.size() when none does (also when `from` is past the end).
template <typename... Units>
std::size_t FindAnyOf(std::u16string_view text, std::size_t from, Units... units) {
  std::size_t i = from;
#if defined(__SSE2__)
  for (; i + 8 <= text.size(); i += 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, find_units::Lanes(block, units))), ...);
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask)) / 2;
  }
#endif
  for (; i < text.size(); ++i) {
    if ((find_units::Matches(text[i], units) || ...)) return i;
  }
  return text.size();
}

}  // namespace lexivane::frontend
