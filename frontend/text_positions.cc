#include "frontend/text_positions.h"

namespace lexivane::frontend {

namespace {

bool IsLowSurrogateAfterHigh(std::u16string_view text, std::size_t i) {
  return text[i] >= 0xDC00 && text[i] <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 &&
         text[i - 1] <= 0xDBFF;
}

}  // namespace

std::size_t LineEnd(std::u16string_view text, std::size_t offset) {
  const std::size_t end = text.find_first_of(u"\r\n", offset);
  return end == std::u16string_view::npos ? text.size() : end;
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
