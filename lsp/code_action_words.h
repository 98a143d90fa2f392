// The misspellings a code action is about when its document was edited after its last check:
// those found on the spot in a piece of text around the requested range
// (Workspace::UncheckedPiece), placed back in the document.
//
// A position in the piece counts from the piece's first character: on the piece's first line
// the characters are shifted by where the piece starts, on later lines only the line is. A word
// that touches the range counts, as it does for the stored misspellings (a cursor at either end
// of a word). A word at an edge where the piece was cut short of a blank may be part of a
// longer word of the document, whose verdict may differ, so it is passed over. Pure functions,
// any thread.
#pragma once

#include <vector>

#include "lsp/text_document.h"
#include "lsp/workspace.h"

namespace lexivane::frontend::lsp {

// The misspellings of `found` (what a finder found in piece.text) that touch the document's
// range [start, end], in order, at their places in the document. They point into `found`.
std::vector<PlacedMisspelling> MisspellingsTouchingRange(const Workspace::TextPiece& piece,
                                                         TextPosition start, TextPosition end,
                                                         const std::vector<Misspelling>& found);

}  // namespace lexivane::frontend::lsp
