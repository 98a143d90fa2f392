#include "frontend/words/given_word.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace lexivane::frontend {
namespace {

using lexivane::testing::Utf8;

TEST(GivenWord, IsReadAsRunningTextReadsItOrRefusedWhenItCannotStayOneEntry) {
  const struct {
    std::u16string given;
    std::u16string word;  // empty: refused
  } cases[] = {
      {u"wrold", u"wrold"},
      {u"wouldn\u2019tx", u"wouldn'tx"},  // the check is asked with U+0027
      {u"new york", u"new york"},         // an entry may hold several words
      {u"", u""},
      {u"wrold\nhelo", u""},  // one request, two entries
      {u"wrold\r\nhelo", u""},
      {u"helo\r", u""},
      {std::u16string(u"wr\0old", 6), u""},
      {u"tab\tbed", u""},
      {u"next\u0085line", u""},
      {u"line\u2028sep", u""},
      {u" wrold", u""},
      {u"wrold ", u""},
      {u"\u00A0wrold", u""},  // a no-break space is a blank too
      {u"wrold\u3000", u""},
  };
  for (const auto& c : cases) {
    const GivenWord read = ReadGivenWord(c.given);
    EXPECT_EQ(Utf8(read.word), Utf8(c.word)) << Utf8(c.given);
    EXPECT_EQ(read.taken(), !c.word.empty()) << Utf8(c.given);
  }
}

}  // namespace
}  // namespace lexivane::frontend
