#include "frontend/pipeline/word_context.h"

#include <gtest/gtest.h>

namespace lexivane::frontend {
namespace {

TEST(WordContext, WhatTheCharactersBeforeAWordShowItToBe) {
  using enum WordInContext;
  const struct {
    std::string_view before, word;
    WordInContext context;
  } cases[] = {
      {"color: #", "fff", kNoWord},
      {"#", "FfAa", kNoWord},
      {"#", "deadbe", kNoWord},
      {"#", "deadbeef", kNoWord},
      {"#", "ffff0", kWord},
      {"#", "fffff", kWord},
      {"#", "face", kNoWord},
      {"x", "fff", kWord},
      {"printf(\"%", "lu", kNoWord},
      {"%-08.3", "lld", kNoWord},
      {"%+#", "s", kNoWord},
      {"%*", "zx", kNoWord},
      {"%%", "lu", kWord},
      {"100% ", "lu", kWord},
      {"%", "lux", kWord},
      {"%", "ls", kNoWord},
      {"\"\\", "nHello", kAfterEscape},
      {"\\", "tWorld", kAfterEscape},
      {"\\\\", "nHello", kWord},
      {"\\", "nhello", kWord},
      {"\\", "xHello", kWord},
      {"\\", "n", kWord},
      {"", "fff", kWord},
      {"Thanks @", "phprus", kNoWord},
      {"(@", "Vladislav", kNoWord},
      {"@", "Override", kNoWord},
      {"user@", "exmaple", kWord},
      {"1@", "exmaple", kWord},
      {"@ ", "wrold", kWord},
      {"E&", "xit", kAfterKeyLetter},
      {"(y)", "es", kAfterKeyLetter},
      {" s)", "ubject", kAfterKeyLetter},
      {"[q]", "uit", kAfterKeyLetter},
      {"ab&", "xit", kWord},
      {"2)", "es", kWord},
      {"&", "xit", kWord},
      {"y}", "es", kWord},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContextOf(c.before, c.word, WordRules::All()), c.context) << c.before << c.word;
    const std::u16string wide(c.before.begin(), c.before.end());
    EXPECT_EQ(ContextOf(std::u16string_view(wide), c.word, WordRules::All()), c.context)
        << c.before << c.word;
    EXPECT_EQ(ContextOf(c.before, c.word, WordRules::None()), kWord) << c.before << c.word;
  }
}

}  // namespace
}  // namespace lexivane::frontend
