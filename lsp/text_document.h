// The text of a document open in the language server, addressed as the protocol addresses it:
// by line and character, where characters are UTF-16 code units (the only encoding the server
// speaks, so the text is kept in UTF-16 and a position maps straight to an offset).
//
// Lines end at LF, CR LF or a lone CR. A position past the end of its line means the line's end
// (before its line break), and one past the last line the end of the text, as the protocol
// asks; a position inside a CR LF or a surrogate pair is taken as it is. The table of line starts
// is kept up to date by each edit instead of being rebuilt, so that typing into a document of
// several megabytes costs a move of the text after the edit and not a scan of all of it.
//
// Not thread-safe: the server guards it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::frontend::lsp {

struct TextPosition {
  std::size_t line = 0;
  std::size_t character = 0;
  friend auto operator<=>(const TextPosition&, const TextPosition&) = default;
};

class TextDocument {
 public:
  TextDocument() : TextDocument(std::u16string()) {}
  explicit TextDocument(std::u16string text);

  const std::u16string& text() const { return text_; }
  std::size_t line_count() const { return line_starts_.size(); }

  std::size_t OffsetOf(TextPosition position) const;
  TextPosition PositionOf(std::size_t offset) const;

  // Replaces the text between two offsets (start <= end <= size).
  void Replace(std::size_t start, std::size_t end, std::u16string_view replacement);

 private:
  // The offset just past the line's content: where its line break begins.
  std::size_t LineEnd(std::size_t line) const;

  std::u16string text_;
  std::vector<std::size_t> line_starts_;  // the first is 0; one per line
};

}  // namespace lexivane::frontend::lsp
