#include "lexivane/spell_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "api/thread_state.h"
#include "platform/module.h"
#include "platform/text.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ScratchDir;

class SpellCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { engine_.Init(u"", u""); }
  SpellCheck engine_;
};

TEST(SpellCheckThreads, EmptyTablesUntilInitThenSharedByTheThread) {
  std::thread([] {
    SpellCheck first;
    EXPECT_FALSE(first.CheckWord(u"house"));
    EXPECT_TRUE(first.CheckWord(u"a"));
    SpellCheck second;
    second.Init(u"any name", u"any key", true);
    EXPECT_TRUE(first.CheckWord(u"house"));
    EXPECT_TRUE(SpellCheck().CheckWord(u"house"));
  }).join();
}

TEST(SpellCheckThreads, ThreadsShareNothing) {
  testing::OnFreshThread([] {
    SpellCheck here;
    here.Init();
    here.AddToCustom(u"wibblewobble");
    std::thread([] {
      SpellCheck there;
      EXPECT_FALSE(there.CheckWord(u"house"));
      EXPECT_FALSE(there.CheckWord(u"wibblewobble"));
      there.AddToCustom(u"flibbertyjib");
    }).join();
    EXPECT_TRUE(here.CheckWord(u"wibblewobble"));
    EXPECT_FALSE(here.CheckWord(u"flibbertyjib"));
  });
}

TEST(SpellCheckThreads, AReleasedStateComesBackEmpty) {
  testing::OnFreshThread([] {
    SpellCheck engine;
    engine.Init();
    engine.AddToCustom(u"wibblewobble");
    engine.DisableButtons(lvIgnore, lvHideButtons);
    ReleaseThisThread();
    // An engine object holds nothing of the thread's: it works on the fresh state at once.
    EXPECT_FALSE(engine.CheckWord(u"house"));
    EXPECT_FALSE(engine.CheckWord(u"wibblewobble"));
    EXPECT_TRUE(ThisThread().dialog.IsVisible(DialogButton::Ignore));
    engine.Init();
    EXPECT_TRUE(engine.CheckWord(u"house"));
  });
}

TEST_F(SpellCheckTest, InitTwiceChangesNothing) {
  engine_.Init(u"x", u"y");
  EXPECT_TRUE(engine_.CheckWord(u"house"));
  EXPECT_FALSE(engine_.CheckWord(u"hosue"));
}

TEST_F(SpellCheckTest, LetterCaseDoesNotMatter) {
  for (auto word : {u"hello", u"Hello", u"HELLO", u"hElLo"}) EXPECT_TRUE(engine_.CheckWord(word));
  EXPECT_TRUE(engine_.CheckWord(u"caf\u00e9"));
  EXPECT_TRUE(engine_.CheckWord(u"CAF\u00c9"));
}

TEST_F(SpellCheckTest, ShortAndNumericWordsNeedNoLookup) {
  for (auto word :
       {u"", u"x", u"7", u"?", u"1234", u"3.5", u"1,000", u"x1", u"z.z.", u"!!!", u"--"}) {
    EXPECT_TRUE(engine_.CheckWord(word, false)) << testing::Utf8(word);
  }
}

TEST_F(SpellCheckTest, PunctuationAroundAWordIsCleanedAway) {
  for (auto word : {u"hello,", u"(hello)", u"dogs'", u"john's", u"'hello", u"hello.world"}) {
    EXPECT_TRUE(engine_.CheckWord(word)) << testing::Utf8(word);
  }
  // One trailing mark only: "--hello--" cleans to "hello-".
  EXPECT_FALSE(engine_.CheckWord(u"--hello--"));
  // Plain words (bytes 0x40 to 0x7B only) are never cleaned.
  EXPECT_FALSE(engine_.CheckWord(u"hello_"));
  EXPECT_FALSE(engine_.CheckWord(u"abc123"));
}

TEST_F(SpellCheckTest, TheLastPrefixRangeAndTheEndOfTheList) {
  for (auto word : {u"zydeco", u"zygote", u"zymurgy"}) EXPECT_TRUE(engine_.CheckWord(word));
  // The list ends with two NUL bytes that belong to its last entry.
  const auto list = platform::EmbeddedWordList();
  const std::string_view text(reinterpret_cast<const char*>(list.data()), list.size());
  const std::string last(text.substr(text.rfind('\n') + 1));
  ASSERT_TRUE(last.ends_with(std::string(2, '\0')));
  const std::u16string bare = platform::FromSingleByte(last.substr(0, last.size() - 2));
  EXPECT_FALSE(engine_.CheckWord(bare, false)) << testing::Utf8(bare);
  EXPECT_TRUE(engine_.CheckWord(bare + u'\0' + u'\0', false));
}

TEST_F(SpellCheckTest, OddInputNeverThrows) {
  const std::u16string huge(100000, u'q');
  EXPECT_FALSE(engine_.CheckWord(huge));
  EXPECT_FALSE(engine_.CheckWord(u"qz\xd800"));
  EXPECT_FALSE(engine_.CheckWord(u"\xdc00\xd800qzx"));
  EXPECT_FALSE(engine_.CheckWord(u"zq\u4e00xx"));
  EXPECT_FALSE(engine_.CheckWord(std::u16string(u"qzh\0se", 6)));
}

TEST(SpellCheckCustom, CustomWordsAreSharedAndCaseBlind) {
  testing::OnFreshThread([] {
    SpellCheck other;
    SpellCheck().AddToCustom(u"Foo");
    EXPECT_TRUE(other.CheckWord(u"foo"));
    EXPECT_TRUE(other.CheckWord(u"FOO"));
    EXPECT_FALSE(other.CheckWord(u"foo", false));
    // The custom search gets the word with its punctuation.
    EXPECT_FALSE(other.CheckWord(u"foo,"));
  });
}

TEST(SpellCheckThreshold, ClampsToTheUnitInterval) {
  SpellCheck engine;
  EXPECT_EQ(engine.SuggestionSimilarity(), 0.8f);
  engine.SetSuggestionSimilarity(1.5f);
  EXPECT_EQ(engine.SuggestionSimilarity(), 1.0f);
  engine.SetSuggestionSimilarity(-0.2f);
  EXPECT_EQ(engine.SuggestionSimilarity(), 0.0f);
  engine.SetSuggestionSimilarity(0.5f);
  EXPECT_EQ(engine.SuggestionSimilarity(), 0.5f);
  engine.SetSuggestionSimilarity(std::nanf(""));
  EXPECT_EQ(engine.SuggestionSimilarity(), 0.5f);
  EXPECT_EQ(SpellCheck().SuggestionSimilarity(), 0.8f);
}

TEST_F(SpellCheckTest, SuggestionsRankCloseMatchesFirst) {
  std::vector<std::u16string> out;
  EXPECT_GT(engine_.GetSuggestions(u"offise", out), 0);
  auto at = [&](std::u16string_view word) {
    return std::find(out.begin(), out.end(), word) - out.begin();
  };
  EXPECT_EQ(out.front(), u"office");
  EXPECT_LT(at(u"office"), at(u"offish"));
  EXPECT_LT(at(u"offish"), at(u"oafish"));
  EXPECT_LT(at(u"oafish"), at(u"offset"));
  EXPECT_EQ(at(u"offices"), static_cast<long>(out.size()));  // 10/13 is below 0.8

  engine_.GetSuggestions(u"Teh", out);
  EXPECT_EQ(out.front(), u"the");
  engine_.GetSuggestions(u"office", out);
  EXPECT_EQ(out.front(), u"office");
}

TEST_F(SpellCheckTest, SplitsComeAfterBetterCandidates) {
  std::vector<std::u16string> out;
  const std::int32_t n = engine_.GetSuggestions(u"thankyou", out);
  ASSERT_EQ(n, static_cast<std::int32_t>(out.size()));
  EXPECT_THAT(out, ::testing::Contains(u"thank you"));
}

TEST_F(SpellCheckTest, GuardedWordsLeaveTheOutputAlone) {
  const std::u16string too_long(40000, u'a');
  for (std::u16string_view word :
       {std::u16string_view(u""), std::u16string_view(u"a"), std::u16string_view(u"1234"),
        std::u16string_view(u"!!"), std::u16string_view(too_long)}) {
    std::vector<std::u16string> out{u"untouched"};
    EXPECT_EQ(engine_.GetSuggestions(word, out), 0);
    EXPECT_THAT(out, ElementsAre(u"untouched"));
  }
}

TEST(SpellCheckCustom, CustomSuggestionsFollowUncounted) {
  testing::OnFreshThread([] {
    SpellCheck engine;
    engine.Init();
    engine.AddToCustom(u"Qwertyuiop");
    engine.AddToCustom(u"offise");
    std::vector<std::u16string> out{u"stale"};
    EXPECT_EQ(engine.GetSuggestions(u"qwertyuiop", out), 0);
    EXPECT_THAT(out, ElementsAre(u"Qwertyuiop"));
    const std::int32_t n = engine.GetSuggestions(u"offise", out);
    ASSERT_EQ(static_cast<std::size_t>(n) + 1, out.size());
    EXPECT_EQ(out.back(), u"offise");
    EXPECT_EQ(engine.GetSuggestions(u"offise", out, false), n);
    EXPECT_EQ(out.size(), static_cast<std::size_t>(n));
  });
}

TEST_F(SpellCheckTest, ThresholdShapesTheList) {
  std::vector<std::u16string> out;
  engine_.SetSuggestionSimilarity(1.0f);
  engine_.GetSuggestions(u"recieve", out);
  EXPECT_THAT(out, ElementsAre(u"receive"));
  engine_.SetSuggestionSimilarity(0.96f);
  engine_.GetSuggestions(u"offise", out);
  EXPECT_THAT(out, IsEmpty());
  // Nothing begins with "{a", so words beginning with "z" have an empty window.
  engine_.SetSuggestionSimilarity(0.0f);
  EXPECT_EQ(engine_.GetSuggestions(u"zygotr", out), 0);
}

TEST(SpellCheckCustom, CustomDictionaryFileRoundTrip) {
  testing::OnFreshThread([] {
    ScratchDir dir;
    const std::u16string file = dir.File("custom.dic");
    SpellCheck engine;
    engine.AddToCustom(u"Foo");
    engine.AddToCustom(u"foo");
    engine.AddToCustom(u"x");
    engine.AddToCustom(u"");
    engine.AddToCustom(u"Qzxv\u00efqz \u4e00");
    engine.SaveCustom(file);
    EXPECT_EQ(testing::ReadBytes(dir.path() / "custom.dic"),
              std::vector<std::uint8_t>({'F',  'o',  'o',  '\r', '\n', 'f',  'o',  'o', '\r',
                                         '\n', 'x',  '\r', '\n', '\r', '\n', 'Q',  'z', 'x',
                                         'v',  0xEF, 'q',  'z',  ' ',  '?',  '\r', '\n'}));
    engine.AddToCustom(u"extra");
    EXPECT_TRUE(engine.LoadCustom(file));
    EXPECT_TRUE(engine.CheckWord(u"foo"));
    EXPECT_FALSE(engine.CheckWord(u"extra"));
    EXPECT_TRUE(engine.CheckWord(u"QZXV\u00cfQZ ?"));
  });
}

TEST(SpellCheckCustom, FailuresReachTheHostOnlyFromSave) {
  testing::OnFreshThread([] {
    ScratchDir dir;
    SpellCheck engine;
    engine.AddToCustom(u"keepme");
    EXPECT_FALSE(engine.LoadCustom(dir.File("missing/custom.dic")));
    EXPECT_FALSE(engine.LoadCustom(dir.File("")));  // a directory
    EXPECT_TRUE(engine.CheckWord(u"keepme"));
    try {
      engine.SaveCustom(dir.File("missing/custom.dic"));
      FAIL() << "SaveCustom into a missing directory succeeded";
    } catch (const Error& error) {
      EXPECT_EQ(error.number(), ENOENT);
      EXPECT_THAT(error.what(), ::testing::HasSubstr("missing/custom.dic"));
    }
  });
}

}  // namespace
}  // namespace lexivane
