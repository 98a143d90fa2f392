#include "engine/prepared_tables.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/word_list.h"
#include "lexivane/error.h"
#include "platform/module.h"
#include "platform/text.h"
#include "tests/reference/plain_engine.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(WordList, LoadsTheSmallExample) {
  const WordListTables tables = LoadWordList(Bytes("a\r\nab\r\nabc\r\nb\r\nba\r\nbe"));
  EXPECT_THAT(tables.words, ::testing::ElementsAre("ab", "abc", "ba", "be"));
  for (int slot = 0; slot < kPrefixSlots; ++slot) {
    std::pair<int, int> expected{0, 0};
    if (slot == PrefixSlot('a', 'b')) expected = {0, 1};
    if (slot == PrefixSlot('b', 'a')) expected = {2, 2};
    if (slot == PrefixSlot('b', 'e')) expected = {3, 3};
    if (slot == PrefixSlot(0, 0)) expected = {0, -1};
    ASSERT_EQ(std::make_pair(tables.start_idx[slot], tables.end_idx[slot]), expected) << slot;
  }
  // Lines are lower-cased, and the last one keeps the bytes that trail it.
  const WordListTables hello = LoadWordList(Bytes(std::string_view("Hello\r\nWORLD\0\0", 14)));
  EXPECT_THAT(hello.words, ::testing::ElementsAre("hello", std::string("world\0\0", 7)));
  EXPECT_EQ(UnpackSoundex(hello.keys[0]), "H400");
}

TEST(PreparedTables, RefusesWhatItCannotIndexExactly) {
  EXPECT_THROW(BuildPreparedImage(LoadWordList(Bytes("ab\r\nab"))), Error);
  EXPECT_THROW(BuildPreparedImage(LoadWordList(Bytes("ab\r\nba\r\nabc"))), Error);
  std::vector<std::uint8_t> image = BuildPreparedImage(LoadWordList(Bytes("ab\r\nac")));
  image.pop_back();
  EXPECT_THROW(PreparedTables{image}, Error);
}

// What a walk of the list in order skips by: the bytes each entry shares with the one before,
// none for the first, at most 255.
TEST(PreparedTables, CountTheBytesEachEntrySharesWithTheOneBefore) {
  const std::string longer(300, 'q');
  const std::string list = "ab\r\nabc\r\nabd\r\nb" + longer + "x\r\nb" + longer + "y\r\nbz";
  const std::vector<std::uint8_t> image = BuildPreparedImage(LoadWordList(Bytes(list)));
  const PreparedTables tables(image);
  ASSERT_EQ(tables.word_count(), 6);
  const int expected[] = {0, 2, 2, 0, 255, 1};
  for (std::int32_t i = 0; i < tables.word_count(); ++i)
    EXPECT_EQ(int{tables.SharedPrefix(i)}, expected[i]) << tables.Word(i).substr(0, 3);
}

// The embedded tables must be exactly what the plain loader makes of the embedded list, and
// the hash index must find every entry and nothing else: not a skipped one-letter line, not a
// prefix or an extension of an entry.
TEST(PreparedTables, EmbeddedTablesEqualThePlainLoad) {
  const auto list = platform::EmbeddedWordList();
  const PreparedTables prepared(platform::EmbeddedPreparedTables());
  reference::PlainEngine plain(prepared.word_count());
  plain.LoadDictionary(list);

  ASSERT_EQ(plain.tables.Words.size(), static_cast<std::size_t>(prepared.word_count()));
  for (std::int32_t i = 0; i < prepared.word_count(); ++i) {
    ASSERT_EQ(platform::FromSingleByte(prepared.Word(i)), plain.tables.Words[i]) << i;
    ASSERT_EQ(prepared.Find(prepared.Word(i)), i) << i;
    const std::string key = UnpackSoundex(prepared.Key(i));
    ASSERT_EQ(std::u16string(key.begin(), key.end()), plain.tables.Keys[i]) << i;
  }
  for (int slot = 0; slot < kPrefixSlots; ++slot) {
    ASSERT_EQ(prepared.StartIdx(slot), plain.tables.StartIdx[slot]) << slot;
    ASSERT_EQ(prepared.EndIdx(slot), plain.tables.EndIdx[slot]) << slot;
  }
  for (auto missing : {"", "a", "cafeteri", "cafeterias\xe9", "offise", "zzzzq"}) {
    EXPECT_EQ(prepared.Find(missing), -1) << missing;
  }
  EXPECT_EQ(prepared.Find(std::string(200, 'e')), -1);  // longer than any entry
}

// What the suggestion search counts on: the entries strictly ascending by byte value, and an "a"
// block for every letter (each suggestion window starts or ends at one).
TEST(EmbeddedWordList, HasTheExpectedShape) {
  const PreparedTables tables(platform::EmbeddedPreparedTables());
  EXPECT_GT(tables.word_count(), 95000);
  EXPECT_LT(tables.word_count(), 110000);
  for (std::int32_t i = 1; i < tables.word_count(); ++i) {
    ASSERT_LT(tables.Word(i - 1), tables.Word(i)) << i;
  }
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    const std::string xa{letter, 'a'};
    EXPECT_TRUE(tables.Word(tables.StartIdx(PrefixSlot(letter, 'a'))).starts_with(xa)) << xa;
  }
}

}  // namespace
}  // namespace lexivane
