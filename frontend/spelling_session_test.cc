#include "frontend/spelling_session.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "lexivane/letter_case.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

// The custom dictionary belongs to the thread, so each test runs on a fresh one.
template <typename Body>
void OnFreshThread(Body body) {
  std::thread([&] {
    SpellCheck engine;
    engine.Init();
    body(engine);
  }).join();
}

std::vector<std::string> Utf8List(const SuggestionList& list) {
  std::vector<std::string> out;
  for (const std::u16string& word : *list) out.push_back(ToUtf8(word));
  return out;
}

// Words added or accepted count at once, for words judged before as well.
TEST(SpellingSession, WordsAddedOrAcceptedCountForWordsJudgedBefore) {
  OnFreshThread([](SpellCheck& engine) {
    SpellingSession session(engine, 5);
    EXPECT_FALSE(session.Accepts(u"wrold"));
    EXPECT_TRUE(session.Suggestions(u"wrold")->size() > 0);
    session.AddToCustom(u"wrold");
    EXPECT_TRUE(session.Accepts(u"wrold"));
    EXPECT_TRUE(session.Accepts(u"WROLD"));
    EXPECT_FALSE(session.Accepts(u"helo"));
    session.AcceptForSession(u"HeLo");
    EXPECT_TRUE(session.Accepts(u"helo"));
    EXPECT_FALSE(engine.CheckWord(u"helo"));  // the session's own, not the engine's
    EXPECT_EQ(session.added_words(), std::vector<std::u16string>{u"wrold"});
  });
}

// A word accepted for the session is matched as the engine matches its custom dictionary.
TEST(SpellingSession, SessionWordsFoldCaseAsTheEngineDoes) {
  const std::u16string words[] = {u"\u0130zmirx",  u"izmirx",      u"IZMIRX",
                                  u"Stra\u00DFex", u"STRASSEX",    u"\u03A3igmax",
                                  u"\u03C3igmax",  u"\u03C2igmax", u"\u01C4ax"};
  for (const std::u16string& added : words) {
    std::vector<bool> by_session, by_engine;
    OnFreshThread([&](SpellCheck& engine) {
      SpellingSession session(engine, 0);
      session.AcceptForSession(added);
      for (const std::u16string& asked : words) by_session.push_back(session.Accepts(asked));
    });
    OnFreshThread([&](SpellCheck& engine) {
      engine.AddToCustom(added);
      for (const std::u16string& asked : words) by_engine.push_back(engine.CheckWord(asked));
    });
    EXPECT_EQ(by_session, by_engine) << ToUtf8(added);
  }
}

TEST(SpellingSession, SuggestionsComeInTheWordsLetterCaseUpToTheMostAskedFor) {
  OnFreshThread([](SpellCheck& engine) {
    SpellingSession two(engine, 2);
    EXPECT_EQ(Utf8List(two.Suggestions(u"Teh")), (std::vector<std::string>{"The", "Tee"}));
    EXPECT_EQ(Utf8List(two.Suggestions(u"TEH")), (std::vector<std::string>{"THE", "TEE"}));
    SpellingSession none(engine, 0);
    EXPECT_TRUE(none.Suggestions(u"teh")->empty());
    // The search grows with the square of the length: past the cap there is none, even where
    // the custom dictionary holds a word just like it.
    const std::u16string longest = std::u16string(kLongestWordToSuggestFor - 1, u'e') + u'x';
    engine.AddToCustom(longest + u'y');
    engine.AddToCustom(longest.substr(1) + u'y');
    EXPECT_EQ(SuggestionsToShow(engine, longest + u'z', 5).size(), 0u);
    EXPECT_FALSE(ShownSuggestions(engine, longest + u'z', 5).empty());
    EXPECT_FALSE(SuggestionsToShow(engine, longest.substr(1) + u'z', 5).empty());
  });
}

}  // namespace
}  // namespace lexivane::frontend
