// A text file built into the program as it stands: LEXIVANE_EMBED_TEXT(name, "path") puts the
// file's bytes into read-only data (through the assembler's .incbin; the front ends are built for
// ELF systems only) between the hidden symbols name_begin and name_end, and declares them.
// LEXIVANE_EMBEDDED_TEXT(name) is the text as a string_view. Use it at namespace scope, once per
// name. FirstLineNotBefore searches such a text of sorted lines in place.
#pragma once

#include <cstddef>
#include <string_view>

// clang-format off
#define LEXIVANE_EMBED_TEXT(name, path)                                                \
  asm(".pushsection .rodata\n"                                                         \
      ".global " #name "_begin\n.hidden " #name "_begin\n" #name "_begin:\n"           \
      ".incbin \"" path "\"\n"                                                         \
      ".global " #name "_end\n.hidden " #name "_end\n" #name "_end:\n"                 \
      ".popsection\n");                                                                \
  extern "C" const char name##_begin[];                                                \
  extern "C" const char name##_end[]
// clang-format on

#define LEXIVANE_EMBEDDED_TEXT(name) \
  std::string_view(name##_begin, static_cast<std::size_t>(name##_end - name##_begin))

namespace lexivane::frontend {

// In `text`, lines each ending in '\n' and sorted so that `before(line)` holds for a first run of
// them and for no line after: the start of the first line for which it does not hold, or the
// text's size. A binary search over line starts, without an index: each step tries the first
// line that starts at or after the middle (sought forward, which the library does many bytes a
// step), or the first line left when none does.
template <typename Before>
std::size_t FirstLineNotBefore(std::string_view text, Before before) {
  std::size_t low = 0, high = text.size();  // always starts of lines, or the end
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    std::size_t start = middle == low ? low : text.find('\n', middle - 1) + 1;
    if (start >= high) start = low;
    const std::size_t end = text.find('\n', start);
    if (before(text.substr(start, end - start))) {
      low = end + 1;
    } else {
      high = start;
    }
  }
  return low;
}

}  // namespace lexivane::frontend
