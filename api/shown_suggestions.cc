#include "lexivane/shown_suggestions.h"

#include "suggest/case_style.h"

namespace lexivane {

std::vector<std::u16string> ShownSuggestions(const SpellCheck& engine, std::u16string_view word,
                                             std::size_t max_count, bool check_custom) {
  std::vector<std::u16string> found;
  engine.GetSuggestions(word, found, check_custom);
  const CaseStyle style = CaseStyleOf(word);
  if (found.size() > max_count) found.resize(max_count);
  for (std::u16string& suggestion : found) suggestion = InCaseStyle(suggestion, style);
  return found;
}

}  // namespace lexivane
