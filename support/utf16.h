// The surrogates of UTF-16: which units are the lead and the trail of a pair, the code point a
// pair stands for, and a code point appended as one unit or as a pair. Nothing here checks that
// a pair is whole or a code point valid: callers decide what a lone surrogate becomes. Every
// function takes any unsigned number (a unit, a JSON escape, a UTF-32 value) and is constexpr.
#pragma once

#include <cstdint>
#include <string>

namespace lexivane::support {

constexpr bool IsLeadSurrogate(std::uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsTrailSurrogate(std::uint32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}
constexpr bool IsSurrogate(std::uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

// The code point of a lead and a trail surrogate.
constexpr char32_t CodePointOfPair(std::uint32_t lead, std::uint32_t trail) {
  return 0x10000 + ((lead - 0xD800) << 10) + (trail - 0xDC00);
}

// `code` (at most U+10FFFF) in UTF-16: one unit below U+10000, a pair from there on.
inline void AppendUtf16(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
  } else {
    out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
}

}  // namespace lexivane::support
