// SpellCheck: the engine object, the one class a host creates.
//
// An engine object owns nothing but its suggestion threshold. The dictionaries it works on
// belong to the calling thread and are shared by every engine object created on it: Init on
// any of them loads the main word list for all, and a word added to the custom dictionary
// through one is seen by all at once. Two threads share nothing, so each thread calls Init
// for itself. An object must be used on the thread that created it; nothing is locked.
//
// Strings are UTF-16 because positions and lengths are counted in 16-bit code units. Queries
// never throw on odd input; the operations that can fail (Init, SaveCustom) throw
// lexivane::Error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/error.h"
#include "lexivane/export.h"

namespace lexivane {

class LEXIVANE_API SpellCheck {
 public:
  SpellCheck();

  // Loads the English word list embedded in the library into this thread's tables. The three
  // arguments are accepted for compatibility and have no effect. The custom dictionary is
  // neither read nor changed.
  void Init(std::u16string_view sName = {}, std::u16string_view sKey = {}, bool ForASP = false);

  // True when the word is accepted as correctly spelt: words shorter than two characters and
  // numbers always; otherwise the word or its form without surrounding punctuation must be in
  // the main list, or (when bCheckCustom is true) the word in the custom dictionary. Letter
  // case never matters.
  bool CheckWord(std::u16string_view sWord, bool bCheckCustom = true) const;

  // Ranked suggestions for a (misspelt) word: two-word splits and main-list words that score at
  // least SuggestionSimilarity(), highest score first, then, when bCheckCustom is true, similar
  // custom-dictionary words. Returns the number of ranked suggestions (custom ones not counted).
  // A word that cleans to fewer than two characters or to a number returns 0 and leaves
  // SuggOut untouched; otherwise SuggOut is replaced (empty when nothing was found).
  std::int32_t GetSuggestions(std::u16string_view sWord, std::vector<std::u16string>& SuggOut,
                              bool bCheckCustom = true) const;

  // The suggestion threshold, 0.8 for a new object. Values above 1 are stored as 1, values
  // below 0 as 0.
  float SuggestionSimilarity() const { return SimilarityThreshold; }
  void SetSuggestionSimilarity(float fPercentage);

  // Appends the word, unchanged, to this thread's custom dictionary in memory.
  void AddToCustom(std::u16string_view sWord);

  // Writes the custom dictionary to sFile, or to "lvscust.dic" beside the library when sFile is
  // empty, replacing the file's content. Throws lexivane::Error when the file cannot be written.
  void SaveCustom(std::u16string_view sFile = {});

  // Reads the custom dictionary from sFile (or the default file). Lines of two or more
  // characters replace the list when there is at least one; otherwise the list is kept.
  // Returns false, and keeps the list, when the file cannot be read.
  bool LoadCustom(std::u16string_view sFile = {});

 private:
  float SimilarityThreshold;
};

}  // namespace lexivane
