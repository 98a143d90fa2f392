#include "frontend/io/text_positions.h"

#include <algorithm>

namespace lexivane::frontend {

namespace {

bool IsLowSurrogateAfterHigh(std::u16string_view text, std::size_t i) {
  return text[i] >= 0xDC00 && text[i] <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 &&
         text[i - 1] <= 0xDBFF;
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
