#include "suggest/typing/offered_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/test_support.h"

namespace lexivane {
namespace {

using testing::PlainEdits;

// The most edits a near word of `misspelling` may lie from it: within two (one for a
// misspelling of four letters or fewer) of one that begins alike, one of one that begins with
// another letter but the misspelling's second or its first as its second; none otherwise.
int MostEdits(std::u16string_view word, std::u16string_view misspelling) {
  if (word[0] == misspelling[0]) return misspelling.size() >= 5 ? 2 : 1;
  if (word[0] == misspelling[1] || word[1] == misspelling[0] || word[1] == misspelling[1]) return 1;
  return -1;
}

// Random words over a few letters, so that many lie near one another.
std::u16string RandomWord(std::mt19937& random, std::size_t shortest, std::size_t longest) {
  std::uniform_int_distribution<std::size_t> length(shortest, longest);
  std::uniform_int_distribution<int> letter(0, 4);
  std::u16string word(length(random), u'a');
  for (char16_t& c : word) c = static_cast<char16_t>(u'a' + letter(random));
  return word;
}

TEST(OfferedWords, EditsWithinIsThePlainDistanceUpToItsBound) {
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    const std::u16string a = RandomWord(random, 0, 9), b = RandomWord(random, 0, 9);
    const int most = round % 4;
    ASSERT_EQ(EditsWithin(a, b, most), std::min(PlainEdits<std::u16string_view>(a, b), most + 1))
        << round << " most " << most;
  }
  EXPECT_EQ(EditsWithin(u"abcd", u"bacd", 1), 1);  // a swap is one edit
  EXPECT_EQ(EditsWithin(u"ca", u"abc", 3), 3);     // not two: OSA edits no letter twice
}

// The index finds exactly the words a plain search over every word finds.
TEST(OfferedWords, FindsWhatAPlainSearchFinds) {
  std::mt19937 random(11);
  std::vector<std::u16string> words;
  for (int i = 0; i < 3000; ++i) words.push_back(RandomWord(random, 2, 8));
  const OfferedWordIndex index(words, 60);
  for (int round = 0; round < 300; ++round) {
    const std::u16string misspelling = RandomWord(random, 2, 8);
    std::vector<std::pair<std::u16string, int>> found, plain;
    index.ForEachNear(misspelling, [&](std::size_t word, int edits) {
      found.emplace_back(index.shown(word), edits);
    });
    for (std::size_t word = 0; word < index.size(); ++word) {
      const std::u16string listed(index.shown(word));
      const int edits = PlainEdits<std::u16string_view>(listed, misspelling);
      if (edits <= MostEdits(listed, misspelling)) plain.emplace_back(listed, edits);
    }
    std::sort(found.begin(), found.end());
    std::sort(plain.begin(), plain.end());
    ASSERT_EQ(found, plain) << round;
  }
}

// Words are matched in lower case and shown as given, in the order given.
TEST(OfferedWords, MatchesInLowerCaseAndShowsAsGiven) {
  const OfferedWordIndex index({u"GitHub", u"x", u"namespace", u"Gith\u00fcb"}, 60);
  ASSERT_EQ(index.size(), 3u);  // one letter is no word to offer
  EXPECT_EQ(index.level(), 60);
  std::vector<std::u16string> near;
  index.ForEachNear(u"githbu",
                    [&](std::size_t word, int) { near.emplace_back(index.shown(word)); });
  EXPECT_EQ(near, (std::vector<std::u16string>{u"GitHub", u"Gith\u00fcb"}));
}

}  // namespace
}  // namespace lexivane
