#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"

namespace lexivane::platform {
namespace {

// --- Code page ---------------------------------------------------------------------------------

// Every Unicode scalar value once, in order, as UTF-16.
std::u16string EveryScalarValue() {
  std::u16string all;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if (c < 0x10000) {
      all += static_cast<char16_t>(c);
    } else {
      all += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      all += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return all;
}

TEST(CodePageTest, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);

  const std::u16string text = FromSingleByte(all);
  ASSERT_EQ(text.size(), 256u);
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(text[b], FromSingleByte(static_cast<unsigned char>(b))) << "byte " << b;
  }

  std::string back;
  EXPECT_TRUE(ToSingleByteExact(text, back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(ToSingleByte(text), all);
}

TEST(CodePageTest, HighRangeFollowsTheSystemCodePage) {
  const char16_t expected[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(FromSingleByte(static_cast<unsigned char>(0x80 + i)), expected[i])
        << "byte " << 0x80 + i;
  }
  EXPECT_EQ(FromSingleByte(static_cast<unsigned char>(0xE9)), u'é');
  EXPECT_EQ(FromSingleByte(static_cast<unsigned char>(0xFF)), u'ÿ');
  EXPECT_EQ(ToSingleByte(u"café €5 “quoted” Œuvre"),
            "caf\xE9 \x80"
            "5 \x93quoted\x94 \x8Cuvre");
}

// Both directions agree on every code unit: a unit converts exactly when some byte converts
// back to it, and to that byte.
TEST(CodePageTest, DirectionsAgreeOnEveryCodeUnit) {
  std::u16string from_bytes;
  for (int b = 0; b < 256; ++b) from_bytes += FromSingleByte(static_cast<unsigned char>(b));

  for (char32_t u = 0; u <= 0xFFFF; ++u) {
    const std::u16string unit(1, static_cast<char16_t>(u));
    std::string byte;
    const bool exact = ToSingleByteExact(unit, byte);
    ASSERT_EQ(byte.size(), 1u);
    const std::size_t found = from_bytes.find(static_cast<char16_t>(u));
    if (found == std::u16string::npos) {
      ASSERT_FALSE(exact) << "unit " << static_cast<unsigned>(u);
      ASSERT_EQ(byte, "?") << "unit " << static_cast<unsigned>(u);
    } else {
      ASSERT_TRUE(exact) << "unit " << static_cast<unsigned>(u);
      ASSERT_EQ(static_cast<unsigned char>(byte[0]), found) << "unit " << static_cast<unsigned>(u);
    }
  }
}

TEST(CodePageTest, UnitsWithoutAFormBecomeQuestionMarksOneForOne) {
  std::string out = "stale content";
  EXPECT_FALSE(ToSingleByteExact(u"\u0100", out));
  EXPECT_EQ(out, "?");
  // U+0080 is a C1 control whose byte belongs to the euro sign.
  EXPECT_EQ(ToSingleByte(u"\u0080"), "?");

  // A supplementary character is two units and so two question marks: positions carry over.
  EXPECT_EQ(ToSingleByte(u"a\U00010400b"), "a??b");
  EXPECT_EQ(ToSingleByte(std::u16string{u'x', 0xD800, u'y', 0xDC00}), "x?y?");
  EXPECT_FALSE(ToSingleByteExact(std::u16string{0xDFFF}, out));

  // A real question mark is exact, and so is NUL.
  EXPECT_TRUE(ToSingleByteExact(std::u16string(u"why?\0", 5), out));
  EXPECT_EQ(out, std::string("why?\0", 5));
  EXPECT_TRUE(ToSingleByteExact(u"", out));
  EXPECT_EQ(out, "");
}

// --- Case mapping ------------------------------------------------------------------------------

std::u16string Units(std::initializer_list<char16_t> units) {
  return std::u16string(units);
}

TEST(CaseMappingTest, MapsAsciiAndLatin1) {
  EXPECT_EQ(ToLower(u"Hello, WORLD 123!"), u"hello, world 123!");
  EXPECT_EQ(ToUpper(u"Hello, world 123!"), u"HELLO, WORLD 123!");
  EXPECT_EQ(ToLower(u"CAFÉ ÀÖØÞ"), u"café àöøþ");
  EXPECT_EQ(ToUpper(u"café àöøþ"), u"CAFÉ ÀÖØÞ");
  EXPECT_EQ(ToUpper(u"ÿ"), u"Ÿ");
  EXPECT_EQ(ToLower(u""), u"");
  EXPECT_EQ(ToLower(std::u16string(u"A\0B", 3)), std::u16string(u"a\0b", 3));
}

TEST(CaseMappingTest, UsesSimpleLocaleIndependentMappings) {
  EXPECT_EQ(ToUpper(u"ß"), u"ß");  // full mapping would give "SS"
  EXPECT_EQ(ToUpper(u"ŉ"), u"ŉ");  // full mapping would give "ʼN"
  EXPECT_EQ(ToUpper(u"ﬁ"), u"ﬁ");  // full mapping would give "FI"
  EXPECT_EQ(ToLower(u"İ"), u"i");  // full mapping would add a combining dot
  EXPECT_EQ(ToLower(u"I"), u"i");  // no Turkish dotless i
  EXPECT_EQ(ToUpper(u"ı"), u"I");
  EXPECT_EQ(ToLower(u"ΣΑΣ"), u"σασ");   // no final-sigma context
  EXPECT_EQ(ToLower(u"\u212A"), u"k");  // Kelvin sign
}

TEST(CaseMappingTest, SurrogatePairsMapAsOneCodePoint) {
  // Deseret capital and small long I.
  EXPECT_EQ(ToLower(u"\U00010400x"), u"\U00010428x");
  EXPECT_EQ(ToUpper(u"\U00010428x"), u"\U00010400X");
}

TEST(CaseMappingTest, UnpairedSurrogatesPassThrough) {
  EXPECT_EQ(ToLower(Units({u'A', 0xD801, u'B'})), Units({u'a', 0xD801, u'b'}));
  EXPECT_EQ(ToUpper(Units({u'a', 0xDC00, u'b'})), Units({u'A', 0xDC00, u'B'}));
  // A trail before its lead is two unpaired halves, not a pair.
  EXPECT_EQ(ToLower(Units({0xDC00, 0xD801})), Units({0xDC00, 0xD801}));
  EXPECT_EQ(ToUpper(Units({0xD801})), Units({0xD801}));
  // A lead at the very end must not read past the text.
  EXPECT_EQ(ToLower(Units({u'Q', 0xD801})), Units({u'q', 0xD801}));
}

TEST(CaseMappingTest, NoCodePointChangesItsLength) {
  const std::u16string all = EveryScalarValue();
  const std::u16string lower = ToLower(all);
  const std::u16string upper = ToUpper(all);
  const std::u16string proper = ToProper(all);
  ASSERT_EQ(lower.size(), all.size());
  ASSERT_EQ(upper.size(), all.size());
  ASSERT_EQ(proper.size(), all.size());
  // Surrogate halves stay where they were, so every pair is still a pair.
  for (std::size_t i = 0; i < all.size(); ++i) {
    const bool surrogate = all[i] >= 0xD800 && all[i] <= 0xDFFF;
    ASSERT_EQ(surrogate, lower[i] >= 0xD800 && lower[i] <= 0xDFFF) << i;
    ASSERT_EQ(surrogate, upper[i] >= 0xD800 && upper[i] <= 0xDFFF) << i;
  }
}

TEST(CaseMappingTest, EqualIgnoringCaseIsEqualityOfLowerCaseForms) {
  EXPECT_TRUE(EqualIgnoringCase(u"Teh", u"tEH"));
  EXPECT_TRUE(EqualIgnoringCase(u"CAFÉ", u"café"));
  EXPECT_TRUE(EqualIgnoringCase(u"", u""));
  EXPECT_TRUE(EqualIgnoringCase(u"\u212A", u"K"));  // Kelvin sign lower-cases to k
  EXPECT_TRUE(EqualIgnoringCase(u"\U00010400", u"\U00010428"));
  EXPECT_FALSE(EqualIgnoringCase(u"teh", u"the"));
  EXPECT_FALSE(EqualIgnoringCase(u"ß", u"SS"));  // no full case folding
  EXPECT_FALSE(EqualIgnoringCase(u"e", u"é"));
  EXPECT_FALSE(EqualIgnoringCase(u"ab", u"abc"));
  // Halves cut from a pair are unpaired on their own and keep their case.
  EXPECT_FALSE(EqualIgnoringCase(Units({0xDC00}), Units({0xDC28})));
  EXPECT_TRUE(EqualIgnoringCase(Units({0xDC00, u'A'}), Units({0xDC00, u'a'})));
}

TEST(CaseMappingTest, ProperCaseStartsWordsOnlyAfterBlanksAndControls) {
  struct Case {
    std::u16string in;
    std::u16string out;
  };
  const std::vector<Case> cases = {
      {u"hello world", u"Hello World"},
      {u"HELLO WORLD", u"Hello World"},
      {u"o'neil", u"O'neil"},
      {u"jean-luc", u"Jean-luc"},
      {u"(teh)", u"(teh)"},
      {u"new  york", u"New  York"},
      {u" leading", u" Leading"},
      {u"a\tb\nc\vd\fe\rf", u"A\tB\nC\vD\fE\rF"},
      {std::u16string(u"a\0b", 3), std::u16string(u"A\0B", 3)},
      {u"no\u00A0break", u"No\u00A0break"},  // a no-break space joins
      {u"éCOLE", u"École"},
      {u"ßtraße", u"ßtraße"},
      {u"ǆemal", u"Ǆemal"},  // upper case, not the title-case digraph ǅ
      {u"\U00010428\U00010400 \U00010400", u"\U00010400\U00010428 \U00010400"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ToProper(c.in), c.out) << ToUtf8(c.in);

  EXPECT_EQ(ToProper(Units({0xDC00, u'A', u' ', 0xD800, u'B'})),
            Units({0xDC00, u'a', u' ', 0xD800, u'b'}));
}

// --- Number test -------------------------------------------------------------------------------

TEST(IsNumericTest, AcceptsNumbers) {
  const char16_t* numbers[] = {
      u"0",        u"1234",   u"007",      u"3.5",          u".5",      u"5.",
      u"1,234",    u"12,345", u"123,456",  u"1,234,567.89", u"1,234.",  u"1e5",
      u"2.5E-3",   u"1e+10",  u".5e3",     u"5.e3",         u"1,234e5", u"+5",
      u"-5",       u"-.5",    u"5-",       u"5+",           u"1e5-",    u"(5)",
      u"($1,234)", u"$5",     u"$.99",     u"-$5",          u"$-5",     u"+$5",
      u" 5",       u"5 ",     u"\t 42 \t", u"  -3.5e2  ",   u"1e400",   u"0000.0000",
  };
  for (const char16_t* n : numbers) EXPECT_TRUE(IsNumeric(n)) << ToUtf8(n);
}

TEST(IsNumericTest, RejectsWhatIsNotANumber) {
  const char16_t* words[] = {
      u"",     u" ",    u"\t",     u".",     u"-",     u"+",    u"$",        u"()",
      u"e5",   u"1e",   u"1e+",    u"1e5e5", u"1.2.3", u"..5",  u"1..",      u"--5",
      u"+-5",  u"-5-",  u"+5+",    u"(-5)",  u"-(5)",  u"(5",   u"5)",       u"(5)-",
      u"$$5",  u"5$",   u"- 5",    u"$ 5",   u"1 000", u"1,23", u"1,2345",   u"1234,567",
      u",123", u"1,",   u"1,,234", u"&H1F",  u"0x1F",  u"1d5",  u"Infinity", u"NaN",
      u"abc",  u"5abc", u"1st",    u"３",    u"5\n",   u"\n5",  u"5%",       u"1/2",
  };
  for (const char16_t* w : words) EXPECT_FALSE(IsNumeric(w)) << ToUtf8(w);
  EXPECT_FALSE(IsNumeric(std::u16string(u"5\0", 2)));
  EXPECT_FALSE(IsNumeric(Units({u'5', 0xD800})));
}

// --- UTF-8 -------------------------------------------------------------------------------------

TEST(Utf8Test, RoundTripsEveryCodePoint) {
  const std::u16string all = EveryScalarValue();
  EXPECT_TRUE(FromUtf8(ToUtf8(all)) == all);
}

TEST(Utf8Test, EncodesEachLength) {
  EXPECT_EQ(ToUtf8(u"a"), "a");
  EXPECT_EQ(ToUtf8(u"é"), "\xC3\xA9");
  EXPECT_EQ(ToUtf8(u"€"), "\xE2\x82\xAC");
  EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(ToUtf8(std::u16string(u"\0", 1)), std::string("\0", 1));
  EXPECT_EQ(FromUtf8("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
}

TEST(Utf8Test, UnpairedSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(ToUtf8(Units({u'a', 0xD800, u'b'})),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(ToUtf8(Units({0xDC00, 0xD800})), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(Units({0xD800, 0xD800, 0xDC00})), "\xEF\xBF\xBD\xF0\x90\x80\x80");
}

TEST(Utf8Test, InvalidInputBecomesOneReplacementPerMaximalSubpart) {
  struct Case {
    std::string in;
    std::u16string out;
  };
  const std::vector<Case> cases = {
      {"\x80", u"\uFFFD"},
      {"\xBF\x80", u"\uFFFD\uFFFD"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},  // overlong lead byte
      {"\xC1\xBF", u"\uFFFD\uFFFD"},
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},  // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
      {"\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xF5\x80", u"\uFFFD\uFFFD"},
      {"\xFF", u"\uFFFD"},
      {"\xE2\x82", u"\uFFFD"},  // truncated at the end
      {"\xE2\x82x", u"\uFFFDx"},
      {"\xF0\x9F\x98", u"\uFFFD"},
      {"\xF0\x9F\x98\xC3\xA9", u"\uFFFD\u00E9"},  // the breaking byte starts anew
      // The example of maximal subparts that Unicode itself gives.
      {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
       u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
  };
  for (const Case& c : cases) EXPECT_EQ(FromUtf8(c.in), c.out) << ToUtf8(c.out);
}

}  // namespace
}  // namespace lexivane::platform
