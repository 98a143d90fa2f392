#include "textcheck/word_scanner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lexivane {
namespace {

using Tokens = std::vector<std::pair<std::u16string, std::int32_t>>;

Tokens Walk(std::u16string_view text) {
  Tokens tokens;
  ForEachToken(text, [&](std::u16string_view token, std::int32_t position) {
    tokens.emplace_back(token, position);
  });
  return tokens;
}

TEST(WordScanner, FindNextDelimiterBounds) {
  EXPECT_EQ(FindNextDelimiter(5, u"abc"), -1);
  EXPECT_EQ(FindNextDelimiter(4, u"abc"), -1);
  EXPECT_EQ(FindNextDelimiter(3, u"abc"), 4);
  EXPECT_EQ(FindNextDelimiter(0, u"abc"), -1);
  EXPECT_EQ(FindNextDelimiter(1, u""), -1);
  EXPECT_EQ(FindNextDelimiter(2, u"a b"), 2);
}

TEST(WordScanner, TokensAndTheirPositions) {
  EXPECT_EQ(Walk(u"hello, world."), (Tokens{{u"hello", 1}, {u"", 7}, {u"world", 8}}));
  EXPECT_EQ(Walk(u"one\r\ntwo"), (Tokens{{u"one", 1}, {u"", 5}, {u"two", 6}}));
  EXPECT_EQ(Walk(u"\tword"), (Tokens{{u"", 1}, {u"word", 2}}));
  EXPECT_EQ(Walk(u"."), (Tokens{{u"", 1}}));
  EXPECT_EQ(Walk(u"   "), (Tokens{{u"", 1}, {u"", 2}, {u"", 3}}));
  EXPECT_TRUE(Walk(u"").empty());
  // What stays inside a token.
  EXPECT_EQ(Walk(u"don't"), (Tokens{{u"don't", 1}}));
  EXPECT_EQ(Walk(u"e-mail"), (Tokens{{u"e", 1}, {u"mail", 3}}));
  EXPECT_EQ(Walk(u"3.5"), (Tokens{{u"3", 1}, {u"5", 3}}));
  EXPECT_EQ(Walk(u"e.g."), (Tokens{{u"e", 1}, {u"g", 3}}));
  EXPECT_EQ(Walk(u"caf\u00e9 na\u00efve"), (Tokens{{u"caf\u00e9", 1}, {u"na\u00efve", 6}}));
  EXPECT_EQ(Walk(u"\u201cquoted text\u201d"), (Tokens{{u"\u201cquoted", 1}, {u"text\u201d", 9}}));
  // Positions count code units: a character outside the basic plane takes two.
  EXPECT_EQ(Walk(u"\U0001F600x y"), (Tokens{{u"\U0001F600x", 1}, {u"y", 5}}));
}

}  // namespace
}  // namespace lexivane
