#include <gtest/gtest.h>

#include <string>
#include <vector>

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
