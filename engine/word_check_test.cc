#include "engine/word_check.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace lexivane
