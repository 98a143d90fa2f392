#include "lexivane/typing_suggestions.h"

#include <algorithm>

#include "api/thread_state.h"
#include "suggest/typing/offered_words.h"
#include "suggest/typing/typing_ranking.h"
#include "suggest/word_level.h"

namespace lexivane {
namespace {

// The scale of word levels ends where a byte does.
std::uint8_t LevelOf(int level) {
  return static_cast<std::uint8_t>(std::clamp(level, 1, 255));
}

std::uint8_t FrequencyClassOf(int frequency_class) {
  return static_cast<std::uint8_t>(std::clamp<int>(frequency_class, 0, kHighestFrequencyClass));
}

}  // namespace

OfferedWords::OfferedWords(const std::vector<std::u16string>& words, int level, int frequency_class)
    : index_(std::make_unique<const OfferedWordIndex>(words, LevelOf(level),
                                                      FrequencyClassOf(frequency_class))) {}

OfferedWords::OfferedWords(std::string_view lines, int level, int frequency_class)
    : index_(std::make_unique<const OfferedWordIndex>(lines, LevelOf(level),
                                                      FrequencyClassOf(frequency_class))) {}

OfferedWords::~OfferedWords() = default;

std::size_t OfferedWords::size() const {
  return index_->size();
}

std::vector<std::u16string> TypingSuggestions(const SpellCheck& /*engine*/,
                                              std::u16string_view word, std::size_t most,
                                              bool check_custom,
                                              const std::vector<const OfferedWords*>& offered) {
  const CustomDictionary* custom = check_custom ? &ThisThread().dictionaries.custom : nullptr;
  std::vector<const OfferedWordIndex*> indexes;
  indexes.reserve(offered.size());
  for (const OfferedWords* words : offered) {
    if (words != nullptr) indexes.push_back(&words->index());
  }
  return RankByTyping(TypingDictionaries::OfEmbeddedList(custom, indexes), word, most);
}

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
