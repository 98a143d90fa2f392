// What the front ends accept in running text beyond the word check: words of a shape that is
// rarely a misspelling, and the words of an extra word list (extra_words.h).
//
// Technical prose is full of tokens no dictionary holds: sizes and versions (`128KiB`, `GPLv3`),
// identifiers (`_ssh`, `foo_`), abbreviations (`ABI`, `GIDs`) and Roman numerals (`xiv`). Each
// kind has a rule that accepts it, on by default and switched off by name:
//
//   digits         a word with a digit anywhere
//   underscores    a word that begins or ends with `_`
//   capitals       two or three capital letters, alone or with a plural `s` (`ABI`, `ABIs`)
//   roman          a well-formed Roman numeral, all capitals or all lower case (`xiv`, `MCMXCIX`;
//                  not `iiii` or `vx`)
//   extra-words    a word of the extra word list
//   hex            eight or more hex digits that are all letters (`deadbeefcafe`, a hash or a
//                  key); and after `#`, a CSS colour (`#fff`, frontend/pipeline/word_context.h)
//   formats        a printf conversion after `%` (`%lu`, `%-8s`; word_context.h)
//   escapes        a capitalised word glued to a backslash escape: `\nHello` is `Hello`
//                  (word_context.h)
//   camel-case     a name written in camel case (`windowBits`, `zlibVersion`) whose parts of
//                  three letters or more are words; each part has two letters or more
//   code-words     in a document of code, a word of the lists of programming words that its
//                  mode chooses (`ctx`, `mmap`; code_words.h); the document checker asks them,
//                  since RulesAccept knows no mode
//   unlikely-typos a word of an identifier of code that is no likely typo: no common word lies
//                  a slip or two away from it (`zalloc`, `ctx`, a name the project made up);
//                  judged by the DocumentChecker (frontend/pipeline/) with the typing
//                  ranking's cost (SpellingSession::LikelyTypo), never by RulesAccept
//   mentions       a name right after `@` (`@phprus`, `@Override`; frontend/pipeline/
//                  word_context.h)
//   elisions       a word the rules accept followed by an elided -ed, `'d` or `’d` (`arm'd`,
//                  `CC'd`; `malloc'd` where the mode's programming words hold `malloc`)
//   key-letters    a word that a menu's key letter before it makes whole (`E&xit`, `(y)es`;
//                  frontend/pipeline/word_context.h)
//   options        a word of a command-line option (`--max-procs`), judged as an identifier's
//                  word is, by the DocumentChecker
//   man-pages      a name right before a manual page's section (`getent(1)`)
//   capital-names  a word of four capitals or more that is no likely typo (`BUFSIZ`,
//                  `MAKEFLAGS`; not `RECIEVE`), judged by the DocumentChecker as unlikely-typos
//                  judges identifiers
//   name-prefixes  in an identifier, a first part right before `_` that begins three or more
//                  of the text's distinct names (`KEYC_` of `KEYC_F1`, `KEYC_PASTE_START`):
//                  the prefix of a family of names, unless shaped as a slip or surely a typo
//                  (SpellingSession::MayBeNameVocabulary); judged by the DocumentChecker
//
// Under `underscores` a name with `_` inside (`detect_data_type`) is judged so too, by its
// parts of three letters or more (identifier_parts.h cuts both kinds).
//
// One rule works the other way: it flags a word the word check accepts.
//
//   names          a name of the word list written in small letters only (`thant`, `linux`;
//                  name_words.h), unless the custom dictionary or the session holds it
//
// The rules apply to running text only: the library's CheckWord and GetSuggestions never see
// them. A word the rules accept is still a word the engine would reject; a caller that asks
// about one word on its own (a pipe's single word, a client's "is this word right") applies
// them too, since the word came from the same text. Pure functions, any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "frontend/session/english_variant.h"
#include "frontend/words/identifier_parts.h"
#include "lexivane/spell_check.h"

namespace lexivane::frontend {

enum class WordRule : unsigned {
  kDigits = 1,
  kUnderscores = 2,
  kCapitals = 4,
  kRoman = 8,
  kExtraWords = 16,
  kNames = 32,
  kHex = 64,
  kFormats = 128,
  kEscapes = 256,
  kCamelCase = 512,
  kCodeWords = 1024,
  kUnlikelyTypos = 2048,
  kMentions = 4096,
  kElisions = 8192,
  kKeyLetters = 16384,
  kOptions = 32768,
  kManPages = 65536,
  kCapitalNames = 131072,
  kNamePrefixes = 262144,
};

class WordRules {
 public:
  // Every bit up to the last rule's.
  static constexpr WordRules All() {
    return WordRules((static_cast<unsigned>(WordRule::kNamePrefixes) << 1) - 1);
  }
  static constexpr WordRules None() { return WordRules(0); }

  constexpr bool Has(WordRule rule) const { return (bits_ & static_cast<unsigned>(rule)) != 0; }
  constexpr WordRules Without(WordRule rule) const {
    return WordRules(bits_ & ~static_cast<unsigned>(rule));
  }
  constexpr WordRules With(WordRule rule) const {
    return WordRules(bits_ | static_cast<unsigned>(rule));
  }
  constexpr bool operator==(const WordRules&) const = default;

 private:
  constexpr explicit WordRules(unsigned bits) : bits_(bits) {}
  unsigned bits_;
};

// The names above, in that order; NamedWordRule is nullopt for any other name.
const std::vector<std::string_view>& WordRuleNames();
std::optional<WordRule> NamedWordRule(std::string_view name);

// All the rules except those named, each item of `names` one name or several separated by
// commas ("digits,roman"); the first unknown name is reported in `unknown` (and passed over).
WordRules AllRulesExcept(const std::vector<std::string>& names, std::string* unknown = nullptr);

// Whether one of the rules accepts `word` (a word of running text, as CheckWord is asked it).
bool RulesAccept(std::u16string_view word, WordRules rules);

// `word` without an elided -ed at its end (`arm` of `arm'd` or `arm’d`); empty when it has none
// or nothing is left before it.
std::u16string_view ElidedStem(std::u16string_view word);
std::string_view ElidedStem(std::string_view word);  // UTF-8

// The parts (identifier_parts.h) of `word`, which the word check rejects, when it is a name to be
// judged by them: one with `_` inside under `underscores`, one in camel case under
// `camel-case`; none for another word.
std::optional<std::vector<WordPart>> NameParts(std::u16string_view word, WordRules rules);

// Whether the names rule flags `word`, a word the word check accepts: a name of the word list in
// small letters. The caller still accepts it when the custom dictionary or the session holds it.
bool RulesFlagName(std::u16string_view word, WordRules rules);

// Words the person accepted (the custom dictionary's, the session's), folded: they stand against
// the names rule and the variant's flags.
using AcceptedNames = std::unordered_set<std::u16string>;

// The front ends' verdict on a word of running text: the engine's word check (the custom
// dictionary included), overruled by the rules both ways, with the spellings of `variant`
// (english_variant.h): its own accepted, the American ones it writes otherwise flagged.
// `check_custom`: whether the engine's custom dictionary counts (as CheckWord's bCheckCustom).
bool FrontEndAccepts(const SpellCheck& engine, std::u16string_view word, WordRules rules,
                     const AcceptedNames& accepted_names, bool check_custom = true,
                     EnglishVariant variant = kDefaultVariant);

}  // namespace lexivane::frontend
