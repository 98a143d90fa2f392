#include "suggest/speller.h"

#include <cmath>

#include "engine/dictionaries.h"
#include "suggest/suggestion_search.h"

namespace lexivane {

float ClampedThreshold(float requested, float current) {
  if (std::isnan(requested)) return current;
  return requested > 1.0f ? 1.0f : requested < 0.0f ? 0.0f : requested;
}

bool Speller::CheckWord(std::u16string_view sWord, bool bCheckCustom) const {
  return IsAcceptedWord(dictionaries_, sWord, bCheckCustom);
}

std::int32_t Speller::GetSuggestions(std::u16string_view sWord,
                                     std::vector<std::u16string>& SuggOut,
                                     bool bCheckCustom) const {
  return SearchSuggestions(dictionaries_, sWord, SuggOut, bCheckCustom, SimilarityThreshold);
}

void Speller::AddToCustom(std::u16string_view sWord) const {
  dictionaries_.custom.Add(sWord);
}

}  // namespace lexivane
