// The English a front end checks for: American (the word lists as they are), British, Canadian,
// Australian, or any of them.
//
// The main and extra word lists are American. Another variant accepts its own spellings too
// (`colour`, `centre`, `organisation`; British both -ise and -ize) and flags the American ones
// it writes otherwise (`color`, `center`), offering its own spelling first (`color: colour`);
// `en` accepts every variant's spellings and flags none. The lists come from SCOWL's variant
// lists (data/make_variant_words.py, run when the build is configured) and are built into the
// program, searched in place (sorted_word_list.h). They decide only what the front ends report:
// the library's CheckWord and GetSuggestions stay American. Pure functions, any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::frontend {

enum class EnglishVariant { kAmerican, kBritish, kCanadian, kAustralian, kAny };

inline constexpr EnglishVariant kDefaultVariant = EnglishVariant::kAmerican;

// "en-US", "en-GB", "en-CA", "en-AU" and "en", in that order.
const std::vector<std::string_view>& VariantNames();
std::string_view VariantName(EnglishVariant variant);
// The variant of a name above, in any letter case and with `_` for `-` (`en_GB`, as Enchant
// and locales write it); nullopt for any other.
std::optional<EnglishVariant> NamedVariant(std::string_view name);

// Whether `variant` has `word` (as CheckWord is asked it) among its own spellings, which the
// American lists lack.
bool VariantAccepts(EnglishVariant variant, std::u16string_view word);
// The spellings `variant` accepts that the American lists lack, as the lines of a sorted word
// list (sorted_word_list.h); empty for American.
std::string_view VariantOwnSpellings(EnglishVariant variant);
// Whether `variant` writes `word`, an American spelling, otherwise.
bool VariantFlags(EnglishVariant variant, std::u16string_view word);
// The spellings `variant` writes a word it flags with, in lower case (`colour` for `color`,
// `colour's` for `color's`); none for another word, or where its lists pair none.
std::vector<std::u16string> VariantSpellings(EnglishVariant variant, std::u16string_view word);

// `suggestions` as `variant` writes them: each that it flags becomes its own spellings (in the
// suggestion's letter case: Capitalised or ALL CAPS as the suggestion is), or goes when it has
// none; and for a misspelling that is itself a spelling it flags, its own spellings come first.
// At most `most`, each once.
std::vector<std::u16string> InVariant(EnglishVariant variant, std::u16string_view word,
                                      std::vector<std::u16string> suggestions, std::size_t most);

}  // namespace lexivane::frontend
