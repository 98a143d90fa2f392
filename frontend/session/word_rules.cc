#include "frontend/session/word_rules.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <initializer_list>
#include <type_traits>

#include "frontend/session/extra_words.h"
#include "frontend/session/name_words.h"
#include "lexivane/letter_case.h"
#include "support/ascii.h"

namespace lexivane::frontend {

namespace {

constexpr WordRule kRulesInOrder[] = {
    WordRule::kDigits,      WordRule::kUnderscores, WordRule::kCapitals,
    WordRule::kRoman,       WordRule::kExtraWords,  WordRule::kNames,
    WordRule::kHex,         WordRule::kFormats,     WordRule::kEscapes,
    WordRule::kCamelCase,   WordRule::kCodeWords,   WordRule::kUnlikelyTypos,
    WordRule::kMentions,    WordRule::kElisions,    WordRule::kKeyLetters,
    WordRule::kOptions,     WordRule::kManPages,    WordRule::kCapitalNames,
    WordRule::kNamePrefixes};

// Eight or more hex digits, all of them letters: a hash or a key that happens to have no digit
// (`deadbeefcafe`); no English word is such a run, nor is a misspelling of one.
bool IsHexLetters(std::u16string_view word) {
  return word.size() >= 8 && std::all_of(word.begin(), word.end(), [](char16_t c) {
           return (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
         });
}

// `word` less the first of `endings` it ends with, when something is left; empty otherwise.
template <typename Char>
std::basic_string_view<Char> StemBefore(
    std::basic_string_view<Char> word,
    std::initializer_list<std::type_identity_t<std::basic_string_view<Char>>> endings) {
  for (const std::basic_string_view<Char> ending : endings) {
    if (word.size() > ending.size() && word.ends_with(ending)) {
      return word.substr(0, word.size() - ending.size());
    }
  }
  return {};
}

bool HasDigit(std::u16string_view word) {
  return std::any_of(word.begin(), word.end(), [](char16_t c) { return u_isdigit(c) != 0; });
}

bool IsShortCapitals(std::u16string_view word) {
  if (word.ends_with(u"'s")) {
    word.remove_suffix(2);
  } else if (word.ends_with(u's')) {
    word.remove_suffix(1);
  }
  return word.size() >= 2 && word.size() <= 3 &&
         std::all_of(word.begin(), word.end(), support::IsAsciiUpper<char16_t>);
}

// Takes from the front of `numeral` the longest of `forms` that it begins with.
void TakeOneOf(std::u16string_view& numeral, std::initializer_list<std::u16string_view> forms) {
  for (const std::u16string_view form : forms) {
    if (numeral.starts_with(form)) {
      numeral.remove_prefix(form.size());
      return;
    }
  }
}

// Thousands, hundreds, tens and units in turn, each written in one of its ten forms, as the
// numerals of 1 to 3999 are; `numeral` is in capitals.
bool IsWellFormedNumeral(std::u16string_view numeral) {
  if (numeral.empty()) return false;
  TakeOneOf(numeral, {u"MMM", u"MM", u"M"});
  TakeOneOf(numeral, {u"CM", u"CD", u"DCCC", u"DCC", u"DC", u"D", u"CCC", u"CC", u"C"});
  TakeOneOf(numeral, {u"XC", u"XL", u"LXXX", u"LXX", u"LX", u"L", u"XXX", u"XX", u"X"});
  TakeOneOf(numeral, {u"IX", u"IV", u"VIII", u"VII", u"VI", u"V", u"III", u"II", u"I"});
  return numeral.empty();
}

bool IsRomanNumeral(std::u16string_view word) {
  constexpr std::u16string_view kUpper = u"IVXLCDM", kLower = u"ivxlcdm";
  if (word.empty() || word.size() > 15) return false;  // MMMDCCCLXXXVIII is the longest
  const bool lower = kLower.find(word.front()) != std::u16string_view::npos;
  std::u16string numeral;
  for (const char16_t c : word) {
    const auto at = (lower ? kLower : kUpper).find(c);
    if (at == std::u16string_view::npos) return false;
    numeral += kUpper[at];
  }
  return IsWellFormedNumeral(numeral);
}

}  // namespace

const std::vector<std::string_view>& WordRuleNames() {
  static const std::vector<std::string_view> names = {
      "digits",       "underscores", "capitals",    "roman",      "extra-words", "names",
      "hex",          "formats",     "escapes",     "camel-case", "code-words",  "unlikely-typos",
      "mentions",     "elisions",    "key-letters", "options",    "man-pages",   "capital-names",
      "name-prefixes"};
  return names;
}

std::optional<WordRule> NamedWordRule(std::string_view name) {
  const auto& names = WordRuleNames();
  const auto at = std::find(names.begin(), names.end(), name);
  if (at == names.end()) return std::nullopt;
  return kRulesInOrder[at - names.begin()];
}

WordRules AllRulesExcept(const std::vector<std::string>& names, std::string* unknown) {
  WordRules rules = WordRules::All();
  for (const std::string& item : names) {
    for (std::size_t start = 0; start <= item.size();) {
      const std::size_t comma = std::min(item.find(',', start), item.size());
      const std::string_view name = std::string_view(item).substr(start, comma - start);
      if (const auto rule = NamedWordRule(name)) {
        rules = rules.Without(*rule);
      } else if (unknown != nullptr && unknown->empty()) {
        *unknown = name.empty() ? "\"\"" : name;
      }
      start = comma + 1;
    }
  }
  return rules;
}

bool RulesAccept(std::u16string_view word, WordRules rules) {
  if (word.empty()) return false;
  return (rules.Has(WordRule::kDigits) && HasDigit(word)) ||
         (rules.Has(WordRule::kUnderscores) && (word.front() == u'_' || word.back() == u'_')) ||
         (rules.Has(WordRule::kCapitals) && IsShortCapitals(word)) ||
         (rules.Has(WordRule::kRoman) && IsRomanNumeral(word)) ||
         (rules.Has(WordRule::kExtraWords) && ExtraWordsHold(word)) ||
         (rules.Has(WordRule::kHex) && IsHexLetters(word));
}

std::u16string_view ElidedStem(std::u16string_view word) {
  return StemBefore(word, {u"'d", u"\u2019d"});
}

std::string_view ElidedStem(std::string_view word) {
  return StemBefore(word, {"'d", "\u2019d"});
}

std::optional<std::vector<WordPart>> NameParts(std::u16string_view word, WordRules rules) {
  if (rules.Has(WordRule::kUnderscores) && word.find(u'_') != std::u16string_view::npos &&
      word.front() != u'_' && word.back() != u'_') {
    return IdentifierParts(word);
  }
  if (!rules.Has(WordRule::kCamelCase)) return std::nullopt;
  bool case_changes = false;
  for (std::size_t i = 1; i < word.size(); ++i) {
    case_changes =
        case_changes || (support::IsAsciiLower(word[i - 1]) && support::IsAsciiUpper(word[i]));
  }
  if (!case_changes) return std::nullopt;
  // `tHe` and `teH` are slips of the shift key, not names: every part has two letters or more.
  std::vector<WordPart> parts = IdentifierParts(word);
  if (parts.size() < 2 || std::any_of(parts.begin(), parts.end(),
                                      [](const WordPart& part) { return part.length < 2; })) {
    return std::nullopt;
  }
  return parts;
}

bool RulesFlagName(std::u16string_view word, WordRules rules) {
  return rules.Has(WordRule::kNames) && IsNameInSmallLetters(word);
}

bool FrontEndAccepts(const SpellCheck& engine, std::u16string_view word, WordRules rules,
                     const AcceptedNames& accepted_names, bool check_custom,
                     EnglishVariant variant) {
  if (VariantFlags(variant, word)) return accepted_names.contains(FoldCase(word));
  if (!engine.CheckWord(word, check_custom)) {
    if (RulesAccept(word, rules) || VariantAccepts(variant, word)) return true;
    if (const std::u16string_view stem = ElidedStem(word);
        rules.Has(WordRule::kElisions) && !stem.empty()) {
      return FrontEndAccepts(engine, stem, rules, accepted_names, check_custom, variant);
    }
    // A name: its parts of three letters or more must each be a word.
    const std::optional<std::vector<WordPart>> parts = NameParts(word, rules);
    return parts && std::all_of(parts->begin(), parts->end(), [&](const WordPart& part) {
             return part.length <= 2 ||
                    FrontEndAccepts(engine, word.substr(part.offset, part.length), rules,
                                    accepted_names, check_custom, variant);
           });
  }
  return !RulesFlagName(word, rules) || accepted_names.contains(std::u16string(word)) ||
         VariantAccepts(variant, word);
}

}  // namespace lexivane::frontend
