// The text `lexivane fix` checks for a document read in a mode: its prose, with the rest
// blanked (FilterProse, as for every front end), and with every token of the run that holds a
// decoded sequence (`caf&eacute;`, `hy\-phen`) blanked whole too.
//
// CarefulHost takes the choices made on this text back to the document unit by unit, which is
// right only where the two agree: a token that reads other than it is written cannot be
// replaced in part, and a replacement of the whole would rewrite the reference as well, so
// such words are left for the person to correct by hand. Pure function; any thread.
#pragma once

#include <string>
#include <string_view>

#include "frontend/modes/document_modes.h"

namespace lexivane::frontend::fix {

// Of the same length as `document`; equal to it at every unit but blanks and a token's
// delimiters. kNone gives the document itself.
std::u16string DocumentProse(std::u16string_view document, DocumentMode mode);

}  // namespace lexivane::frontend::fix
