#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "frontend/modes/code_prose.h"
#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(CodeFilters, TokensAreFoundWhereverTheyFallInTheText) {
  struct ShiftCase {
    TextFilter filter;
    std::string code;
    std::string words;
  };
  const ShiftCase cases[] = {
      {KeepCFamilyCommentsAndStrings, " /* a * wrod **/ s = \"one more\"; r = 2; // two",
       "a wrod one more two"},
      {KeepPythonCommentsAndStrings, " # wrod\nx = 'one more' + \"two more\"",
       "wrod one more two more"},
      {KeepShellCommentsAndStrings, " # wrod\necho 'one more' \"$x two more\"",
       "wrod one more two more"},
  };
  for (const ShiftCase& c : cases) {
    for (std::size_t shift = 0; shift < 18; ++shift) {
      EXPECT_EQ(WordsLeft(c.filter, std::string(shift, '_') + c.code), c.words) << shift;
    }
  }
}

// The plain walk that HideCodeWords is held to: every word judged, left to right, none passed
// over for want of a mark near it.
void HideCodeWordsOneByOne(std::u16string& text, std::size_t begin, std::size_t end) {
  using code_prose::IsIdentifierCharacter;
  const auto in_word = [&](std::size_t j) {
    return j < end && (IsIdentifierCharacter(text[j]) ||
                       (text[j] == u'\'' && j + 1 < end && IsIdentifierCharacter(text[j + 1])));
  };
  for (std::size_t i = begin; i < end;) {
    if (!IsIdentifierCharacter(text[i])) {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool marked = IsAsciiDigit(text[i]) || text[i] == u'_', inner_capital = false;
    for (; in_word(j); ++j) {
      marked = marked || IsAsciiDigit(text[j]) || text[j] == u'_';
      inner_capital = inner_capital || IsAsciiUpper(text[j]);
    }
    const std::u16string word = text.substr(i, j - i);
    const std::u16string after = text.substr(j, std::min<std::size_t>(3, end - j));
    const char16_t before1 = i > begin ? text[i - 1] : 0;
    const char16_t before2 = i > begin + 1 ? text[i - 2] : 0;
    bool camel = false;
    for (std::size_t k = 1; k < word.size(); ++k) {
      camel =
          camel || (IsAsciiLower(word[k - 1]) && IsAsciiUpper(word[k])) ||
          (k >= 2 && k + 1 < word.size() && IsAsciiUpper(word[k - 1]) && IsAsciiUpper(word[k]) &&
           IsAsciiLower(word[k + 1]) && IsAsciiLower(word[k + 2 < word.size() ? k + 2 : k + 1]));
    }
    const bool code = marked || (inner_capital && camel) ||
                      (after.size() >= 2 && after[0] == u'(' &&
                       (after[1] == u')' || (after[1] != u's' && after != u"(es"))) ||
                      (after.size() >= 2 && after[0] == u'.' && IsIdentifierCharacter(after[1]) &&
                       !(word.size() == 1 && after.size() == 3 && after[2] == u'.')) ||
                      (before1 == u'.' && IsIdentifierCharacter(before2) && word.size() > 1) ||
                      after.starts_with(u"::") || after.starts_with(u"->") ||
                      (before1 == u':' && before2 == u':') || (before1 == u'>' && before2 == u'-');
    if (code) TextCursor(text).Hide(i, j);
    i = j;
  }
}

// HideCodeWords reads on from one mark of code to the next; it hides what the plain walk
// hides, in texts of words, marks, blanks and other characters in every order.
TEST(CodeFilters, CodeWordsAreHiddenAsByTheWalkOverEveryWord) {
  const std::u16string pieces[] = {
      u"a",   u"Zb",    u"s",  u"es",   u"e",      u"g",      u"A",    u"B",
      u"x1",  u"_",     u".",  u":",    u"-",      u">",      u"(",    u")",
      u"\'",  u" ",     u"\n", u"\t",   u"\u00E9", u"\u2060", u"Http", u"Server",
      u"get", u"Value", u"os", u"path", u"A.",     u"word",   u"Word"};
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 40);
  for (int n = 0; n < 20000; ++n) {
    std::u16string text;
    for (int k = length(random); k > 0; --k) text += pieces[pick(random)];
    const std::size_t begin = text.empty() ? 0 : random() % (text.size() + 1);
    const std::size_t end =
        begin + (text.size() == begin ? 0 : random() % (text.size() - begin + 1));
    std::u16string expected = text;
    HideCodeWordsOneByOne(expected, begin, end);
    std::u16string hidden = text;
    code_prose::HideCodeWords(TextCursor(hidden), begin, end);
    ASSERT_EQ(ToUtf8(hidden), ToUtf8(expected))
        << ToUtf8(text) << " [" << begin << ", " << end << ")";
  }
}

TEST(CodeFilters, OddInputNeverBreaksTheContract) {
  const TextFilter filters[] = {HideUrls, KeepCFamilyCommentsAndStrings, KeepHashComments,
                                KeepShellCommentsAndStrings, KeepPythonCommentsAndStrings};
  const char* odd[] = {"",
                       "\"",
                       "'",
                       "`",
                       "/*",
                       "//",
                       "#",
                       "R\"x(",
                       "r#\"",
                       "@\"",
                       "\"\"\"",
                       "'''",
                       "f'{",
                       "`${",
                       "a\\",
                       "%",
                       "{",
                       "\r\n#x\r\n",
                       "\xe2\x80\x9cx@y.z",
                       "http://",
                       "mailto:",
                       "~",
                       "C:",
                       "#[=[",
                       "/**/'\\'",
                       "\"$(",
                       "${",
                       "$",
                       "<<",
                       "<<'",
                       "<<E\n",
                       "\"`\\"};
  for (TextFilter filter : filters) {
    for (const char* text : odd) WordsLeft(filter, text);
  }
}

}  // namespace
}  // namespace lexivane::frontend
