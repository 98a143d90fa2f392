// For the filters' tests: the words the running-word rule finds in a text, space-separated, and
// a filter run held to the contract of HideNonProse on the way.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>
#include <string_view>

#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {

inline std::string JoinedRunningWords(std::u16string_view text) {
  std::string words;
  ForEachRunningWord(text, [&](const RunningWord& word) {
    if (!words.empty()) words += ' ';
    words += ToUtf8(word.word);
  });
  return words;
}

// What a filter may put in place of what it hides: blanks only (the code modes, addresses); also
// characters that sequences stand for, with word joiners (the markup modes); or, for TeX and
// nroff, only blanks, word joiners and letters that a word joiner follows.
enum class FilterChanges { kBlanksOnly, kBlanksAndCharacters, kBlanksAndJoinedLetters };

// Runs `filter` over `text`, expects the text's length kept, its line breaks where they were and
// no new ones, and every other change one that `changes` allows; returns the words left.
template <typename Filter>
std::string FilteredWords(Filter filter, std::u16string text, FilterChanges changes) {
  const std::u16string original = text;
  filter(text);
  EXPECT_EQ(text.size(), original.size()) << ToUtf8(original);
  for (std::size_t i = 0; i < text.size() && i < original.size(); ++i) {
    const bool line_break = original[i] == u'\n' || original[i] == u'\r';
    if (line_break || text[i] == u'\n' || text[i] == u'\r') {
      EXPECT_EQ(text[i], original[i]) << ToUtf8(original) << " @" << i;
    } else if (changes == FilterChanges::kBlanksOnly && text[i] != original[i]) {
      EXPECT_EQ(text[i], u' ') << ToUtf8(original) << " @" << i;
    } else if (changes == FilterChanges::kBlanksAndJoinedLetters && text[i] != original[i] &&
               text[i] != u' ' && text[i] != kWordJoiner) {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == kWordJoiner)
          << ToUtf8(original) << " @" << i;
    }
  }
  return JoinedRunningWords(text);
}

using TextFilter = void (*)(std::u16string&);

// A row of a filter's table: a text (UTF-8 for code, UTF-16 for markup) and the words the filter
// leaves of it, space-separated.
struct CodeCase {
  std::string text;
  std::string words;
};
struct MarkupCase {
  std::u16string text;
  std::string words;
};

inline std::string WordsLeft(TextFilter filter, const std::string& utf8) {
  return FilteredWords(filter, FromUtf8(utf8), FilterChanges::kBlanksOnly);
}
inline void Expect(TextFilter filter, std::initializer_list<CodeCase> cases) {
  for (const CodeCase& c : cases) EXPECT_EQ(WordsLeft(filter, c.text), c.words) << c.text;
}
inline void ExpectWords(TextFilter filter, std::initializer_list<MarkupCase> cases,
                        FilterChanges changes = FilterChanges::kBlanksAndCharacters) {
  for (const MarkupCase& c : cases) {
    EXPECT_EQ(FilteredWords(filter, c.text, changes), c.words) << ToUtf8(c.text);
  }
}

// Runs `filter` over a few thousand short random texts made of `alphabet`, each held to the
// contract as FilteredWords holds it: the filter must keep it on any input, and end.
inline void ExpectContractOnRandomText(TextFilter filter, std::u16string_view alphabet,
                                       FilterChanges changes) {
  std::mt19937 random(19);
  for (int round = 0; round < 3000 && !::testing::Test::HasFailure(); ++round) {
    std::u16string text(random() % 40, u' ');
    for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
    FilteredWords(filter, text, changes);
  }
}

}  // namespace lexivane::frontend
