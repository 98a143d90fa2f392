// The letter case a misspelt word is written in, and a suggestion put in that case, so that
// "Teh" is offered "The" and "TEH" "THE" while the word list holds "the".
#pragma once

#include <string>
#include <string_view>

namespace lexivane {

enum class CaseStyle { Upper, Lower, Capitalised };

// Upper for a word equal to its own upper case (so also an empty word and one without letters);
// Lower for one equal to its lower case; Capitalised for an upper-case first character followed
// by lower case only. Any other mixture (tEH, McDonald) has no style worth copying: Lower.
CaseStyle CaseStyleOf(std::u16string_view word);

// Capitalised is proper case: the first character of every space-separated part upper-cased.
std::u16string InCaseStyle(std::u16string_view suggestion, CaseStyle style);

}  // namespace lexivane
