#include "suggest/typing/typing_ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/custom_dictionary.h"
#include "engine/word_tables.h"
#include "lexivane/utf8.h"
#include "suggest/typing/offered_words.h"

namespace lexivane {
namespace {

// The embedded list, with a custom dictionary of one entry and a list of offered words.
const TypingDictionaries& Dictionaries() {
  static const CustomDictionary custom = [] {
    CustomDictionary words;
    words.Add(u"Zorblaxian");
    return words;
  }();
  static const OfferedWordIndex offered({u"namespace", u"GitHub"}, 60);
  static const OfferedWordIndex* const lists[] = {&offered};
  static const TypingDictionaries dictionaries = TypingDictionaries::OfEmbeddedList(&custom, lists);
  return dictionaries;
}

std::vector<TypingCandidate> Gather(std::u16string_view misspelling) {
  return GatherCandidates(Dictionaries(), misspelling);
}

std::string TextOf(const TypingCandidate& candidate) {
  if (!candidate.word.empty()) return ToUtf8(candidate.word);
  return std::string(Dictionaries().main.Word(candidate.index));
}

const TypingCandidate* Find(const std::vector<TypingCandidate>& candidates, std::string_view text) {
  const auto found = std::find_if(candidates.begin(), candidates.end(),
                                  [&](const TypingCandidate& c) { return TextOf(c) == text; });
  return found == candidates.end() ? nullptr : &*found;
}

// Each source brings the words it is for, marked as what they are.
TEST(TypingRanking, EachSourceBringsItsWords) {
  const struct {
    const char16_t* misspelling;
    const char* word;
    std::function<bool(const TypingCandidate&)> marked;
    const char* source;
  } cases[] = {
      {u"recieve", "receive", [](const auto& c) { return c.one_edit; }, "one edit"},
      {u"wrold", "world", [](const auto& c) { return c.one_edit; }, "a swap"},
      {u"acomodate", "accommodate", [](const auto& c) { return !c.one_edit; }, "two edits"},
      {u"nkwo", "know", [](const auto& c) { return !c.one_edit; }, "two swaps"},
      {u"fisicks", "physics", [](const auto& c) { return c.sound_edits <= 1; }, "sound"},
      {u"alot", "a lot", [](const auto& c) { return c.two_words && c.index < 0 && c.level > 0; },
       "'a' and a word"},
      {u"thankyou", "thank you", [](const auto& c) { return c.two_words; }, "two words"},
      {u"Zorblaxan", "Zorblaxian", [](const auto& c) { return c.one_edit && c.index < 0; },
       "custom, one edit"},
      {u"Zorblaksiann", "Zorblaxian", [](const auto& c) { return !c.one_edit; }, "custom, similar"},
      {u"ab", "a", [](const auto& c) { return c.one_edit; }, "one letter"},
      {u"namnespace", "namespace",
       [](const auto& c) { return c.one_edit && c.index < 0 && c.level == 60; }, "offered"},
      {u"postprocesing", "postprocessing", [](const auto& c) { return c.joined && c.index < 0; },
       "two words joined, one slipped"},
      {u"reimplementaions", "reimplementations", [](const auto& c) { return c.index < 0; },
       "two words joined, the first of two letters"},
      {u"implemememntation", "implementation", [](const auto& c) { return !c.one_edit; },
       "three edits, where nothing is nearer"},
      {u"the", "the", [](const auto& c) { return c.level == 10 && c.frequency == 15; }, "prior"},
  };
  for (const auto& c : cases) {
    const std::vector<TypingCandidate> candidates = Gather(c.misspelling);
    const TypingCandidate* found = Find(candidates, c.word);
    ASSERT_NE(found, nullptr) << c.source << ": " << c.word;
    EXPECT_TRUE(c.marked(*found)) << c.source << ": " << c.word;
  }
}

// A candidate is a word as it stands: an edit that the word check accepts only after cleaning
// ("under_'core" is "under" to it) is none.
TEST(TypingRanking, OnlyWordsAsTheyStand) {
  for (const char16_t* misspelling : {u"under_score", u"dont'", u"well-knwon"}) {
    for (const TypingCandidate& candidate : Gather(misspelling)) {
      const std::string text = TextOf(candidate);
      EXPECT_EQ(text.find('_'), std::string::npos) << text;
      EXPECT_FALSE(text.ends_with('\'') || text.ends_with('-'))
          << ToUtf8(misspelling) << ": " << text;
    }
  }
  EXPECT_TRUE(Gather(u"x").empty());
  EXPECT_TRUE(Gather(u"2024").empty());
}

// Each weight moves the candidates it weighs: of two that differ in what it reads, the one it
// charges comes second when it is large, first when it is as large the other way.
TEST(TypingRanking, EachWeightMovesWhatItWeighs) {
  const struct {
    const char* weight;
    float RankingWeights::*member;
    const char16_t* misspelling;
    std::function<bool(const TypingCandidate&)> charged;  // charged more by a larger weight
  } cases[] = {
      {"far", &RankingWeights::far, u"recieve", [](const auto& c) { return !c.one_edit; }},
      {"split", &RankingWeights::split, u"alot", [](const auto& c) { return c.two_words; }},
      {"joined", &RankingWeights::joined, u"apprators", [](const auto& c) { return c.joined; }},
      {"sound_one", &RankingWeights::sound_one, u"fisicks",
       [](const auto& c) { return c.sound_edits == 1; }},
      {"sound_far", &RankingWeights::sound_far, u"fisicks",
       [](const auto& c) { return c.sound_edits == 2; }},
      {"rare", &RankingWeights::rare, u"wrold", [](const auto& c) { return c.level > 10; }},
      {"common", &RankingWeights::common, u"wrold", [](const auto& c) { return c.frequency > 8; }},
      {"length", &RankingWeights::length, u"recieve", [](const auto& c) { return c.length != 7; }},
      {"last_letter", &RankingWeights::last_letter, u"recieve",
       [](const auto& c) { return c.last_letter != u'e'; }},
  };
  for (const auto& c : cases) {
    const std::vector<TypingCandidate> all = Gather(c.misspelling);
    const auto charged = std::find_if(all.begin(), all.end(), c.charged);
    const auto spared = std::find_if_not(all.begin(), all.end(), c.charged);
    ASSERT_TRUE(charged != all.end() && spared != all.end()) << c.weight;
    const std::vector<TypingCandidate> pair = {*charged, *spared};
    const auto first = [&](float value) {
      RankingWeights weights;
      weights.*c.member = value;
      return RankCandidates(Dictionaries().main, pair, c.misspelling, 2, weights).front();
    };
    const std::u16string charged_text = FromUtf8(TextOf(*charged));
    EXPECT_NE(first(100), charged_text) << c.weight;
    EXPECT_EQ(first(-100), charged_text) << c.weight;
  }
}

// The ranking leaves out candidates that cannot reach the first `most`: the first five are those
// of ranking every candidate.
TEST(TypingRanking, TheFirstFewAreThoseOfRankingEveryCandidate) {
  // Misspellings near and far, and one beyond ASCII, whose bounds come from the lengths alone.
  const std::u16string words[] = {u"teh",        u"recieve", u"fisicks",  u"acomodate",
                                  u"Chautogqwa", u"wrold",   u"thankyou", u"speling",
                                  u"ocasionaly", u"xqzv",    u"sentance", u"caf\u00e8s"};
  const PreparedTables& main = Dictionaries().main;
  for (const std::u16string& word : words) {
    const std::vector<TypingCandidate> candidates = Gather(word);
    std::vector<std::u16string> every = RankCandidates(main, candidates, word, SIZE_MAX);
    if (every.size() > 5) every.resize(5);
    EXPECT_EQ(RankCandidates(main, candidates, word, 5), every) << ToUtf8(word);
  }
}

}  // namespace
}  // namespace lexivane
