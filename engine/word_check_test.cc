#include "engine/word_check.h"

#include <gtest/gtest.h>

#include "engine/dictionaries.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

// "?ab" and "ab|c": one byte outside the plain range on either side makes a word ordinary.
TEST(CleanWord, StripsWhatSurroundsAWord) {
  const struct {
    std::u16string_view word, cleaned;
  } cases[] = {
      {u"hello,", u"hello"},  {u"(hello)", u"hello"},
      {u"dogs'", u"dogs"},    {u"john's", u"john"},
      {u"'tis", u"tis"},      {u"hello.world", u"hello"},
      {u"caf\u00e9", u"caf"}, {u"--hello--", u"hello-"},
      {u"x1", u""},           {u"z.z.", u""},
      {u"!!!", u""},          {u"--", u""},
      {u"1st.", u"1st"},      {u"a b.", u"a b"},
      {u"it's'", u"it's"},    {u"\u201chello\u201d", u"hello"},
      {u"ab-'s", u"ab-"},     {u"\xd800hi", u"hi"},
      {u"?ab", u"ab"},        {u"ab|c", u"ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CleanWord(c.word), c.cleaned) << testing::Utf8(c.word);
  }
}

// Words made only of bytes from '@' to '{' are never cleaned; the others here keep every byte
// when cleaned (digits count as nothing but are kept).
TEST(CleanWord, KeepsWholeWords) {
  for (auto word : {u"don't", u"o'clock", u"e-mail", u"foo_bar", u"@AZ[`az{", u"", u"abc123"}) {
    EXPECT_EQ(CleanWord(word), word) << testing::Utf8(word);
  }
}

// A tally proves a text unknown only when the check rejects it. The texts: an accepted word
// with a run of one character before or after it, up to past the longest entry's length; the
// runs are of characters that cleaning keeps, drops, stops at or makes a number of.
TEST(WordCheckTally, ProvesOnlyTextsTheCheckRejects) {
  Dictionaries dictionaries;
  dictionaries.tables.Load();
  const std::size_t longest = dictionaries.tables.LongestWord();
  int proven = 0;
  for (std::u16string_view word : {u"at", u"a's", u"new book", u"electroencephalograph's"}) {
    for (char16_t filler : {u'x', u'X', u' ', u'\'', u'-', u'1', u'&', u'.', u'_', u'\u00e9'}) {
      for (std::size_t count = 0; count <= longest + 3; ++count) {
        const std::u16string run(count, filler);
        for (const std::u16string& text :
             {run + std::u16string(word), std::u16string(word) + run}) {
          WordCheckTally tally;
          for (const char16_t unit : text) tally.Add(unit);
          if (!IsNeverAccepted(tally, longest)) continue;
          ++proven;
          EXPECT_FALSE(IsAcceptedWord(dictionaries, text, false)) << testing::Utf8(text);
        }
      }
    }
  }
  EXPECT_GT(proven, 0);
}

}  // namespace
}  // namespace lexivane
