// The words the front ends accept besides the engine's lists, offered among the typing ranking's
// suggestions (OfferedWords, lexivane/typing_suggestions.h): a front end that accepts
// `namespace` should suggest it for `namnespace`.
//
// The built-in lists (the extra words, the programming words, the spellings of each English
// variant) are indexed once per process, on first use, and shared by every thread. A project's
// words, the words learned from a tree and a session's own words are lists of their owners', each
// with a serial number that no other list of the process has, by which the suggestions' memo tells
// the lists of one configuration from another's.
//
// Each list's level (how common its words are, on the scale of the main list's levels) is
// fitted with the ranking's weights (bench/software_misspellings.py). Immutable once made; any
// thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frontend/session/english_variant.h"
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
// A variant's own spellings are mostly those of common words (`colour`, `centre`, `organisation`),
// as common under the variant as the American spellings are in the main list.
inline constexpr int kVariantSpellingsLevel = 10;
inline constexpr int kVariantSpellingsFrequency = 8;

// The extra word list (extra_words.h), and the programming words of every language
// (code_words.h), the identifiers' vocabulary aside: it is no word to offer for prose.
const OfferedWords& ExtraWordsOffered();
const OfferedWords& CodeWordsOffered();

// The spellings of `variant` that the American lists lack (english_variant.h); null for
// American, which has none.
const OfferedWords* VariantSpellingsOffered(EnglishVariant variant);

// The owner's words, in any order, as an offered list; null for none. They are sorted first, so
// that candidates of equal cost come in the same order from every set of the same words.
std::shared_ptr<const OfferedList> OwnWordsOffered(std::vector<std::u16string> words);

}  // namespace lexivane::frontend
