#include "frontend/session/word_verdicts.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

// Words that differ in one byte at each place the short keys and the hash read, across the
// lengths where they change how they read, and enough generated ones to outgrow the table.
std::vector<std::string> Words() {
  std::vector<std::string> words = {
      "",    "a",     "I",    "x",           "the",          "teh",         "The",
      "THE", "don't", "dont", "caf\xC3\xA9", "na\xC3\xAFve", "cafe\xCC\x81"};
  for (const std::string base : {"comprehensively", "wrdl", "counterrevolutionaries"}) {
    for (std::size_t length = 1; length <= base.size(); ++length) {
      const std::string word = base.substr(0, length);
      words.push_back(word);
      for (std::size_t at = 0; at < length; ++at) {
        std::string changed = word;
        changed[at] = changed[at] == 'q' ? 'z' : 'q';
        words.push_back(changed);
      }
    }
  }
  std::mt19937 random(7);
  std::uniform_int_distribution<int> letter('a', 'z'), length(1, 12);
  for (int i = 0; i < 150'000; ++i) {
    std::string word;
    for (int n = length(random); n > 0; --n) word += static_cast<char>(letter(random));
    words.push_back(word);
  }
  return words;
}

// Each word asked twice (the second answer comes from the table), in both keyings.
TEST(WordVerdicts, AnswerAsTheEngineDoes) {
  SpellCheck engine;
  engine.Init();
  WordVerdicts in_utf16(engine);
  Utf8WordVerdicts in_utf8(engine);
  const std::vector<std::string> words = Words();
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::string& word : words) {
      const std::u16string wide = FromUtf8(word);
      const bool expected = engine.CheckWord(wide);
      ASSERT_EQ(in_utf16.Accepts(wide), expected) << word << " pass " << pass;
      ASSERT_EQ(in_utf8.Accepts(word), expected) << word << " pass " << pass;
    }
  }
}

// A token longer than any word is judged each time and never kept, in both keyings.
TEST(WordVerdicts, KeepNoTokenLongerThanAWord) {
  int judged = 0;
  const auto judge = [&](std::u16string_view) { return ++judged, false; };
  WordVerdicts in_utf16(judge);
  Utf8WordVerdicts in_utf8(judge);
  const std::string longest(Utf8WordVerdicts::kLongestRemembered, 'q');
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::string& word : {longest, longest + 'q'}) {
      in_utf8.Accepts(word);
      in_utf16.Accepts(FromUtf8(word));
    }
  }
  EXPECT_EQ(judged, 2 + 2 * 2);
}

// Room made for more words, before any and among them, keeps every verdict and asks the judge
// about no word twice.
TEST(WordVerdicts, ReserveKeepsTheVerdicts) {
  int judged = 0;
  const auto judge = [&](std::u16string_view word) { return ++judged, word.size() % 2 == 0; };
  Utf8WordVerdicts verdicts(judge);
  verdicts.Reserve(3);
  const std::vector<std::string> words = Words();
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i == 100 || i == 5'000) verdicts.Reserve(i * 30);
    verdicts.Accepts(words[i]);
  }
  const int asked = judged;
  for (const std::string& word : words) {
    ASSERT_EQ(verdicts.Accepts(word), FromUtf8(word).size() % 2 == 0) << word;
  }
  EXPECT_EQ(judged, asked + 1);  // the empty word alone, never kept
}

}  // namespace
}  // namespace lexivane::frontend
