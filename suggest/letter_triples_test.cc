#include "suggest/letter_triples.h"

#include <gtest/gtest.h>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"

namespace lexivane {
namespace {

// Every listed word may be listed, and so may a string of common runs; runs no English word
// holds, at the edges too, rule a string out.
TEST(LetterTriples, RuleOutOnlyWhatNoListedWordHolds) {
  const PreparedTables& tables = SharedMainTables();
  const LetterTriples& triples = SharedLetterTriples();
  for (std::int32_t i = 0; i < tables.word_count(); ++i) {
    ASSERT_TRUE(triples.MayBeListed(tables.Word(i))) << tables.Word(i);
  }
  EXPECT_TRUE(triples.MayBeListed("recieve"));  // no word, but every run is common
  for (const char* word : {"tqe", "qqa", "aaq'", "-ab", "ab-", "zxqv"}) {
    EXPECT_FALSE(triples.MayBeListed(word)) << word;
  }
}

}  // namespace
}  // namespace lexivane
