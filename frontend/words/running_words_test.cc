#include "frontend/words/running_words.h"

#include "frontend/words/word_characters.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

using namespace std::string_literals;

using Walk = void (*)(std::u16string_view, const std::function<void(const RunningWord&)>&);

// "offset:word offset:word ..." for compact tables; also holds every word to its span (which
// may hold word joiners, left out of the word, and marks, composed in it).
std::string Words(Walk walk, std::u16string_view text) {
  std::string out;
  walk(text, [&](const RunningWord& w) {
    std::u16string as_written(text.substr(w.offset, w.length));
    std::erase(as_written, kWordJoiner);
    for (char16_t& c : as_written)
      if (c == u'\u2019') c = u'\'';
    ComposeMarks(as_written);
    EXPECT_EQ(as_written, w.word);
    if (!out.empty()) out += ' ';
    out += std::to_string(w.offset) + ':' + ToUtf8(w.word);
  });
  return out;
}

TEST(RunningWords, CutsAsDocumented) {
  const struct {
    std::u16string text;
    std::string words;
  } cases[] = {
      {u"", ""},
      {u" \t\r\n", ""},
      {u"well\u2014said \u2013 done", "0:well 5:said 12:done"},
      {u"and/or", "0:and 4:or"},
      {u"wait\u2026what wait...what", "0:wait 5:what 10:wait 17:what"},
      {u"salt+pepper & co", "0:salt 5:pepper 14:co"},
      {u"\"quoted\" 'single' \u201Ccurly\u201D \u2018curly\u2019",
       "1:quoted 10:single 19:curly 27:curly"},
      {u"^leading ^^x", "1:leading 11:x"},
      {u"wouldn\u2019t don't rock'n'roll", "0:wouldn't 9:don't 15:rock'n'roll"},
      {u"students' books 'tis", "0:students 10:books 17:tis"},
      {u"42 3.14 1,000 3rd 1'2 a'1", "22:a"},
      // Ordinals are numbers; a wrong suffix, or anything more, makes a word to judge.
      {u"1st 21ST 2nd 3Rd 11th 12th 113th 0th 1,000th", ""},
      {u"1th 2st 11st 12nd 13rd 1sts 1st's x1st 1stx st",
       "0:1th 4:2st 8:11st 13:12nd 18:13rd 23:1sts 28:1st's 34:x1st 39:1stx 44:st"},
      {u"1st\u0301 \u00E91st 2nd\u2014x", "0:1st 5:\u00E91st 14:x"},
      {u"e-mail e.g. x:y", "0:e 2:mail 7:e 9:g 12:x 14:y"},
      {u"a'@b \u00E9'@'b @\u2019a\u00E9", "0:a 3:b 5:\u00E9 9:b 13:a\u00E9"},
      {u"a_b __ x1", "0:a_b 7:x1"},
      {u"hi \U0001F600 there\U0001F44D!", "0:hi 6:there"},
      // Marks are composed as most text is written; one that composes with nothing goes.
      {u"caf\u00E9 cafe\u0301 na\u00EFve", "0:caf\u00E9 5:caf\u00E9 11:na\u00EFve"},
      {u"e\u0301teh x\u0301wrold \u0301teh", "0:\u00E9teh 6:xwrold 15:teh"},
      {u"\u6771\u4EAC\u306B\u884C\u304F", "0:\u6771\u4EAC 2:\u306B 3:\u884C\u304F"},
      {u"1\u20442x a\u2044b \u00B7dot\u00B7", "2:2x 5:a 7:b 10:dot"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Words(ForEachRunningWord, c.text), c.words) << ToUtf8(c.text);
    EXPECT_EQ(Words(ForEachRunningWordByIcu, c.text), c.words) << ToUtf8(c.text);
  }
}

// The hand-made ASCII path and ICU agree on any mix of the pieces the rules treat apart.
TEST(RunningWords, AsciiShortcutAgreesWithIcu) {
  const std::u16string pieces[] = {
      u"a", u"Z", u"q", u"0", u"9", u"_", u"'", u".", u":", u",", u";", u"-", u"/", u"^", u"@",
      u"\"", u" ", u"\n", u"\t", u"\r", u"\v", u"\f", u"1", u"st", u"ND", u"rd", u"th", u"\0"s,
      u"\u00E9", u"abcdefghijklmnopq",  // plain ASCII read eight units a step
      u"\u2019", u"\u201C", u"\u2014", u"\u0301", u"\u00AD", u"\u6771", u"\U0001F600",
      // Separators outside ASCII, word joiners after them and after letters, and characters
      // near them that are no separators (middle dot, one-dot leader, the other quotes).
      u"\u00A9", u"\u00A0", u"\u2013", u"\u2026", u"\u201D", u"\u00B6", u"\u2060", u"&\u2060\u2060",
      u"\u00A9\u2060", u"\u00B7", u"\u2024", u"\u2018", u"\u201A",
      // Long runs of blanks, as the filters leave where code was, passed over several at a time.
      u"       ", u"  \n     \n ", u"\n\n\n\n\n\n\n\n\n"};
  std::mt19937 random(10);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 30);
  for (int i = 0; i < 20000; ++i) {
    std::u16string text;
    for (int n = length(random); n > 0; --n) text += pieces[pick(random)];
    ASSERT_EQ(Words(ForEachRunningWord, text), Words(ForEachRunningWordByIcu, text))
        << ToUtf8(text);
  }
}

// What a client that cuts words itself is told, by place: first, inside, last.
TEST(RunningWords, WhereACharacterMayStandComesFromTheRule) {
  const struct {
    std::u32string characters;
    bool first, inside, last;
  } classes[] = {
      {U"aZ\u00e97_\u03A3", true, true, true},  // letters, digits, connectors
      {U"\u0301", false, true, true},           // a mark belongs to the letter before it
      {U"'\u2019", false, true, false},         // apostrophes join two letters
      {U"-\u2014/.:\"\u201c^ \t+&\u2026\U0001F600", false, false, false},
      {{0xD800, 0x110000}, false, false, false},  // no characters at all
  };
  for (const auto& c : classes) {
    for (const char32_t character : c.characters) {
      EXPECT_EQ(MayStandInWord(character, PlaceInWord::kFirst), c.first)
          << static_cast<std::uint32_t>(character);
      EXPECT_EQ(MayStandInWord(character, PlaceInWord::kInside), c.inside)
          << static_cast<std::uint32_t>(character);
      EXPECT_EQ(MayStandInWord(character, PlaceInWord::kLast), c.last)
          << static_cast<std::uint32_t>(character);
    }
  }
}

}  // namespace
}  // namespace lexivane::frontend
