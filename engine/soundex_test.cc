#include "engine/soundex.h"

#include <string>

#include <gtest/gtest.h>

namespace lexivane {
namespace {

struct KeyCase {
  const char* word;
  const char* key;
};

TEST(SoundexTest, GivesTheKeysOfKnownWords) {
  const KeyCase cases[] = {
      {"dishcloth", "D224"},    // H separates: the second S is coded again
      {"scary", "S600"},        // C follows S directly: same code, not coded
      {"distinguish", "D235"},  // the key stops after three digits
      {"llama", "L500"},       {"o'clock", "O242"}, {"ab-b", "A110"},    {"x", "X000"},
      {"12ab", "A100"},        {"offise", "O120"},  {"office", "O120"},  {"oafish", "O120"},
      {"offset", "O123"},      {"offices", "O122"}, {"recieve", "R210"}, {"receive", "R210"},
      {"teh", "T000"},         {"the", "T000"},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(Soundex(c.word), c.key) << c.word;
    EXPECT_EQ(UnpackSoundex(PackedSoundex(c.word)), c.key) << c.word;
  }
}

TEST(SoundexTest, WordWithoutAsciiLetterHasEmptyKey) {
  const std::string words[] = {"", "123", "'-' ", "\xE9\xE8\xFF", std::string(3, '\0')};
  for (const std::string& word : words) {
    EXPECT_EQ(Soundex(word), "");
    EXPECT_EQ(PackedSoundex(word), 0);
  }
}

TEST(SoundexTest, IgnoresCase) {
  EXPECT_EQ(Soundex("Office"), "O120");
  EXPECT_EQ(Soundex("OFFICE"), "O120");
  EXPECT_EQ(Soundex("SCARY"), "S600");
}

TEST(SoundexTest, NonAsciiBytesAndDigitsSeparateLikeVowels) {
  // Bytes above 0x7F are never letters, even where Windows-1252 has a letter there.
  EXPECT_EQ(Soundex("\xE9t\xE9"), "T000");
  EXPECT_EQ(Soundex("b\xE9p"), "B100");
  EXPECT_EQ(Soundex("bp"), "B000");
  EXPECT_EQ(Soundex("b1p"), "B100");
  EXPECT_EQ(Soundex(std::string("b\0p", 3)), "B100");
  // H and W separate too; a repeated code right after them is coded again.
  EXPECT_EQ(Soundex("bhp"), "B100");
  EXPECT_EQ(Soundex("bwpwf"), "B110");
}

TEST(SoundexTest, AcceptsLongWords) {
  std::string word(100000, 'x');
  EXPECT_EQ(Soundex(word), "X000");
  word += "bdlr";
  EXPECT_EQ(Soundex(word), "X134");
  word[1] = 'a';
  EXPECT_EQ(Soundex(word), "X213");
}

TEST(SoundexTest, PackingFollowsTheTableLayout) {
  EXPECT_EQ(PackedSoundex("x"), (24 << 9));
  EXPECT_EQ(PackedSoundex("dishcloth"), (4 << 9) | (2 << 6) | (2 << 3) | 4);
  EXPECT_EQ(PackedSoundex("zyrtl"), (26 << 9) | (6 << 6) | (3 << 3) | 4);
  EXPECT_NE(PackedSoundex("offise"), PackedSoundex("offset"));
}

TEST(SoundexTest, UnpackRoundTripsEveryValidKey) {
  for (int letter = 1; letter <= 26; ++letter) {
    for (int digits = 0; digits < 512; ++digits) {
      const int d1 = digits >> 6, d2 = (digits >> 3) & 7, d3 = digits & 7;
      if (d1 > 6 || d2 > 6 || d3 > 6) continue;
      const auto key = static_cast<PackedKey>(letter << 9 | digits);
      const std::string text = UnpackSoundex(key);
      ASSERT_EQ(text.size(), 4u);
      EXPECT_EQ(text[0], 'A' + letter - 1);
      EXPECT_EQ(text.substr(1), std::string({char('0' + d1), char('0' + d2), char('0' + d3)}));
    }
  }
}

TEST(SoundexTest, UnpackGivesEmptyForValuesNoWordProduces) {
  EXPECT_EQ(UnpackSoundex(0), "");
  EXPECT_EQ(UnpackSoundex(0x01FF), "");               // digits without a letter
  EXPECT_EQ(UnpackSoundex(27 << 9), "");              // past Z
  EXPECT_EQ(UnpackSoundex((1 << 9) | (7 << 6)), "");  // digit 7
  EXPECT_EQ(UnpackSoundex(0xFFFF), "");
}

}  // namespace
}  // namespace lexivane
