#include "engine/soundex.h"

#include <string>

#include <gtest/gtest.h>

namespace lexivane {
namespace {

using namespace std::string_literals;

// "dishcloth": H separates, so the second S is coded again; "scary": C follows S directly and
// shares its code; "distinguish": the key stops after three digits. Any byte that is no ASCII
// letter (a digit, NUL, a byte above 0x7F even where Windows-1252 has a letter there)
// separates like a vowel, and so do H and W; a word without a letter has the empty key.
TEST(SoundexTest, GivesTheKeysOfKnownWords) {
  const struct {
    std::string word, key;
  } cases[] = {
      {"dishcloth", "D224"}, {"scary", "S600"},   {"distinguish", "D235"},
      {"llama", "L500"},     {"o'clock", "O242"}, {"ab-b", "A110"},
      {"x", "X000"},         {"12ab", "A100"},    {"offise", "O120"},
      {"office", "O120"},    {"Office", "O120"},  {"OFFICE", "O120"},
      {"SCARY", "S600"},     {"oafish", "O120"},  {"offset", "O123"},
      {"offices", "O122"},   {"recieve", "R210"}, {"receive", "R210"},
      {"teh", "T000"},       {"the", "T000"},     {"\xE9t\xE9", "T000"},
      {"b\xE9p", "B100"},    {"bp", "B000"},      {"b1p", "B100"},
      {"bhp", "B100"},       {"bwpwf", "B110"},   {"", ""},
      {"123", ""},           {"'-' ", ""},        {"\xE9\xE8\xFF", ""},
      {"b\0p"s, "B100"},     {"\0\0\0"s, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Soundex(c.word), c.key) << c.word;
    EXPECT_EQ(UnpackSoundex(PackedSoundex(c.word)), c.key) << c.word;
  }
  // Long words.
  std::string word(100000, 'x');
  EXPECT_EQ(Soundex(word), "X000");
  word += "bdlr";
  EXPECT_EQ(Soundex(word), "X134");
  word[1] = 'a';
  EXPECT_EQ(Soundex(word), "X213");
}

// No letter, digits without a letter, past Z, a digit of 7: values no word produces.
TEST(SoundexTest, UnpackGivesEmptyForValuesNoWordProduces) {
  for (const PackedKey key : {0, 0x01FF, 27 << 9, (1 << 9) | (7 << 6), 0xFFFF}) {
    EXPECT_EQ(UnpackSoundex(key), "") << key;
  }
}

}  // namespace
}  // namespace lexivane
