#include "engine/custom_dictionary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lexivane/error.h"
#include "lexivane/utf8.h"
#include "platform/text.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

using ::testing::ElementsAre;
using testing::ScratchDir;

class CustomDictionaryFile : public ::testing::Test {
 protected:
  // Loads a file with `content` into a dictionary that already holds "old1" and "old2".
  std::vector<std::u16string> LoadAfterOldWords(std::string_view content) {
    testing::WriteBytes(dir_.path() / "words.dic", content);
    CustomDictionary custom;
    custom.Add(u"old1");
    custom.Add(u"old2");
    custom.Load(dir_.File("words.dic"));
    return custom.words();
  }

  ScratchDir dir_;
};

// Lines end at CR or CR LF; a lone LF is an ordinary character. Lines shorter than two
// characters are skipped, and a file without a longer one leaves the list alone. The bytes
// are Windows-1252.
TEST_F(CustomDictionaryFile, LoadReplacesTheListWithTheLongerLines) {
  EXPECT_THAT(LoadAfterOldWords("alpha\r\nbeta\r\n"), ElementsAre(u"alpha", u"beta"));
  EXPECT_THAT(LoadAfterOldWords("alpha\rbeta\r\r\ngamma"),
              ElementsAre(u"alpha", u"beta", u"gamma"));
  EXPECT_THAT(LoadAfterOldWords("alpha\nbeta\n"), ElementsAre(u"alpha\nbeta\n"));
  EXPECT_THAT(LoadAfterOldWords("a\r\n\r\nbe\r\nx"), ElementsAre(u"be"));
  EXPECT_THAT(LoadAfterOldWords("\r\n\r\nx\r\n"), ElementsAre(u"old1", u"old2"));
  EXPECT_THAT(LoadAfterOldWords(""), ElementsAre(u"old1", u"old2"));
  EXPECT_THAT(LoadAfterOldWords(std::string("caf\xe9\r\n\x80uro\r\n\x81\x00z", 15)),
              ElementsAre(u"caf\u00e9", u"\u20acuro", std::u16string(u"\u0081\0z", 3)));
}

TEST_F(CustomDictionaryFile, GarbageAndHugeFilesLoad) {
  std::string garbage;
  for (int i = 0; i < 100000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  EXPECT_FALSE(LoadAfterOldWords(garbage).empty());

  std::string many;
  for (int i = 0; i < 1000000; ++i) many.append("w").append(std::to_string(i)).append("\r\n");
  testing::WriteBytes(dir_.path() / "many.dic", many);
  CustomDictionary custom;
  custom.Load(dir_.File("many.dic"));
  ASSERT_EQ(custom.words().size(), 1000000u);
  EXPECT_TRUE(custom.Contains(u"W999999"));
  EXPECT_FALSE(custom.Contains(u"w1000000"));
}

TEST_F(CustomDictionaryFile, AMissingFileThrowsAndKeepsTheList) {
  CustomDictionary custom;
  custom.Add(u"keep");
  EXPECT_THROW(custom.Load(dir_.File("absent.dic")), Error);
  EXPECT_THAT(custom.words(), ElementsAre(u"keep"));
}

TEST_F(CustomDictionaryFile, SaveWritesEveryEntryAndAnEmptyListAsNothing) {
  CustomDictionary custom;
  testing::WriteBytes(dir_.path() / "out.dic", "previous content");
  custom.Save(dir_.File("out.dic"));
  EXPECT_TRUE(testing::ReadBytes(dir_.path() / "out.dic").empty());
  // Duplicates, and words too short to load back, are saved all the same, as they were added.
  for (auto word : {u"Foo", u"Foo", u"x", u"", u"\u00ef\u4e00\xd800"}) custom.Add(word);
  custom.Save(dir_.File("out.dic"));
  const std::string expected = "Foo\r\nFoo\r\nx\r\n\r\n\xef??\r\n";
  EXPECT_EQ(testing::ReadBytes(dir_.path() / "out.dic"),
            std::vector<std::uint8_t>(expected.begin(), expected.end()));
}

TEST(CustomDictionary, ContainsIgnoresCaseOnly) {
  CustomDictionary custom;
  EXPECT_FALSE(custom.Contains(u""));
  custom.Add(u"Stra\u00dfe");
  custom.Add(u"New York");
  EXPECT_TRUE(custom.Contains(u"STRA\u00dfE"));
  EXPECT_TRUE(custom.Contains(u"new york"));
  EXPECT_FALSE(custom.Contains(u"newyork"));
  EXPECT_FALSE(custom.Contains(u"new york."));
}

// The index grows with the list, and a load rebuilds it: every entry is found however it came
// in, and none of a list that a load replaced.
TEST_F(CustomDictionaryFile, ContainsEveryEntryHoweverTheListGrew) {
  CustomDictionary custom;
  const auto word = [](int i) {
    std::u16string word = u"W";
    word += static_cast<char16_t>(u'a' + i % 26);
    return word + FromUtf8(std::to_string(i));
  };
  for (int i = 0; i < 5000; ++i) custom.Add(i % 2 ? word(i) : platform::ToLower(word(i)));
  custom.Add(u"WB1");  // a second entry of the form of word(1)
  int missed = 0;
  for (int i = 0; i < 5000; ++i) {
    missed += !custom.Contains(word(i)) + custom.Contains(word(i) + u"x");
  }
  EXPECT_EQ(missed, 0);
  testing::WriteBytes(dir_.path() / "words.dic", "loaded\r\nLOADED\r\n");
  custom.Load(dir_.File("words.dic"));
  custom.Add(u"added");
  EXPECT_TRUE(custom.Contains(u"Loaded") && custom.Contains(u"ADDED"));
  EXPECT_FALSE(custom.Contains(word(1)));
}

}  // namespace
}  // namespace lexivane
