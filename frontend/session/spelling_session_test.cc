#include "frontend/session/spelling_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "lexivane/letter_case.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/typing_suggestions.h"
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

// The session's lists are the ranking's own, the typing ranking unless the engine's own search
// is chosen; a name flagged for its small letters is offered as a name.
TEST(SpellingSession, SuggestionsComeInTheChosenRankingUpToTheMostAskedFor) {
  OnFreshThread([](SpellCheck& engine) {
    const struct {
      std::optional<Ranking> chosen;  // none: the default
      std::vector<std::u16string> (*ranked)(const SpellCheck&, std::u16string_view, std::size_t,
                                            bool);
    } rankings[] = {{std::nullopt, TypingSuggestions},
                    {Ranking::kTyping, TypingSuggestions},
                    {Ranking::kEngine, ShownSuggestions}};
    for (const auto& r : rankings) {
      SpellingSession two = r.chosen ? SpellingSession(engine, 2, WordRules::All(), *r.chosen)
                                     : SpellingSession(engine, 2);
      for (const char16_t* word : {u"Teh", u"TEH", u"wierd", u"xqzvbn"})
        EXPECT_EQ(*two.Suggestions(word), r.ranked(engine, word, 2, true)) << ToUtf8(word);
      EXPECT_EQ(Utf8List(two.Suggestions(u"TEH")).front(), "THE");
      const std::vector<std::string> name =
          Utf8List(SpellingSession(engine, 15, WordRules::All(), r.chosen.value_or(kDefaultRanking))
                       .Suggestions(u"thant"));
      EXPECT_NE(std::find(name.begin(), name.end(), "Thant"), name.end());
      EXPECT_EQ(std::find(name.begin(), name.end(), "thant"), name.end());
    }
  });
}

// None for no list asked for or a word past the cap: the search grows with the square of the
// length, so past it there is none, even where the custom dictionary holds a word just like it.
TEST(SpellingSession, NoSuggestionsForNoneAskedOrAWordTooLong) {
  OnFreshThread([](SpellCheck& engine) {
    const std::u16string longest = std::u16string(kLongestWordToSuggestFor - 1, u'e') + u'x';
    engine.AddToCustom(longest + u'y');
    engine.AddToCustom(longest.substr(1) + u'y');
    for (const Ranking ranking : {Ranking::kTyping, Ranking::kEngine}) {
      EXPECT_TRUE(
          SpellingSession(engine, 0, WordRules::All(), ranking).Suggestions(u"teh")->empty());
      EXPECT_EQ(SuggestionsToShow(engine, longest + u'z', 5, ranking).size(), 0u);
      EXPECT_FALSE(SuggestionsToShow(engine, longest.substr(1) + u'z', 5, ranking).empty());
    }
    EXPECT_FALSE(ShownSuggestions(engine, longest + u'z', 5).empty());
  });
}

// Sessions of two variants that share a memo each get their own variant's lists, and a session
// that changes its variant judges its words afresh.
TEST(SpellingSession, AVariantJudgesAndSuggestsApartFromTheOthers) {
  SpellCheck engine;
  engine.Init();
  const auto memo = std::make_shared<SuggestionMemo>(64);
  SpellingSession american(engine, 3, WordRules::All(), kDefaultRanking, true, memo);
  SpellingSession british(engine, 3, WordRules::All(), kDefaultRanking, true, memo);
  british.UseVariant(EnglishVariant::kBritish);
  EXPECT_EQ(american.Suggestions(u"colr")->front(), u"color");
  EXPECT_EQ(british.Suggestions(u"colr")->front(), u"colour");
  EXPECT_EQ(british.Suggestions(u"color")->front(), u"colour");
  EXPECT_EQ(british.Suggestions(u"organisaton")->front(), u"organisation");
  EXPECT_TRUE(american.Accepts(u"color"));
  EXPECT_FALSE(british.Accepts(u"color"));
  EXPECT_TRUE(british.Accepts(u"colour"));
  british.UseVariant(EnglishVariant::kAny);
  EXPECT_TRUE(british.Accepts(u"color"));
  EXPECT_TRUE(british.Accepts(u"colour"));
}

// Every list the session accepts is offered: the built-in ones as their rules allow, the
// project's, the tree's and the session's own words; sessions that share a memo and hold other
// lists each get their own.
TEST(SpellingSession, EveryListItAcceptsIsOffered) {
  SpellCheck engine;
  engine.Init();
  const auto memo = std::make_shared<SuggestionMemo>(64);
  const auto offers = [](SpellingSession& session, std::u16string_view misspelling,
                         std::u16string_view word) {
    const SuggestionList list = session.Suggestions(misspelling);
    return std::find(list->begin(), list->end(), word) != list->end();
  };
  SpellingSession plain(engine, 5, WordRules::All(), kDefaultRanking, true, memo);
  EXPECT_TRUE(offers(plain, u"chanelog", u"changelog"));  // the extra words
  EXPECT_TRUE(offers(plain, u"mallco", u"malloc"));       // the programming words
  SpellingSession bare(engine, 5, WordRules::All(), kDefaultRanking, true, memo);
  bare.UseProjectSettings(
      WordRules::All().Without(WordRule::kExtraWords).Without(WordRule::kCodeWords), nullptr);
  EXPECT_FALSE(offers(bare, u"chanelog", u"changelog"));
  EXPECT_FALSE(offers(bare, u"mallco", u"malloc"));

  SpellingSession project(engine, 5, WordRules::All(), kDefaultRanking, true, memo);
  auto words = std::make_shared<ProjectWords>();
  words->accepted = {u"frobnicator"};
  words->offered = OwnWordsOffered({u"frobnicator"});
  project.UseProjectSettings(WordRules::All(), words);
  auto learned = std::make_shared<LearnedWords>();
  learned->in_prose = {"quuxify"};
  learned->offered = OwnWordsOffered({u"quuxify"});
  project.UseLearnedWords(learned);
  project.AcceptForSession(u"Zorblax");
  for (const auto& [misspelling, word] : {std::pair{u"frobnicatr", u"frobnicator"},
                                          {u"quuxfy", u"quuxify"},
                                          {u"zorblx", u"zorblax"}}) {
    EXPECT_TRUE(offers(project, misspelling, word)) << ToUtf8(word);
    EXPECT_FALSE(offers(plain, misspelling, word)) << ToUtf8(word);
  }
}

}  // namespace
}  // namespace lexivane::frontend
