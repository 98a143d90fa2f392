#include "lexivane/typing_suggestions.h"

#include "api/thread_state.h"
#include "suggest/typing/typing_ranking.h"

namespace lexivane {

// The engine stands for its thread's dictionaries: the custom dictionary is the thread's, the
// main list the embedded one that every thread's tables point at.
std::vector<std::u16string> TypingSuggestions(const SpellCheck& /*engine*/,
                                              std::u16string_view word, std::size_t most,
                                              bool check_custom) {
  const CustomDictionary* custom = check_custom ? &ThisThread().dictionaries.custom : nullptr;
  return RankByTyping(TypingDictionaries::OfEmbeddedList(custom), word, most);
}

std::optional<TypingCorrection> LikeliestCorrection(const SpellCheck& /*engine*/,
                                                    std::u16string_view word, bool check_custom) {
  const CustomDictionary* custom = check_custom ? &ThisThread().dictionaries.custom : nullptr;
  std::vector<float> costs;
  std::vector<std::u16string> first =
      RankByTyping(TypingDictionaries::OfEmbeddedList(custom), word, 1, &costs);
  if (first.empty()) return std::nullopt;
  return TypingCorrection{std::move(first.front()), costs.front()};
}

}  // namespace lexivane
