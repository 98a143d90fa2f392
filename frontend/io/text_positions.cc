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
  const std::size_t end = std::min(offset, text_.size());
  if (end <= offset_) return position_;
  // Most stretches hold no CR and no surrogate: then lines are their LFs and every unit is a
  // character, counted in a loop without branches, which compilers vectorise.
  const char16_t* const units = text_.data();
  std::size_t line_feeds = 0;
  unsigned special = 0;
  for (std::size_t i = offset_; i < end; ++i) {
    const char16_t c = units[i];
    line_feeds += c == u'\n';
    special |= static_cast<unsigned>(c == u'\r') | static_cast<unsigned>((c & 0xF800) == 0xD800);
  }
  if (special == 0) {
    position_.characters += end - offset_;
    position_.line += line_feeds;
    if (line_feeds == 0) {
      position_.column += end - offset_;
    } else {
      position_.column = end - 1 - text_.substr(0, end).rfind(u'\n');
    }
    offset_ = end;
    return position_;
  }
  for (; offset_ < end; ++offset_) {
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
