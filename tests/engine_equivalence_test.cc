// The fast engine against the plain one (tests/reference): the same word-check answers and the
// same suggestion lists, in the same order, on real misspellings and on text.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "engine/prepared_tables.h"
#include "lexivane/spell_check.h"
#include "platform/files.h"
#include "platform/module.h"
#include "platform/text.h"
#include "tests/reference/plain_engine.h"
#include "tests/test_support.h"
#include "textcheck/word_scanner.h"

namespace lexivane {
namespace {

reference::PlainEngine LoadedPlainEngine() {
  const PreparedTables prepared(platform::EmbeddedPreparedTables());
  reference::PlainEngine plain(prepared.word_count());
  plain.LoadDictionary(platform::EmbeddedWordList());
  return plain;
}

// A word as a failure names it: long ones by their start and length.
std::string Describe(std::u16string_view word, float threshold, bool check_custom) {
  std::string text = testing::Utf8(word.substr(0, 60));
  if (word.size() > 60) text += "... (" + std::to_string(word.size()) + " units)";
  return text + " at " + std::to_string(threshold) + (check_custom ? ", custom" : "");
}

// Both engines at the same threshold; the output starts non-empty, so that both must clear it.
void ExpectSameSuggestions(SpellCheck& fast, const reference::PlainEngine& plain,
                           const std::u16string& word, bool check_custom) {
  std::vector<std::u16string> fast_out{u"sentinel"}, plain_out{u"sentinel"};
  const std::int32_t fast_n = fast.GetSuggestions(word, fast_out, check_custom);
  const std::int32_t plain_n = plain.GetSuggestions(word, plain_out, check_custom);
  const std::string what = Describe(word, plain.SimilarityThreshold, check_custom);
  ASSERT_EQ(fast_n, plain_n) << what;
  ASSERT_EQ(fast_out, plain_out) << what;
}

// `length` random lower-case letters after `first`; the same on every run.
std::u16string RandomLetters(char16_t first, std::size_t length) {
  std::mt19937 random(static_cast<unsigned>(length));
  std::uniform_int_distribution<int> letter(0, 25);
  std::u16string word(1, first);
  while (word.size() < length) word += static_cast<char16_t>(u'a' + letter(random));
  return word;
}

std::u16string Repeated(std::u16string_view piece, std::size_t length) {
  std::u16string word;
  while (word.size() < length) word += piece;
  word.resize(length);
  return word;
}

class EngineEquivalence : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { plain_ = new reference::PlainEngine(LoadedPlainEngine()); }
  static void TearDownTestSuite() { delete plain_; }

  // Runs `body` on a thread of its own whose custom dictionary holds a few words and
  // `more_custom`, so that no other test sees them.
  void OnLoadedThread(const std::function<void()>& body,
                      const std::vector<std::u16string>& more_custom = {}) {
    testing::OnFreshThread([&] {
      SpellCheck fast;
      fast.Init();
      plain_->CustomWords.assign(std::begin(custom_words_), std::end(custom_words_));
      plain_->CustomWords.insert(plain_->CustomWords.end(), more_custom.begin(), more_custom.end());
      for (const std::u16string& word : plain_->CustomWords) fast.AddToCustom(word);
      fast_ = &fast;
      body();
      fast_ = nullptr;
    });
  }

  void ExpectSameSuggestions(const std::u16string& word, float threshold,
                             std::initializer_list<bool> custom_modes = {true, false}) {
    fast_->SetSuggestionSimilarity(threshold);
    plain_->SimilarityThreshold = fast_->SuggestionSimilarity();
    for (bool check_custom : custom_modes) {
      ASSERT_NO_FATAL_FAILURE(lexivane::ExpectSameSuggestions(*fast_, *plain_, word, check_custom));
    }
  }

  static inline reference::PlainEngine* plain_ = nullptr;
  // Custom words that splits and custom suggestions can find.
  static constexpr std::u16string_view custom_words_[] = {u"Lexivane", u"teh", u"Wrod", u"xx"};
  SpellCheck* fast_ = nullptr;
};

// The Birkbeck sample at the default threshold, and a share of another corpus at other ones.
TEST_F(EngineEquivalence, SuggestionsOnCorpora) {
  const auto sample = testing::ReadCorpus("birkbeck-sample.tsv");
  const auto rows = testing::ReadCorpus("aspell.tsv");
  OnLoadedThread([&] {
    for (const auto& row : sample) {
      ExpectSameSuggestions(lexivane::FromUtf8(row.misspelling), 0.8f, {true});
    }
    for (float threshold : {0.0f, 0.5f, 0.7f, 0.95f, 0.96f, 1.0f}) {
      for (std::size_t i = 0; i < rows.size(); i += threshold == 0.0f ? 53 : 7) {
        ExpectSameSuggestions(lexivane::FromUtf8(rows[i].misspelling), threshold);
      }
    }
  });
}

TEST_F(EngineEquivalence, SuggestionsForOddInput) {
  OnLoadedThread([&] {
    for (auto word : {u"@@", u"a b c d", u"x-ray's", u"''tis''", u"CAF\u00c9S", u"\u00e9t\u00e9",
                      u"2nd", u"abc123def", u"teh teh", u"wrodlexivane", u"qqqqqqqqqqqq"}) {
      ExpectSameSuggestions(word, 0.8f);
      ExpectSameSuggestions(word, 0.0f);
    }
  });
}

// A long word's splits are settled by its parts' lengths and characters: a part longer than
// every main-list and custom entry is unknown unless cleaning shortens it. These words put parts
// on either side of the longest entry (23 units), of custom entries longer than it, and of what
// hyphens, apostrophes, digits and blanks make of a part; the long ones also cross the length
// at which a window word's ratio can still reach the threshold.
TEST_F(EngineEquivalence, SuggestionsForLongWords) {
  const std::u16string long_custom = RandomLetters(u'q', 300);
  // Custom words as long as the word have their ratio bounded by a common subsequence first:
  // the 1,000-letter words below are that entry with every 4th or 5th letter made a "q" (ratio
  // and bound 0.76 and 0.811), another start with the same letters after it, and repeated words.
  const std::u16string long_custom_1000 = RandomLetters(u'r', 1000);
  const auto every_nth_q = [&](std::size_t stride) {
    std::u16string word = long_custom_1000;
    for (std::size_t i = 1; i < word.size(); i += stride) word[i] = u'q';
    return word;
  };
  // An entry in capitals has no subsequence in common with its word in small letters, and is
  // offered all the same.
  const std::u16string lower_100 = RandomLetters(u'u', 100);
  const std::vector<std::u16string> more_custom = {u"Pneumonoultramicroscopicsilicovolcanoconiosis",
                                                   long_custom, long_custom_1000,
                                                   lexivane::platform::ToUpper(lower_100)};
  std::vector<std::u16string> words = {
      u"electroencephalograph'sat",
      u"atelectroencephalograph's",
      u"counterrevolutionariesat",
      u"counterrevolutionariescounterrevolutionaries",
      u"electroencephalographselectroencephalograph",
      u"xxxxxxxxxxxxxxxxxxxxxxxx's",
      u"pneumonoultramicroscopicsilicovolcanoconiosisat",
      u"atpneumonoultramicroscopicsilicovolcanoconiosis",
      u"at" + long_custom,
      long_custom + u"at",
      long_custom.substr(0, 299) + u"x",
      lower_100,
      u"at" + Repeated(u"-", 40) + u"at",
      u"at" + Repeated(u"'", 40) + u"a's",
      u"at" + Repeated(u"1", 40),
      Repeated(u"1", 40) + u"at",
      u"1" + Repeated(u"at", 20) + u"1",
      u"at" + Repeated(u" ", 30) + u"at",
      u"new book" + Repeated(u" ", 30) + u"ox",
      Repeated(u"ab-", 30),
      Repeated(u"it's", 12),
      Repeated(u"@_{", 12),
  };
  for (std::size_t length : {24, 25, 26, 34, 35, 36, 46, 47, 48, 49}) {
    words.push_back(Repeated(u"electroencephalographs", length));
    words.push_back(RandomLetters(u'e', length));
  }
  OnLoadedThread(
      [&] {
        for (const std::u16string& word : words) {
          for (float threshold : {0.0f, 0.8f, 1.0f}) ExpectSameSuggestions(word, threshold);
        }
        // At 1,000 letters a window word's ratio reaches at most 46 / 1023, about 0.045.
        for (const std::u16string& word :
             {RandomLetters(u'x', 1000), Repeated(u"xenon", 1000), Repeated(u"because", 1000),
              every_nth_q(4), every_nth_q(5)}) {
          for (float threshold : {0.0f, 0.04f, 0.05f, 0.8f, 1.0f}) {
            ExpectSameSuggestions(word, threshold);
          }
        }
        // The longest words suggestions are made for; "z" has no window, "x" a small one.
        for (const std::u16string& word : {RandomLetters(u'z', 32767), Repeated(u"xenon", 16000)}) {
          ExpectSameSuggestions(word, 0.8f, {true});
        }
      },
      more_custom);
}

TEST_F(EngineEquivalence, WordChecksOnText) {
  std::ifstream in(testing::SharedDir() / "bench" / "texts" / "big.txt");
  std::stringstream text;
  text << in.rdbuf();
  std::set<std::u16string> tokens;
  ForEachToken(lexivane::FromUtf8(text.str()),
               [&](std::u16string_view token, std::int32_t) { tokens.emplace(token); });
  ASSERT_GT(tokens.size(), 30000u);
  OnLoadedThread([&] {
    for (const std::u16string& token : tokens) {
      for (bool check_custom : {true, false}) {
        ASSERT_EQ(fast_->CheckWord(token, check_custom), plain_->CheckWord(token, check_custom))
            << testing::Utf8(token);
      }
    }
  });
}

// Every row of every corpus. It takes a few minutes, so it is disabled in the unit test run and
// registered with CTest on its own (tests/CMakeLists.txt), for the release build only.
TEST(EngineEquivalenceCorpora, DISABLED_EveryRowOfEveryCorpus) {
  const reference::PlainEngine plain = LoadedPlainEngine();
  std::vector<std::u16string> words;
  for (auto corpus : {"birkbeck.tsv", "holbrook.tsv", "aspell.tsv", "wikipedia-mitton.tsv",
                      "norvig-testset1.tsv", "norvig-testset2.tsv",
                      "wikipedia-for-machines-2010.tsv", "wikipedia-for-machines-2018.tsv"}) {
    for (const auto& row : testing::ReadCorpus(corpus)) {
      words.push_back(lexivane::FromUtf8(row.misspelling));
    }
  }
  ASSERT_GT(words.size(), 50000u);

  // The plain engine is only read, so both halves share it; each thread loads its own tables.
  auto compare_every_other = [&](std::size_t first) {
    SpellCheck fast;
    fast.Init();
    for (std::size_t i = first; i < words.size(); i += 2) {
      ASSERT_NO_FATAL_FAILURE(ExpectSameSuggestions(fast, plain, words[i], true));
    }
  };
  std::thread other(compare_every_other, 1);
  compare_every_other(0);
  other.join();
}

}  // namespace
}  // namespace lexivane
