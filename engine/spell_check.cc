#include "lexivane/spell_check.h"

#include <cmath>

#include "engine/custom_dictionary.h"
#include "engine/thread_state.h"
#include "engine/word_check.h"
#include "suggest/suggestion_search.h"

namespace lexivane {

namespace {

std::u16string OrDefaultPath(std::u16string_view file) {
  return file.empty() ? DefaultCustomDictionaryPath() : std::u16string(file);
}

}  // namespace

SpellCheck::SpellCheck() : SimilarityThreshold(0.8f) {
  ThisThread();
}

void SpellCheck::Init(std::u16string_view, std::u16string_view, bool) {
  ThisThread().tables.Load();
}

bool SpellCheck::CheckWord(std::u16string_view sWord, bool bCheckCustom) const {
  ThreadState& state = ThisThread();
  return lexivane::CheckWord(state.tables, state.custom, sWord, bCheckCustom, state.scratch);
}

std::int32_t SpellCheck::GetSuggestions(std::u16string_view sWord,
                                        std::vector<std::u16string>& SuggOut,
                                        bool bCheckCustom) const {
  return SearchSuggestions(ThisThread(), sWord, SuggOut, bCheckCustom, SimilarityThreshold);
}

void SpellCheck::SetSuggestionSimilarity(float fPercentage) {
  if (std::isnan(fPercentage)) return;  // not a threshold; keep the one we have
  SimilarityThreshold = fPercentage > 1.0f ? 1.0f : fPercentage < 0.0f ? 0.0f : fPercentage;
}

void SpellCheck::AddToCustom(std::u16string_view sWord) {
  ThisThread().custom.Add(sWord);
}

void SpellCheck::SaveCustom(std::u16string_view sFile) {
  ThisThread().custom.Save(OrDefaultPath(sFile));
}

bool SpellCheck::LoadCustom(std::u16string_view sFile) {
  try {
    ThisThread().custom.Load(OrDefaultPath(sFile));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace lexivane
