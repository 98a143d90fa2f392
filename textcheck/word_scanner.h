// The word scanner: cuts a text into the tokens that the text check examines, at single
// delimiter characters, skipping, dropping and normalising nothing.
//
// Positions are 1-based indexes of UTF-16 code units. A token runs from a start position up to
// the next delimiter and may be empty (where the start position holds a delimiter itself).
// Pure functions, any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace lexivane {

// True for the 23 delimiters: tab, CR, LF, space and " / ? . ; : , \ ( ) [ ] { } < > | ! -
bool IsWordDelimiter(char16_t c);

// The position of the first delimiter at or after `start`; the length of the text plus 1 when
// there is none; -1 when `start` lies before 1 or past the end of the text.
std::int32_t FindNextDelimiter(std::int32_t start, std::u16string_view text);

// Walks the tokens of `text` in order, calling visit(token, position) for each; the position
// is 1-based. After a token the walk skips exactly one delimiter, whatever follows it.
template <typename Visitor>
void ForEachToken(std::u16string_view text, Visitor&& visit) {
  std::int32_t start = 1;
  for (std::int32_t end; (end = FindNextDelimiter(start, text)) != -1;) {
    const std::u16string_view token = text.substr(start - 1, end - start);
    visit(token, start);
    start += static_cast<std::int32_t>(token.size()) + 1;
  }
}

}  // namespace lexivane
