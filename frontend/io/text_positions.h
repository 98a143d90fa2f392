// Lines and columns of UTF-16 text, counted one way for every front end: `check` reports lines
// and columns in characters, the pipe offsets in characters, the language server lines and
// UTF-16 columns, `fix` the line a word stands in.
//
// A line ends at LF, at CR LF or at a lone CR. Columns count UTF-16 code units or characters
// (code points: a surrogate pair is one, an unpaired surrogate one too). Lines and columns
// count from 0; a front end that shows them from 1 adds 1. Pure functions and a small counter
// object for one text; any thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace lexivane::frontend {

// True when text[i] is the last unit of a line break (an LF, or a CR that no LF follows), so
// that the next line starts at i + 1.
constexpr bool EndsLine(std::u16string_view text, std::size_t i) {
  return text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'));
}

// Where the line that holds `offset` ends: the offset of its line break, or the text's end.
std::size_t LineEnd(std::u16string_view text, std::size_t offset);

enum class Columns { kUtf16Units, kCharacters };

struct LinePosition {
  std::size_t line = 0;
  std::size_t column = 0;
  std::size_t characters = 0;  // from the start of the text, line breaks included
  friend bool operator==(const LinePosition&, const LinePosition&) = default;
};

// Turns offsets of one text, asked in increasing order, into lines and columns, in time linear
// in the text for all of them together. The text must outlive the counter.
class PositionCounter {
 public:
  PositionCounter(std::u16string_view text, Columns columns) : text_(text), columns_(columns) {}

  LinePosition At(std::size_t offset);

 private:
  std::u16string_view text_;
  Columns columns_;
  std::size_t offset_ = 0;
  LinePosition position_;
};

}  // namespace lexivane::frontend
