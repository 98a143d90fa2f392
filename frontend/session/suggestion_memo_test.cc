#include "frontend/session/suggestion_memo.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "frontend/session/spelling_session.h"
#include "lexivane/spell_check.h"

namespace lexivane::frontend {
namespace {

SuggestionList ListOf(std::vector<std::u16string> words) {
  return std::make_shared<const std::vector<std::u16string>>(std::move(words));
}

// The first list kept for a word is the one every later asker gets; a full memo starts afresh.
TEST(SuggestionMemo, KeepsTheFirstListUpToItsCapacity) {
  SuggestionMemo memo(2);
  EXPECT_EQ(memo.Find(u"teh"), nullptr);
  const SuggestionList first = memo.Remember(u"teh", ListOf({u"the"}));
  EXPECT_EQ(memo.Remember(u"teh", ListOf({u"ten"})), first);
  EXPECT_EQ(memo.Find(u"teh"), first);
  memo.Remember(u"wrold", ListOf({u"world"}));
  memo.Remember(u"teh", ListOf({u"tea"}));  // kept already: no room needed
  EXPECT_EQ(memo.Find(u"teh"), first);
  memo.Remember(u"speling", ListOf({u"spelling"}));
  EXPECT_EQ(memo.Find(u"teh"), nullptr);
  ASSERT_NE(memo.Find(u"speling"), nullptr);
  memo.Forget();
  EXPECT_EQ(memo.Find(u"speling"), nullptr);
}

// Sessions on two threads that share a memo search a word once: the second thread gets the
// first's list even where its own dictionaries would answer otherwise (which is why sharers
// must share their dictionaries' contents).
TEST(SuggestionMemo, SessionsOnTwoThreadsShareTheirLists) {
  const auto memo = std::make_shared<SuggestionMemo>(16);
  SuggestionList on_first, on_second;
  std::thread([&] {
    SpellCheck engine;
    engine.Init();
    engine.AddToCustom(u"qwxyz");
    on_first = SpellingSession(engine, 5, WordRules::All(), kDefaultRanking, true, memo)
                   .Suggestions(u"qwxyy");
  }).join();
  std::thread([&] {
    SpellCheck engine;
    engine.Init();
    on_second = SpellingSession(engine, 5, WordRules::All(), kDefaultRanking, true, memo)
                    .Suggestions(u"qwxyy");
  }).join();
  EXPECT_EQ(on_second, on_first);
  EXPECT_NE(std::find(on_first->begin(), on_first->end(), u"qwxyz"), on_first->end());
}

}  // namespace
}  // namespace lexivane::frontend
