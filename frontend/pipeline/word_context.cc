#include "frontend/pipeline/word_context.h"

#include <algorithm>

#include "frontend/words/running_words.h"
#include "support/ascii.h"

namespace lexivane::frontend {
namespace {

bool IsHexLetter(char c) {
  const char lower = support::AsciiLower(c);
  return lower >= 'a' && lower <= 'f';
}

// printf's length modifiers and conversions: `lu`, `zx`, `hhd`, `s`, `Lf`.
bool IsConversion(std::string_view word) {
  if (word.size() > 3) return false;  // the longest is a modifier of two letters and one more
  for (const std::string_view length : {"hh", "ll", "h", "l", "j", "z", "t", "L", "q", ""}) {
    if (word.size() == length.size() + 1 && word.starts_with(length) &&
        std::string_view("diouxXfFeEgGaAcspn").find(word.back()) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

// Whether `after` starts with a manual page's section, a few blanks first: `(1)`, ` (3p)`.
template <typename Char>
bool StartsWithManualSection(std::basic_string_view<Char> after) {
  std::size_t i = 0;
  while (i < after.size() && i < 4 && after[i] == ' ') ++i;
  if (i + 2 >= after.size() || after[i] != '(' || !support::IsAsciiDigit(after[i + 1])) {
    return false;
  }
  for (std::size_t end = i + 2; end < after.size() && end < i + 7; ++end) {
    if (after[end] == ')') return true;
    if (!support::IsAsciiLower(after[end])) return false;
  }
  return false;
}

template <typename Char>
bool IsWordJoiner(Char c) {
  if constexpr (sizeof(Char) == 1) {
    return false;  // a piece of UTF-8 is text as written, never filtered
  } else {
    return c == kWordJoiner;
  }
}

// Whether the word that `before` ends before is in a command-line option's token: a run of
// letters, digits, `-`, `_` and word joiners that starts with one or two `-` and a letter,
// after the start of the text, a blank or an opening mark.
template <typename Char>
bool InOption(std::basic_string_view<Char> before) {
  std::size_t start = before.size();
  while (start > 0 && start + 64 > before.size()) {
    const Char c = before[start - 1];
    if (!(support::IsAsciiAlnum(c) || c == '-' || c == '_' || IsWordJoiner(c))) break;
    --start;
  }
  std::size_t letter = start;
  while (letter < before.size() && (before[letter] == '-' || IsWordJoiner(before[letter]))) {
    ++letter;
  }
  const std::size_t dashes = static_cast<std::size_t>(
      std::count(before.begin() + start, before.begin() + letter, Char('-')));
  if (dashes == 0 || dashes > 2 ||
      (letter < before.size() && !support::IsAsciiLetter(before[letter]))) {
    return false;
  }
  if (start == 0) return true;
  const Char opening = before[start - 1];
  return opening < 0x80 && std::string_view(" \t([{\"'`=|,").find(static_cast<char>(opening)) !=
                               std::string_view::npos;
}

}  // namespace

template <typename Char>
WordInContext ContextOf(std::basic_string_view<Char> before, std::string_view word, WordRules rules,
                        std::basic_string_view<Char> after) {
  if (word.empty()) return WordInContext::kWord;
  if (rules.Has(WordRule::kManPages) && StartsWithManualSection(after)) {
    return WordInContext::kNoWord;
  }
  if (before.empty()) return WordInContext::kWord;
  const auto at = [&](std::size_t back) -> char {
    return back <= before.size() && before[before.size() - back] < 0x80
               ? static_cast<char>(before[before.size() - back])
               : '\0';
  };
  if (rules.Has(WordRule::kHex) && std::all_of(word.begin(), word.end(), IsHexLetter)) {
    const std::size_t n = word.size();
    if (at(1) == '#' && (n == 3 || n == 4 || n == 6 || n == 8)) return WordInContext::kNoWord;
  }
  if (rules.Has(WordRule::kFormats) && IsConversion(word)) {
    // Back over the flags (but the blank: "100% s" is prose), the width and the precision to the
    // `%`.
    std::size_t back = 1;
    while (std::string_view("-+#0123456789.*").find(at(back)) != std::string_view::npos) ++back;
    if (at(back) == '%' && at(back + 1) != '%') return WordInContext::kNoWord;
  }
  if (rules.Has(WordRule::kMentions) && at(1) == '@' && !support::IsAsciiAlnum(at(2))) {
    return WordInContext::kNoWord;
  }
  if (rules.Has(WordRule::kEscapes) && at(1) == '\\' && at(2) != '\\' && word.size() > 1 &&
      std::string_view("abefnrtv").find(word.front()) != std::string_view::npos &&
      support::IsAsciiUpper(word[1])) {
    return WordInContext::kAfterEscape;
  }
  if (rules.Has(WordRule::kKeyLetters) &&
      std::string_view("&)]").find(at(1)) != std::string_view::npos &&
      support::IsAsciiLetter(at(2)) && !support::IsAsciiAlnum(at(3))) {
    return WordInContext::kAfterKeyLetter;
  }
  if (rules.Has(WordRule::kOptions) && (at(1) == '-' || IsWordJoiner(before.back())) &&
      InOption(before)) {
    return WordInContext::kInOption;
  }
  return WordInContext::kWord;
}

template WordInContext ContextOf(std::basic_string_view<char>, std::string_view, WordRules,
                                 std::basic_string_view<char>);
template WordInContext ContextOf(std::basic_string_view<char16_t>, std::string_view, WordRules,
                                 std::basic_string_view<char16_t>);

}  // namespace lexivane::frontend
