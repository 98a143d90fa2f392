#include "frontend/session/name_words.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace lexivane::frontend {
namespace {

// The table made at build time finds every line of the list, and no word that is not one.
TEST(NameWords, TheTableHoldsEveryNameOfTheListAndNoOtherWord) {
  std::ifstream list(LEXIVANE_NAME_WORDS_FILE);
  std::size_t names = 0;
  for (std::string line; std::getline(list, line); ++names) {
    const std::u16string name(line.begin(), line.end());
    EXPECT_TRUE(IsNameInSmallLetters(name)) << line;
    EXPECT_FALSE(IsNameInSmallLetters(name + u"qz")) << line;
    EXPECT_FALSE(IsNameInSmallLetters(CapitalisedName(name))) << line;
  }
  EXPECT_GT(names, 10000u);
  for (const std::u16string_view word : {u"", u"than", u"thant\u00e9", u"th", u"q"}) {
    EXPECT_FALSE(IsNameInSmallLetters(word));
  }
  EXPECT_FALSE(IsNameInSmallLetters(std::u16string(65, u'a')));
}

}  // namespace
}  // namespace lexivane::frontend
