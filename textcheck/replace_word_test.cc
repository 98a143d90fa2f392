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

TEST(ReplaceWordCharacters, AsciiLettersDigitsUnderscoreDelAndSomeControls) {
  std::u16string found;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (IsReplaceWordCharacter(static_cast<char16_t>(c))) found += static_cast<char16_t>(c);
  }
  EXPECT_EQ(Hex(found),
            Hex(u"\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19"
                u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz\x7F"));
}

// The edge cases of the rule, each held to the plain loop as well.
TEST(ReplaceWord, Cases) {
  const std::u16string capital = u"\U00010400";  // D801 DC00, lower case D801 DC28
  const std::u16string halves = u"-" + capital + u" " + capital + u".";
  const struct {
    std::u16string text, find, replace, expected;
  } cases[] = {
      // Every letter case is replaced by the replacement as passed, beyond Latin-1 too.
      {u"TEH Teh teh", u"tEH", u"The", u"The The The"},
      {u"CAFÉ café Café", u"café", u"bar", u"bar bar bar"},
      {u"\U00010400 \U00010428", u"\U00010428", u"x", u"x x"},
      // The ends of the text bound words; parts of longer words are left alone.
      {u"teh", u"teh", u"the", u"the"},
      {u"teh tehs xteh teh1 2teh teh_ _teh teh", u"teh", u"the",
       u"the tehs xteh teh1 2teh teh_ _teh the"},
      {u"teh\x7F \x10teh \x19teh teh\x1A", u"teh", u"the", u"teh\x7F \x10teh \x19teh the\x1A"},
      {u"ba", u"a", u"xyz", u"ba"},
      {u"ba a", u"a", u"xyz", u"ba xyz"},
      // Punctuation and letters from 0x80 up bound words.
      {u"teh's teh- teh. teh, 'teh' -teh", u"teh", u"the", u"the's the- the. the, 'the' -the"},
      {u"tehé étehé teh\u4E00 teh\U0001F600", u"teh", u"the",
       u"theé étheé the\u4E00 the\U0001F600"},
      // Later text shifts by the difference in length.
      {u"a teh b teh c", u"teh", u"thee", u"a thee b thee c"},
      {u"a teh b teh c", u"teh", u"t", u"a t b t c"},
      {u"teh,teh,teh", u"teh", u"the", u"the,the,the"},
      // An empty replacement keeps both neighbours; the search resumes one unit after the
      // deleted word, so the unit that moved into its place never starts an occurrence.
      {u"x teh, y", u"teh", u"", u"x , y"},
      {u"teh teh", u"teh", u"", u" "},
      {u"-x-x", u"-x", u"", u"-x"},
      // Nothing to replace.
      {u"te", u"teh", u"the", u"te"},
      {u"a b", u"", u"x", u"a b"},
      {std::u16string(u"a\0b", 3), u"b", u"c", std::u16string(u"a\0c", 3)},
      // The search resumes inside the replacement; only an occurrence lying wholly inside it,
      // which would repeat without end, is skipped.
      {u"a teh b", u"teh", u"teh teh", u"a teh teh b"},
      {u"teh. teh", u"teh", u"x teh", u"x teh. x teh"},
      {u"aa aa", u"aa", u"a aa", u"a aa a aa"},
      {u"aa", u"aa", u"aaaa", u"aaaa"},
      {u"aaaa", u"aa", u"x", u"aaaa"},
      {u"a b b", u"a b", u"x a", u"x x a"},  // "a b" runs on from the replacement
      // A surrogate half at either end of Find can match a half cut from a pair in the text;
      // the cut half keeps its case, as it does when that substring is compared on its own.
      {halves, u"\xDC00", u"x", u"-\xD801x \xD801x."},
      {halves, u"\xDC28", u"x", halves},
      {halves, u"\xD801", u"y", u"-y\xDC00 y\xDC00."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text " + Hex(c.text) + " find " + Hex(c.find) + " replace " + Hex(c.replace));
    EXPECT_EQ(Hex(ReplaceWholeWords(c.text, c.find, c.replace)), Hex(c.expected));
    EXPECT_EQ(Hex(reference::PlainReplaceWord(c.text, c.find, c.replace)), Hex(c.expected));
  }
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
      for (char16_t& unit : find) unit = unit >= u'a' && unit <= u'z' ? unit - 0x20 : unit;
    }
    return find;
  }

  std::u16string Replace(const std::u16string& find) {
    const std::size_t choice = Below(9);
    if (choice == 0) return u"";
    if (choice == 1) return find + u" " + find;
    if (choice == 2) return u"x " + find;
    if (choice == 3) return find + find;
    if (choice == 4) return find + u"-" + Text(2);
    if (choice == 5) return Text(2) + u" " + find.substr(Below(find.size() + 1));
    if (choice == 6) return find.substr(0, find.size() / 2);
    return Text(4);
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
      ASSERT_EQ(Hex(ReplaceWholeWords(text, find, replace)),
                Hex(reference::PlainReplaceWord(text, find, replace)))
          << "text " << Hex(text) << "\nfind " << Hex(find) << "\nreplace " << Hex(replace);
    }
  });
}

// --- Size --------------------------------------------------------------------------------------

// Big enough that splicing a fresh string per occurrence (some 10^12 unit copies) or lowering
// the text per search would never end within the guard, small enough for the sanitizer build.
// Its speed is measured by bench/, not here.
TEST(ReplaceWordLargeText, TwentyMillionUnitsWithManyOccurrences) {
  const std::u16string line_in = u"The quick brown fox; tehs, teh-like words. ";
  const std::u16string line_out = u"The quick brown fox; tehs, thee-like words. ";
  const std::size_t lines = 20'000'000 / line_in.size() + 1;  // one occurrence on each
  std::u16string text, expected;
  for (std::size_t i = 0; i < lines; ++i) {
    text += line_in;
    expected += line_out;
  }

  std::u16string out;
  EndsWithin(std::chrono::seconds(60), [&] { out = ReplaceWholeWords(text, u"TEH", u"thee"); });
  EXPECT_TRUE(out == expected);
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
  const std::u16string trail = u"\xDC00";
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
