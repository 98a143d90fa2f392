#include "support/ascii.h"

#include <gtest/gtest.h>

#include <cctype>
#include <clocale>

namespace lexivane::support {
namespace {

// Every class agrees with the C library's in the "C" locale on every byte, whether it comes as
// a char (negative above 127) or a number; and a wider unit whose low byte is an ASCII
// character (U+0141, U+FF21, a negative int) is in no class and keeps its case.
TEST(Ascii, ClassesAreTheCLocalesOnEveryByteAndNothingBeyond) {
  ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    SCOPED_TRACE(byte);
    EXPECT_EQ(IsAsciiUpper(c), std::isupper(byte) != 0);
    EXPECT_EQ(IsAsciiLower(c), std::islower(byte) != 0);
    EXPECT_EQ(IsAsciiLetter(c), std::isalpha(byte) != 0);
    EXPECT_EQ(IsAsciiDigit(c), std::isdigit(byte) != 0);
    EXPECT_EQ(IsAsciiAlnum(static_cast<unsigned char>(byte)), std::isalnum(byte) != 0);
    EXPECT_EQ(IsAsciiHexDigit(byte), std::isxdigit(byte) != 0);
    EXPECT_EQ(IsAsciiSpace(static_cast<char16_t>(byte)), std::isspace(byte) != 0);
    EXPECT_EQ(AsciiLower(c), static_cast<char>(std::tolower(byte)));
    EXPECT_EQ(AsciiUpper(static_cast<char16_t>(byte)), static_cast<char16_t>(std::toupper(byte)));
    const int value = AsciiHexDigitValue(c);
    EXPECT_EQ(value >= 0, std::isxdigit(byte) != 0);
    if (value >= 0) {
      EXPECT_EQ("0123456789abcdef"[value], std::tolower(byte));
    }
    for (const int wide : {byte + 0x100, byte + 0xFF00, byte - 256}) {
      if (byte >= 128 || wide < 0) continue;
      EXPECT_FALSE(IsAsciiAlnum(wide) || IsAsciiSpace(wide) || IsAsciiHexDigit(wide)) << wide;
      EXPECT_EQ(AsciiLower(static_cast<char32_t>(wide)), static_cast<char32_t>(wide));
    }
    EXPECT_FALSE(IsAsciiLetter(byte - 256) || IsAsciiSpace(byte - 256));
  }
}

TEST(Ascii, SetsAndComparisonsIgnoringCase) {
  constexpr AsciiSet kMarks("*_`");
  static_assert(kMarks.Has('*') && kMarks.Has(u'`') && !kMarks.Has('a'));
  EXPECT_FALSE(kMarks.Has(static_cast<char16_t>(u'*' + 0x100)));
  EXPECT_FALSE(kMarks.Has(static_cast<char>('*' | 0x80)));
  EXPECT_FALSE(kMarks.Has(-214));  // '*' - 256

  EXPECT_TRUE(EqualsIgnoringAsciiCase("Content-LENGTH", "content-length"));
  EXPECT_TRUE(EqualsIgnoringAsciiCase(u"MailTo", "mailto"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"ma\u0149lto", "mailto"));  // U+0149's low byte is 'I'
  EXPECT_FALSE(EqualsIgnoringAsciiCase("mailto:", "mailto"));
  EXPECT_TRUE(StartsWithIgnoringAsciiCase(u"<!DOCTYPE html>", "<!doctype"));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase(u"<!DOC", "<!doctype"));
  EXPECT_EQ(AsciiLowered("UTF-8 \xC3\x89t\xC3\xA9"), "utf-8 \xC3\x89t\xC3\xA9");
}

}  // namespace
}  // namespace lexivane::support
