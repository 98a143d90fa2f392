// SpellCheck: the engine object, the one class a host creates.
//
// An engine object owns nothing but its suggestion threshold. The dictionaries it works on
// belong to the calling thread and are shared by every engine object created on it: Init on
// any of them loads the main word list for all, and a word added to the custom dictionary
// through one is seen by all at once. Two threads share nothing, so each thread calls Init
// for itself. An object must be used on the thread that created it; nothing is locked.
//
// Strings are UTF-16 because positions and lengths are counted in 16-bit code units (see
// lexivane/utf8.h to convert). Queries never throw on odd input; the operations that can fail
// (Init, SaveCustom, CheckText, ShowSuggestionDialog) throw lexivane::Error.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/dialog_buttons.h"
#include "lexivane/error.h"
#include "lexivane/events.h"
#include "lexivane/export.h"

namespace lexivane {

// The custom dictionary file that SaveCustom and LoadCustom use when they are given no file:
// "lvscust.dic" in the platform's folder for it (see docs/custom-dictionary.md).
LEXIVANE_API std::u16string DefaultCustomDictionaryPath();

class LEXIVANE_API SpellCheck {
 public:
  // Creating the first engine object of a thread creates the thread's dictionaries, empty, and
  // its suggestions dialog, hidden.
  SpellCheck();
  ~SpellCheck();
  SpellCheck(const SpellCheck&) = delete;
  SpellCheck& operator=(const SpellCheck&) = delete;

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
  float SuggestionSimilarity() const;
  void SetSuggestionSimilarity(float fPercentage);  // NaN is ignored

  // Appends the word, unchanged, to this thread's custom dictionary in memory.
  void AddToCustom(std::u16string_view sWord);

  // Writes the custom dictionary to sFile, or to DefaultCustomDictionaryPath() when sFile is
  // empty (creating its folder), replacing the file's content. Throws lexivane::Error when the
  // file cannot be written; the old file is then left as it was.
  void SaveCustom(std::u16string_view sFile = {});

  // Reads the custom dictionary from sFile (or the default file). Lines of two or more
  // characters replace the list when there is at least one; otherwise the list is kept.
  // Returns false, and keeps the list, when the file cannot be read.
  bool LoadCustom(std::u16string_view sFile = {});

  // Checks a whole text token by token and reports to the connected sinks: progress for every
  // token, each unknown word, each replacement the user chose, and the end or cancellation of
  // the run. With ShowDialog true, the suggestions dialog is shown for every unknown word
  // through the thread's dialog view. The text itself is never changed; the host applies
  // replacements to its own copy. Positions are 32-bit: a text longer than 2^31 - 1 code units
  // is refused with lexivane::Error (kErrorTextTooLong) before any event. See
  // docs/text-check.md.
  void CheckText(std::u16string_view sText, bool ShowDialog = true);

  // Every whole-word occurrence of Find in Text, in any letter case, replaced by Replace.
  std::u16string ReplaceWord(std::u16string_view Text, std::u16string_view Find,
                             std::u16string_view Replace) const;

  // Shows the thread's suggestions dialog for sWord and returns the user's answer: the
  // "Change to" text (Change, Change All, Add Word), sWord (Ignore, Ignore All), or nullopt
  // (Cancel). *bChangeAll and *bIgnoreAll, when given, are set for Change All and Ignore All.
  // Throws lexivane::Error when the thread has no dialog view (SetDialogView).
  std::optional<std::u16string> ShowSuggestionDialog(std::u16string_view sWord,
                                                     bool* bChangeAll = nullptr,
                                                     bool* bIgnoreAll = nullptr);

  // Disables, enables, hides or shows dialog buttons: Buttons is a mask of lvButtons, Mode a
  // mask of lvDisableMode. The change holds for every later showing on the thread.
  void DisableButtons(std::int32_t Buttons, std::int32_t Mode);

  // Connects and disconnects an event sink; every connected sink receives each event, in the
  // order of connection. Sinks are not owned. No sink is called after its Unadvise returns, even
  // when a handler disconnects it in the middle of an event (see docs/text-check.md).
  void Advise(SpellCheckEvents* sink);
  void Unadvise(SpellCheckEvents* sink);

 private:
  struct Object;  // the object's own state, kept out of this header so that releases keep the ABI
  std::unique_ptr<Object> object_;
};

}  // namespace lexivane
