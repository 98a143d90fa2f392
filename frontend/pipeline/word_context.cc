#include "frontend/pipeline/word_context.h"

#include <algorithm>

#include "support/ascii.h"

namespace lexivane::frontend {
namespace {

bool IsHexLetter(char c) {
  const char lower = support::AsciiLower(c);
  return lower >= 'a' && lower <= 'f';
}

// printf's length modifiers and conversions: `lu`, `zx`, `hhd`, `s`, `Lf`.
bool IsConversion(std::string_view word) {
  for (const std::string_view length : {"hh", "ll", "h", "l", "j", "z", "t", "L", "q", ""}) {
    if (word.size() == length.size() + 1 && word.starts_with(length) &&
        std::string_view("diouxXfFeEgGaAcspn").find(word.back()) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

}  // namespace

template <typename Char>
WordInContext ContextOf(std::basic_string_view<Char> before, std::string_view word,
                        WordRules rules) {
  if (before.empty() || word.empty()) return WordInContext::kWord;
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
  return WordInContext::kWord;
}

template WordInContext ContextOf(std::basic_string_view<char>, std::string_view, WordRules);
template WordInContext ContextOf(std::basic_string_view<char16_t>, std::string_view, WordRules);

}  // namespace lexivane::frontend
