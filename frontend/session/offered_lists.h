// The words the front ends accept besides the engine's lists, offered among the typing ranking's
// suggestions (OfferedWords, lexivane/typing_suggestions.h): a front end that accepts
// `namespace` should suggest it for `namnespace`.
//
// The built-in lists (the extra words, the programming words) are indexed once per process, on
// first use, and shared by every thread. A project's words, the words learned from a tree and a
// session's own words are lists of their owners', each with a serial number that no other list
// of the process has, by which the suggestions' memo tells the lists of one configuration from
// another's.
//
// Each list's level (how common its words are, on the scale of the main list's levels) is
// fitted with the ranking's weights (bench/software_misspellings.py). Immutable once made; any
// thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lexivane/typing_suggestions.h"

namespace lexivane::frontend {

// A list of offered words and its serial number.
struct OfferedList {
  OfferedList(const std::vector<std::u16string>& words, int level);

  OfferedWords words;
  std::uint64_t serial;
};

// The levels of the lists.
inline constexpr int kExtraWordsLevel = 50;
inline constexpr int kCodeWordsLevel = 50;
inline constexpr int kOwnWordsLevel = 50;  // a project's, a tree's and a session's

// The extra word list (extra_words.h), and the programming words of every language
// (code_words.h), the identifiers' vocabulary aside: it is no word to offer for prose.
const OfferedWords& ExtraWordsOffered();
const OfferedWords& CodeWordsOffered();

// The owner's words, in any order, as an offered list; null for none. They are sorted first, so
// that candidates of equal cost come in the same order from every set of the same words.
std::shared_ptr<const OfferedList> OwnWordsOffered(std::vector<std::u16string> words);

}  // namespace lexivane::frontend
