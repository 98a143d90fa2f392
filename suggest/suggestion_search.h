// The suggestion search behind SpellCheck::GetSuggestions.
//
// Candidates come from three sources: splits of the word into two accepted words (scored at
// the threshold), the main-list words of one window of the sorted list (from the word's
// first letter followed by "a" to the end of the next letter's "a" block) that score at least
// the threshold, and, when asked, custom-dictionary words whose similarity ratio with the word
// exceeds 0.8. The first two are ranked by score with an exchange sort (highest first; equal
// scores keep no guaranteed order), the custom words follow unranked.
//
// The window is scanned through CandidateFilter, whose answers equal the plain scoring rule's.
// A split part that its length and characters prove unknown is not checked, and a custom word
// is compared only when bounds on the ratio leave room for it, so that a long word that can get
// no suggestion costs about its length rather than its square. tests/reference holds the plain
// search and the tests compare the two. Runs on the calling thread over that thread's
// dictionaries.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane {

struct Dictionaries;

// Words whose cleaned form is longer than this get no suggestions: they are far beyond any
// word, and the phonetic key and the edit distance are defined only up to this length.
inline constexpr std::size_t kLongestSuggestibleWord = 32767;

// False for a cleaned word (CleanWord) of fewer than two characters, a number, or more than
// kLongestSuggestibleWord characters: nothing is suggested for it.
bool IsSuggestible(std::u16string_view cleaned);

// Returns the number of ranked suggestions; `out` is left untouched when the word cleans to a
// word that is not IsSuggestible.
std::int32_t SearchSuggestions(Dictionaries& dictionaries, std::u16string_view word,
                               std::vector<std::u16string>& out, bool check_custom,
                               float threshold);

}  // namespace lexivane
