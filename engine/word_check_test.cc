#include "engine/word_check.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace lexivane {
namespace {

TEST(CleanWord, StripsWhatSurroundsAWord) {
  const struct {
    std::u16string_view word, cleaned;
  } cases[] = {
      {u"hello,", u"hello"},
      {u"(hello)", u"hello"},
      {u"dogs'", u"dogs"},
      {u"john's", u"john"},
      {u"'tis", u"tis"},
      {u"hello.world", u"hello"},
      {u"caf\u00e9", u"caf"},
      {u"--hello--", u"hello-"},
      {u"x1", u""},
      {u"z.z.", u""},
      {u"!!!", u""},
      {u"--", u""},
      {u"don't", u"don't"},
      {u"o'clock", u"o'clock"},
      {u"e-mail", u"e-mail"},
      {u"1st.", u"1st"},
      {u"a b.", u"a b"},
      {u"it's'", u"it's"},
      {u"\u201chello\u201d", u"hello"},
      {u"ab-'s", u"ab-"},
      {u"\xd800hi", u"hi"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CleanWord(c.word), c.cleaned) << testing::Utf8(c.word);
  }
}

TEST(CleanWord, PlainWordsComeBackUnchanged) {
  for (auto word : {u"foo_bar", u"abc", u"ABC", u"a[b]c{", u"@home", u""}) {
    EXPECT_EQ(CleanWord(word), word) << testing::Utf8(word);
  }
  // Digits are not plain, so a word with a digit is cleaned, but keeps its digits.
  EXPECT_EQ(CleanWord(u"abc123"), u"abc123");
}

TEST(IsPlainWord, OnlyBytesFromTheAtSignToTheOpeningBrace) {
  EXPECT_TRUE(IsPlainWord(""));
  EXPECT_TRUE(IsPlainWord("@AZ[`az{"));
  EXPECT_FALSE(IsPlainWord("?"));
  EXPECT_FALSE(IsPlainWord("|"));
  EXPECT_FALSE(IsPlainWord("a b"));
  EXPECT_FALSE(IsPlainWord("caf\xe9"));
}

}  // namespace
}  // namespace lexivane
