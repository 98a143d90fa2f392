#include "textcheck/replace_word.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/reference/plain_replace_word.h"

namespace lexivane {
namespace {

std::u16string Units(std::initializer_list<char16_t> units) {
  return std::u16string(units);
}

// Code units in hex, since the random texts hold unpaired surrogates that UTF-8 cannot show.
std::string Hex(std::u16string_view text) {
  std::string out = "[";
  for (char16_t unit : text) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, " %04X", static_cast<unsigned>(unit));
    out += buffer;
  }
  return out + " ]";
}

// --- Word characters ---------------------------------------------------------------------------

TEST(ReplaceWordCharacters, AsciiLettersDigitsUnderscoreDelAndSomeControls) {
  std::u16string expected;
  for (char16_t c = u'A'; c <= u'Z'; ++c) expected += c;
  for (char16_t c = u'a'; c <= u'z'; ++c) expected += c;
  for (char16_t c = u'0'; c <= u'9'; ++c) expected += c;
  for (char16_t c = 0x10; c <= 0x19; ++c) expected += c;
  expected += u'_';
  expected += char16_t{0x7F};
  std::u16string found;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (IsReplaceWordCharacter(static_cast<char16_t>(c))) found += static_cast<char16_t>(c);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Hex(found), Hex(expected));
}

// --- Whole words and letter case ---------------------------------------------------------------

TEST(ReplaceWord, EveryLetterCaseIsReplacedByTheReplacementAsPassed) {
  EXPECT_EQ(ReplaceWholeWords(u"TEH Teh teh", u"teh", u"The"), u"The The The");
  EXPECT_EQ(ReplaceWholeWords(u"TEH Teh teh", u"tEH", u"the"), u"the the the");
  EXPECT_EQ(ReplaceWholeWords(u"CAFÉ café Café", u"café", u"bar"), u"bar bar bar");
  // Letter case beyond Latin-1, in a pair of surrogates.
  EXPECT_EQ(ReplaceWholeWords(u"\U00010400 \U00010428", u"\U00010428", u"x"), u"x x");
}

TEST(ReplaceWord, StartAndEndOfTheTextAreBoundaries) {
  EXPECT_EQ(ReplaceWholeWords(u"teh cat teh", u"teh", u"the"), u"the cat the");
  EXPECT_EQ(ReplaceWholeWords(u"teh", u"teh", u"the"), u"the");
}

TEST(ReplaceWord, PartsOfLongerWordsAreLeftAlone) {
  EXPECT_EQ(ReplaceWholeWords(u"tehs xteh teh1 2teh", u"teh", u"the"), u"tehs xteh teh1 2teh");
  EXPECT_EQ(ReplaceWholeWords(u"tehs teh", u"teh", u"the"), u"tehs the");
  EXPECT_EQ(ReplaceWholeWords(u"teh_ _teh", u"teh", u"the"), u"teh_ _teh");
  // DEL and the controls 0x10 to 0x19 join words; 0x1A does not.
  EXPECT_EQ(ReplaceWholeWords(u"teh\x7F \x10teh \x19teh", u"teh", u"the"), u"teh\x7F \x10teh \x19teh");
  EXPECT_EQ(ReplaceWholeWords(u"teh\x1A", u"teh", u"the"), u"the\x1A");
}

TEST(ReplaceWord, PunctuationAndNonAsciiLettersBoundWords) {
  EXPECT_EQ(ReplaceWholeWords(u"teh's teh- teh. teh, 'teh' -teh", u"teh", u"the"),
            u"the's the- the. the, 'the' -the");
  EXPECT_EQ(ReplaceWholeWords(u"tehé étehé", u"teh", u"the"), u"theé étheé");
  EXPECT_EQ(ReplaceWholeWords(u"teh\u4E00 teh\U0001F600", u"teh", u"the"), u"the\u4E00 the\U0001F600");
}

TEST(ReplaceWord, OneLetterFindInsideAWordAtTheEnd) {
  EXPECT_EQ(ReplaceWholeWords(u"ba", u"a", u"xyz"), u"ba");
  EXPECT_EQ(ReplaceWholeWords(u"ba a", u"a", u"xyz"), u"ba xyz");
}

TEST(ReplaceWord, LaterTextShiftsByTheLengthDifference) {
  EXPECT_EQ(ReplaceWholeWords(u"a teh b teh c", u"teh", u"thee"), u"a thee b thee c");
  EXPECT_EQ(ReplaceWholeWords(u"a teh b teh c", u"teh", u"t"), u"a t b t c");
  EXPECT_EQ(ReplaceWholeWords(u"teh,teh,teh", u"teh", u"the"), u"the,the,the");
}

TEST(ReplaceWord, EmptyReplacementKeepsBothNeighbours) {
  EXPECT_EQ(ReplaceWholeWords(u"x teh, y", u"teh", u""), u"x , y");
  EXPECT_EQ(ReplaceWholeWords(u"teh teh", u"teh", u""), u" ");
  EXPECT_EQ(ReplaceWholeWords(u"teh", u"teh", u""), u"");
  // The search resumes one unit after the deleted word, so the unit that moved into its place
  // never starts an occurrence.
  EXPECT_EQ(ReplaceWholeWords(u"-x-x", u"-x", u""), u"-x");
}

TEST(ReplaceWord, NothingToReplace) {
  EXPECT_EQ(ReplaceWholeWords(u"", u"teh", u"the"), u"");
  EXPECT_EQ(ReplaceWholeWords(u"te", u"teh", u"the"), u"te");
  EXPECT_EQ(ReplaceWholeWords(u"the cat", u"teh", u"the"), u"the cat");
  EXPECT_EQ(ReplaceWholeWords(std::u16string(u"a\0b", 3), u"b", u"c"), std::u16string(u"a\0c", 3));
}

// The search resumes inside the replacement, so it sees the replacement again; only an
// occurrence lying wholly inside it would repeat without end.
TEST(ReplaceWord, OccurrencesInsideTheReplacementAreSkipped) {
  EXPECT_EQ(ReplaceWholeWords(u"a teh b", u"teh", u"teh teh"), u"a teh teh b");
  EXPECT_EQ(ReplaceWholeWords(u"teh teh", u"teh", u"teh teh"), u"teh teh teh teh");
  EXPECT_EQ(ReplaceWholeWords(u"teh. teh", u"teh", u"x teh"), u"x teh. x teh");
  EXPECT_EQ(ReplaceWholeWords(u"aa aa", u"aa", u"a aa"), u"a aa a aa");
  // The same word in the replacement, but not as a whole word: nothing to skip or replace.
  EXPECT_EQ(ReplaceWholeWords(u"aa", u"aa", u"aaaa"), u"aaaa");
  EXPECT_EQ(ReplaceWholeWords(u"aaaa", u"aa", u"x"), u"aaaa");
}

TEST(ReplaceWord, OccurrenceRunningOnFromTheReplacementIsReplaced) {
  // "x a" then " b": "a b" starts inside the replacement and ends in the text after it.
  EXPECT_EQ(ReplaceWholeWords(u"a b b", u"a b", u"x a"), u"x x a");
  EXPECT_EQ(reference::PlainReplaceWord(u"a b b", u"a b", u"x a"), u"x x a");
}

TEST(ReplaceWord, EmptyFindReturnsTheTextUnchanged) {
  EXPECT_EQ(ReplaceWholeWords(u"a b", u"", u"x"), u"a b");
  EXPECT_EQ(ReplaceWholeWords(u"", u"", u"x"), u"");
}

// A surrogate half at either end of Find can match a half cut from a pair in the text; the
// cut half keeps its case, as it does when that substring is compared on its own.
TEST(ReplaceWord, HalvesCutFromPairsCompareAsTheyStand) {
  const std::u16string capital = u"\U00010400";  // D801 DC00, lower case D801 DC28
  const std::u16string text = u"-" + capital + u" " + capital + u".";
  EXPECT_EQ(ReplaceWholeWords(text, Units({0xDC00}), u"x"), u"-\xD801x \xD801x.");
  EXPECT_EQ(ReplaceWholeWords(text, Units({0xDC28}), u"x"), text);
  EXPECT_EQ(ReplaceWholeWords(text, Units({0xD801}), u"y"), u"-y\xDC00 y\xDC00.");
}

// --- Against the plain loop --------------------------------------------------------------------

// Runs `body` and gives up the whole test binary if it has not returned within `limit`, so
// that a loop without end fails instead of hanging.
void EndsWithin(std::chrono::seconds limit, const std::function<void()>& body) {
  std::packaged_task<void()> task(body);
  std::future<void> done = task.get_future();
  std::thread runner(std::move(task));
  if (done.wait_for(limit) != std::future_status::ready) {
    std::fprintf(stderr, "ReplaceWord did not end within %lld s\n",
                 static_cast<long long>(limit.count()));
    std::_Exit(EXIT_FAILURE);
  }
  runner.join();
  done.get();
}

class RandomTexts {
 public:
  // `units`: what the texts are made of, beside two pairs of surrogates.
  RandomTexts(unsigned seed, std::u16string units) : random_(seed), units_(std::move(units)) {}

  std::u16string Text(std::size_t max_length) {
    std::u16string out;
    for (std::size_t n = Below(max_length + 1); n > 0; --n) out += Piece();
    return out;
  }

  // Find: usually a piece of the text, so that it occurs, sometimes in another letter case.
  std::u16string Find(const std::u16string& text) {
    if (text.empty() || Below(4) == 0) return Text(3);
    const std::size_t start = Below(text.size());
    std::u16string find =
        text.substr(start, 1 + Below(std::min<std::size_t>(12, text.size() - start)));
    if (Below(2) == 0) {
      for (char16_t& unit : find) {
        if (unit >= u'a' && unit <= u'z') unit -= 0x20;
      }
    }
    return find;
  }

  std::u16string Replace(const std::u16string& find) {
    switch (Below(9)) {
      case 0:
        return u"";
      case 1:
        return find + u" " + find;
      case 2:
        return u"x " + find;
      case 3:
        return find + find;
      case 4:
        return find + u"-" + Text(2);
      case 5:
        return Text(2) + u" " + find.substr(Below(find.size() + 1));
      case 6:
        return find.substr(0, find.size() / 2);
      default:
        return Text(4);
    }
  }

 private:
  std::size_t Below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }

  // One of the units, or a pair whose lower case is another pair.
  std::u16string Piece() {
    const std::size_t i = Below(units_.size() + 2);
    if (i < units_.size()) return units_.substr(i, 1);
    return i == units_.size() ? u"\U00010400" : u"\U00010428";
  }

  std::mt19937 random_;
  std::u16string units_;
};

TEST(ReplaceWordDifferential, MatchesThePlainLoopOnRandomTexts) {
  EndsWithin(std::chrono::seconds(120), [] {
    // Letters of both cases, a digit, the underscore, the punctuation that bounds words, é and
    // unpaired halves that may pair with their neighbours; then a few units only, so that
    // texts and long Finds repeat themselves and partial matches overlap.
    RandomTexts random(20240611, u"aAbB1_'-  éÉ\xD801\xDC00\xDC28");
    RandomTexts repetitive(20240612, u"aA \xDC00");
    for (int i = 0; i < 40000; ++i) {
      RandomTexts& source = i % 2 == 0 ? random : repetitive;
      const std::u16string text = source.Text(i % 4 < 2 ? 40 : 12);
      const std::u16string find = source.Find(text);
      const std::u16string replace = source.Replace(find);
      const std::u16string expected = reference::PlainReplaceWord(text, find, replace);
      const std::u16string actual = ReplaceWholeWords(text, find, replace);
      ASSERT_EQ(Hex(actual), Hex(expected))
          << "text " << Hex(text) << "\nfind " << Hex(find) << "\nreplace " << Hex(replace);
    }
  });
}

// --- Size --------------------------------------------------------------------------------------

// Big enough that splicing a fresh string per occurrence (some 10^12 unit copies) or lowering
// the text per search would blow the limit by far, small enough for the sanitizer build.
TEST(ReplaceWordLargeText, TwentyMillionUnitsWithManyOccurrences) {
  const std::u16string line_in =
      u"The quick brown fox jumps over a lazy dog; tehs, teh-like words. ";
  const std::u16string line_out =
      u"The quick brown fox jumps over a lazy dog; tehs, thee-like words. ";
  const std::size_t lines = 20'000'000 / line_in.size() + 1;  // one occurrence on each
  std::u16string text, expected;
  text.reserve(lines * line_in.size());
  expected.reserve(lines * line_out.size());
  for (std::size_t i = 0; i < lines; ++i) {
    text += line_in;
    expected += line_out;
  }

  const auto start = std::chrono::steady_clock::now();
  std::u16string out;
  EndsWithin(std::chrono::seconds(60), [&] { out = ReplaceWholeWords(text, u"TEH", u"thee"); });
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(out == expected);
  EXPECT_LT(elapsed, std::chrono::seconds(10));
}

// A long Find that nearly matches at every start: comparing each candidate afresh would take
// some 10^10 unit comparisons.
TEST(ReplaceWordLargeText, LongFindThatNearlyMatchesEverywhere) {
  const std::size_t find_size = 65'536;
  const std::u16string head(400'000 - find_size, u'É');
  const std::u16string text = head + std::u16string(find_size - 1, u'é') + u"X";
  const std::u16string find = std::u16string(find_size - 1, u'É') + u"x";
  std::u16string out;
  EndsWithin(std::chrono::seconds(60), [&] { out = ReplaceWholeWords(text, find, u"y"); });
  EXPECT_TRUE(out == head + u"y");
}

// The text is lower-cased a window at a time. Occurrences packed this close straddle the end of
// every window, and window edges fall between the halves of pairs.
TEST(ReplaceWordLargeText, OccurrencesAcrossLoweringWindows) {
  const std::u16string trail = Units({0xDC00});
  const std::u16string period = u"\U00010400 a" + trail + u" ";
  std::u16string text, pairs_replaced, trails_replaced;
  for (int i = 0; i < 50'000; ++i) {
    text += period;
    pairs_replaced += u"x" + trail + u" ";
    // The trail cut from the pair is whole; the unpaired one follows a letter.
    trails_replaced += u"\xD801yz a" + trail + u" ";
  }
  EXPECT_TRUE(ReplaceWholeWords(text, u"\U00010428 A", u"x") == pairs_replaced);
  EXPECT_TRUE(ReplaceWholeWords(text, trail, u"yz") == trails_replaced);
}

}  // namespace
}  // namespace lexivane
