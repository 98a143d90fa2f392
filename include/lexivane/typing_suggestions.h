// TypingSuggestions: corrections for a misspelt word, the likeliest typing errors first, ranked
// for the people who read the first of them in an editor, beside the engine's own
// GetSuggestions, which stays exactly as it is (the dialog and the Windows component use only
// that one).
//
// The candidates are the words within one edit of the misspelling (the custom dictionary's
// included), words two edits away when at most one is within one, words two swaps of adjacent
// letters away, two-word splits, similar custom entries and the words that sound alike; they are
// ranked by a cost fitted on real misspellings (suggest/typing/): the slips that turn each
// into the misspelling, each as unlikely as real misspellings show it to be
// (suggest/typing_distance.h), its similarity, its sound and how common it is.
// Every suggestion comes in the letter case of the word, as ShownSuggestions gives them. At most
// `most`, never the word as it is written; the custom dictionary's words are candidates only
// when `check_custom`. None for a word of fewer than two characters or a number. Same threads
// as the engine; the first call in the process checks the embedded sound index once (tens of
// microseconds).
//
// `lexivane suggest --ranking=typing` shows it; docs/suggestions.md says how it was tuned.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/export.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/spell_check.h"

namespace lexivane {

class OfferedWordIndex;

LEXIVANE_API std::vector<std::u16string> TypingSuggestions(const SpellCheck& engine,
                                                           std::u16string_view word,
                                                           std::size_t most = kShownSuggestionsMax,
                                                           bool check_custom = true);

// A list of words a host accepts besides the engine's lists, for TypingSuggestions to offer as
// well: its own vocabularies (technical terms, a language's names, a project's words), with how
// common its words are in the texts it checks, graded as the main list's are: 10 the commonest
// English words, 55 the rarest the main list holds, above that rarer (60 for the next size of
// English words). A word is offered when it begins with the misspelling's first letter and is
// within two edits of it (one for a misspelling of four letters or fewer), or is one edit away
// at its beginning (the first two swapped, or a first letter put in, dropped or replaced). Words of
// fewer than two letters are left out, and each word is kept once in any letter case, as first
// given; it is offered in the misspelling's letter case. `frequency_class` says how often they
// occur in a million words of English text, as the main list's words are classed (0 for unknown,
// else 1 + log2 of the count, at most 15). Made once (tens of thousands of words take a few
// milliseconds) and then read only: any thread.
class LEXIVANE_API OfferedWords {
 public:
  OfferedWords(const std::vector<std::u16string>& words, int level, int frequency_class = 0);
  // The words of `lines`, UTF-8: each line's text up to its first blank (a line ends at LF), as
  // a list is kept in a file or built into a program.
  OfferedWords(std::string_view lines, int level, int frequency_class = 0);
  ~OfferedWords();
  OfferedWords(const OfferedWords&) = delete;
  OfferedWords& operator=(const OfferedWords&) = delete;

  std::size_t size() const;
  // The library's own index of the words.
  const OfferedWordIndex& index() const { return *index_; }

 private:
  std::unique_ptr<const OfferedWordIndex> index_;
};

// TypingSuggestions with the words of `offered` among the candidates, ranked with the rest.
LEXIVANE_API std::vector<std::u16string> TypingSuggestions(
    const SpellCheck& engine, std::u16string_view word, std::size_t most, bool check_custom,
    const std::vector<const OfferedWords*>& offered);

// The first of TypingSuggestions with its cost in the ranking: the lower, the likelier that the
// word is a slip for it. A front end weighs it to tell a typing error from a word that no list
// holds (a name, an abbreviation): a letter dropped or two letters swapped in a common word of
// six letters cost about -4, a word that is no near slip of any listed word 0 or more. None
// when there is no suggestion.
struct TypingCorrection {
  std::u16string word;
  float cost;
};
LEXIVANE_API std::optional<TypingCorrection> LikeliestCorrection(const SpellCheck& engine,
                                                                 std::u16string_view word,
                                                                 bool check_custom = true);

}  // namespace lexivane
