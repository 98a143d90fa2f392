#include "lexivane/spell_check.h"

#include <algorithm>
#include <cmath>

#include "dialog/dialog_operations.h"
#include "engine/custom_dictionary.h"
#include "engine/thread_state.h"
#include "engine/word_check.h"
#include "lexivane/dialog.h"
#include "suggest/suggestion_search.h"
#include "textcheck/replace_word.h"
#include "textcheck/text_check_run.h"

namespace lexivane {

namespace {

std::u16string OrDefaultPath(std::u16string_view file) {
  return file.empty() ? DefaultCustomDictionaryPath() : std::u16string(file);
}

}  // namespace

std::u16string DefaultCustomDictionaryPath() {
  return DefaultCustomDictionaryFile();
}

SpellCheck::SpellCheck() : SimilarityThreshold(0.8f) {
  SuggestionsDialog::ForThisThread();
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

void SpellCheck::CheckText(std::u16string_view sText, bool ShowDialog) {
  RunTextCheck(sText, ShowDialog, sinks_);
}

std::u16string SpellCheck::ReplaceWord(std::u16string_view Text, std::u16string_view Find,
                                       std::u16string_view Replace) const {
  return lexivane::ReplaceWord(Text, Find, Replace);
}

std::optional<std::u16string> SpellCheck::ShowSuggestionDialog(std::u16string_view sWord,
                                                               bool* bChangeAll, bool* bIgnoreAll) {
  return DialogOperations::ShowSuggestionDialog(sWord, bChangeAll, bIgnoreAll);
}

void SpellCheck::DisableButtons(std::int32_t Buttons, std::int32_t Mode) {
  DialogOperations::DisableButtons(Buttons, Mode);
}

void SpellCheck::Advise(SpellCheckEvents* sink) {
  if (sink != nullptr) sinks_.push_back(sink);
}

void SpellCheck::Unadvise(SpellCheckEvents* sink) {
  if (const auto found = std::find(sinks_.begin(), sinks_.end(), sink); found != sinks_.end()) {
    sinks_.erase(found);
  }
}

}  // namespace lexivane
