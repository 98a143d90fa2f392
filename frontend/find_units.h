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

// The first position from `from` that holds one of `units` (char16_t), or text.size() when none
// does (also when `from` is past the end).
template <typename... Units>
std::size_t FindAnyOf(std::u16string_view text, std::size_t from, Units... units) {
  std::size_t i = from;
#if defined(__SSE2__)
  for (; i + 8 <= text.size(); i += 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(units))))),
     ...);
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask)) / 2;
  }
#endif
  for (; i < text.size(); ++i) {
    if (((text[i] == units) || ...)) return i;
  }
  return text.size();
}

}  // namespace lexivane::frontend
