#include "lsp/code_action_words.h"

namespace lexivane::frontend::lsp {

namespace {

// Where a piece starts in its document, and positions mapped between the two. The range a code
// action asks about lies inside the piece, so no position mapped into it comes before its start.
class PiecePlace {
 public:
  explicit PiecePlace(TextPosition start) : start_(start) {}

  TextPosition InPiece(TextPosition position) const {
    return position.line == start_.line
               ? TextPosition{0, position.character - start_.character}
               : TextPosition{position.line - start_.line, position.character};
  }
  TextPosition InDocument(TextPosition position) const {
    return position.line == 0 ? TextPosition{start_.line, start_.character + position.character}
                              : TextPosition{start_.line + position.line, position.character};
  }

 private:
  TextPosition start_;
};

}  // namespace

std::vector<PlacedMisspelling> MisspellingsTouchingRange(const Workspace::TextPiece& piece,
                                                         TextPosition start, TextPosition end,
                                                         const std::vector<Misspelling>& found) {
  const PiecePlace place(piece.start);
  const TextDocument around(piece.text);
  const std::size_t from = around.OffsetOf(place.InPiece(start));
  const std::size_t to = around.OffsetOf(place.InPiece(end));
  std::vector<PlacedMisspelling> touching;
  for (const Misspelling& misspelling : found) {
    const std::size_t found_end = misspelling.offset + misspelling.length;
    const bool maybe_part = (piece.cut_before && misspelling.offset == 0) ||
                            (piece.cut_after && found_end == piece.text.size());
    if (!maybe_part && misspelling.offset <= to && found_end >= from) {
      touching.push_back({place.InDocument(around.PositionOf(misspelling.offset)),
                          place.InDocument(around.PositionOf(found_end)), &misspelling});
    }
  }
  return touching;
}

}  // namespace lexivane::frontend::lsp
