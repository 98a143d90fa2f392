#include "lsp/text_document.h"

#include <algorithm>

#include "frontend/io/text_positions.h"

namespace lexivane::frontend::lsp {

namespace {

// Appends, for each line break in text[begin, end), the offset just after it.
void AddLineStarts(std::u16string_view text, std::size_t begin, std::size_t end,
                   std::vector<std::size_t>& starts) {
  for (std::size_t i = begin; i < end; ++i) {
    if (EndsLine(text, i)) starts.push_back(i + 1);
  }
}

}  // namespace

TextDocument::TextDocument(std::u16string text) : text_(std::move(text)), line_starts_{0} {
  AddLineStarts(text_, 0, text_.size(), line_starts_);
}

std::size_t TextDocument::LineEnd(std::size_t line) const {
  if (line + 1 >= line_starts_.size()) return text_.size();
  std::size_t end = line_starts_[line + 1] - 1;  // at the LF or the lone CR
  if (text_[end] == u'\n' && end > line_starts_[line] && text_[end - 1] == u'\r') --end;
  return end;
}

std::size_t TextDocument::OffsetOf(TextPosition position) const {
  if (position.line >= line_starts_.size()) return text_.size();
  const std::size_t start = line_starts_[position.line];
  return start + std::min(position.character, LineEnd(position.line) - start);
}

TextPosition TextDocument::PositionOf(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  const std::size_t line = static_cast<std::size_t>(after - line_starts_.begin()) - 1;
  return {line, offset - line_starts_[line]};
}

void TextDocument::Replace(std::size_t start, std::size_t end, std::u16string_view replacement) {
  text_.replace(start, end - start, replacement);
  // A line break is an LF, or a CR that no LF follows, so only the breaks from the character
  // before the edit (a CR that may have gained or lost its LF) to the character after the new
  // text can differ. The breaks before stay; those after move by the change in length.
  const std::size_t new_end = start + replacement.size();
  std::vector<std::size_t> after(
      std::upper_bound(line_starts_.begin(), line_starts_.end(), end + 1), line_starts_.end());
  line_starts_.erase(
      std::upper_bound(line_starts_.begin(), line_starts_.end(), start == 0 ? 0 : start - 1),
      line_starts_.end());
  AddLineStarts(text_, start == 0 ? 0 : start - 1, std::min(text_.size(), new_end + 1),
                line_starts_);
  for (const std::size_t line_start : after) line_starts_.push_back(line_start - end + new_end);
}

}  // namespace lexivane::frontend::lsp
