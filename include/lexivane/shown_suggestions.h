// The suggestions a front end offers for a misspelt word of running text, in one rule for the
// tool's ispell pipe, the Enchant provider and any host that wants what they give.
//
// ShownSuggestions asks the engine (GetSuggestions), puts every suggestion in the letter case
// of the word as the suggestions dialog does (all capitals for "TEH", capitalised for "Teh",
// the list's own lower case otherwise) and keeps the first `max_count`. Same threads as the
// engine.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/export.h"
#include "lexivane/spell_check.h"

namespace lexivane {

// How many suggestions the pipe and the provider offer at most.
inline constexpr std::size_t kShownSuggestionsMax = 15;

LEXIVANE_API std::vector<std::u16string> ShownSuggestions(const SpellCheck& engine,
                                                          std::u16string_view word,
                                                          std::size_t max_count,
                                                          bool check_custom = true);

}  // namespace lexivane
