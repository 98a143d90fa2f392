#include "lexivane/typing_suggestions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <latch>
#include <set>
#include <thread>

#include "lexivane/utf8.h"

namespace lexivane {
namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Not;

std::vector<std::string> Utf8(const std::vector<std::u16string>& words) {
  std::vector<std::string> out;
  for (const auto& word : words) out.push_back(ToUtf8(word));
  return out;
}

// The likeliest correction first, in the word's letter case; the custom dictionary's words
// among the candidates; nothing for what the engine gives nothing for; at most `most`, each once.
TEST(TypingSuggestions, RankedInTheWordsCase) {
  SpellCheck engine;
  engine.Init();
  const struct {
    const char16_t* word;
    const char* first;
  } firsts[] = {
      {u"teh", "the"},          {u"Teh", "The"},           {u"TEH", "THE"},
      {u"recieve", "receive"},  {u"seperate", "separate"}, {u"acomodate", "accommodate"},
      {u"occured", "occurred"}, {u"thier", "their"},
  };
  for (const auto& c : firsts) {
    const std::vector<std::string> found = Utf8(TypingSuggestions(engine, c.word));
    ASSERT_FALSE(found.empty()) << c.first;
    EXPECT_EQ(found.front(), c.first);
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()).size(), found.size());
    // The same first word, with its cost: a slip of a common word costs well below zero.
    const std::optional<TypingCorrection> likeliest = LikeliestCorrection(engine, c.word);
    ASSERT_TRUE(likeliest.has_value());
    EXPECT_EQ(ToUtf8(likeliest->word), c.first);
    EXPECT_LT(likeliest->cost, -4.0f) << c.first;
  }
  // A made-up word lies further from its likeliest correction than any slip above.
  EXPECT_GT(LikeliestCorrection(engine, u"ctx")->cost, -4.0f);
  EXPECT_FALSE(LikeliestCorrection(engine, u"1234").has_value());
  EXPECT_THAT(TypingSuggestions(engine, u"a"), IsEmpty());
  EXPECT_THAT(TypingSuggestions(engine, u"1234"), IsEmpty());
  EXPECT_EQ(TypingSuggestions(engine, u"teh", 3).size(), 3u);

  engine.AddToCustom(u"Zorblaxian");
  EXPECT_THAT(Utf8(TypingSuggestions(engine, u"Zorblaxan")), Contains("Zorblaxian"));
  EXPECT_THAT(Utf8(TypingSuggestions(engine, u"Zorblaxan", 15, false)),
              Not(Contains("Zorblaxian")));

  // The word as it is written is no correction of it.
  for (const char16_t* word : {u"there", u"There", u"THERE"}) {
    EXPECT_THAT(TypingSuggestions(engine, word), Not(Contains(std::u16string(word))));
  }
}

// Threads that rank at once, each on its own engine with a custom word of its own, get exactly
// what each gets alone; the threads start together, so in a process of its own the first use of
// the shared sound index is raced as well.
TEST(TypingSuggestions, ThreadsAtOnceGetTheAnswersOfOneThread) {
  constexpr std::size_t kThreads = 4;
  const std::u16string words[] = {u"teh",     u"TEH",       u"recieve",    u"wierd",
                                  u"speling", u"acomodate", u"Zorblaxian", u"zorblaxian"};
  const auto custom_word = [](std::size_t thread) {
    return u"Zorblaxian" + std::u16string(1, static_cast<char16_t>(u'a' + thread));
  };
  // Every answer of one thread, the custom dictionary's words taken in and left out.
  using Answers = std::vector<std::vector<std::u16string>>;
  const auto answers = [&](SpellCheck& engine) {
    Answers found;
    for (const std::u16string& word : words) {
      for (const bool check_custom : {true, false})
        found.push_back(TypingSuggestions(engine, word, kShownSuggestionsMax, check_custom));
    }
    return found;
  };

  std::vector<std::vector<Answers>> at_once(kThreads);  // three rounds a thread
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      SpellCheck engine;
      engine.Init();
      engine.AddToCustom(custom_word(t));
      start.arrive_and_wait();
      for (int round = 0; round < 3; ++round) at_once[t].push_back(answers(engine));
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (std::size_t t = 0; t < kThreads; ++t) {
    Answers alone;
    std::thread([&] {
      SpellCheck engine;
      engine.Init();
      engine.AddToCustom(custom_word(t));
      alone = answers(engine);
    }).join();
    // Zorblaxian with the custom words taken in offers the thread's own.
    EXPECT_THAT(Utf8(alone[12]), Contains(ToUtf8(custom_word(t)))) << t;
    for (const Answers& round : at_once[t]) EXPECT_EQ(round, alone) << "thread " << t;
  }
}

}  // namespace
}  // namespace lexivane
