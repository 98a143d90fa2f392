#include "frontend/pipeline/word_context.h"

#include <gtest/gtest.h>

namespace lexivane::frontend {
namespace {

TEST(WordContext, WhatTheCharactersAroundAWordShowItToBe) {
  using enum WordInContext;
  const struct {
    std::string_view before, word;
    WordInContext context;
    std::string_view after = {};
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
      {"use -", "execdir", kInOption},
      {"(--", "max-procs", kInOption},
      {"--jobserver-", "fds", kInOption},
      {"-", "x", kInOption},
      {"well-", "known", kWord},
      {"---", "x", kWord},
      {"-9", "x", kWord},
      {"a/-", "x", kWord},
      {"", "getent", kNoWord, "(1),"},
      {"", "updatedb", kNoWord, " (5)"},
      {"", "printf", kNoWord, "   (3p)"},
      {"", "teh", kWord, "(x)"},
      {"", "teh", kWord, "(1"},
      {"", "teh", kWord, "     (1)"},
      {"", "teh", kWord, "(1abcde)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ContextOf(c.before, c.word, WordRules::All(), c.after), c.context)
        << c.before << c.word;
    const std::u16string wide(c.before.begin(), c.before.end());
    const std::u16string wide_after(c.after.begin(), c.after.end());
    EXPECT_EQ(ContextOf(std::u16string_view(wide), c.word, WordRules::All(),
                        std::u16string_view(wide_after)),
              c.context)
        << c.before << c.word;
    EXPECT_EQ(ContextOf(c.before, c.word, WordRules::None(), c.after), kWord) << c.before << c.word;
  }
  // A man page's `\-\-verbose` is read with word joiners after the minus signs.
  EXPECT_EQ(ContextOf(std::u16string_view(u" -\u2060-\u2060"), "verbose", WordRules::All()),
            WordInContext::kInOption);
}

}  // namespace
}  // namespace lexivane::frontend
