// The letter case that the engine ignores, for hosts that keep words of their own beside its
// dictionaries (words ignored for a session, say) and must match them as the word check does.
//
// FoldCase maps each code point to its lower case on its own (the simple mapping, US English:
// no Turkish dotless i, so "İ" becomes "i" and never "i̇"), keeping the length in code units.
// Two words that FoldCase makes equal are the same word to CheckWord. Pure, any thread.
#pragma once

#include <string>
#include <string_view>

#include "lexivane/export.h"

namespace lexivane {

LEXIVANE_API std::u16string FoldCase(std::u16string_view word);

}  // namespace lexivane
