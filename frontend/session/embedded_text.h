// The search of a text of sorted lines in place, without an index: the word lists built into the
// front ends (support/embed.h) are such texts.
#pragma once

#include <cstddef>
#include <string_view>

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
