#include "frontend/io/text_positions.h"

#include <algorithm>

#include "support/utf16.h"

namespace lexivane::frontend {

namespace {

bool IsLowSurrogateAfterHigh(std::u16string_view text, std::size_t i) {
  return support::IsTrailSurrogate(text[i]) && i > 0 && support::IsLeadSurrogate(text[i - 1]);
}

}  // namespace

std::size_t LineEnd(std::u16string_view text, std::size_t offset) {
  // A plain loop: find_first_of tests each unit against the set through a call of its own.
  std::size_t end = std::min(offset, text.size());
  while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') ++end;
  return end;
}

LinePosition PositionCounter::At(std::size_t offset) {
  for (; offset_ < offset && offset_ < text_.size(); ++offset_) {
    const bool new_character = !IsLowSurrogateAfterHigh(text_, offset_);
    position_.characters += new_character;
    if (EndsLine(text_, offset_)) {
      ++position_.line;
      position_.column = 0;
    } else if (columns_ == Columns::kUtf16Units || new_character) {
      ++position_.column;
    }
  }
  return position_;
}

}  // namespace lexivane::frontend
