#include "lexivane/spell_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "api/thread_state.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/utf8.h"
#include "platform/module.h"
#include "platform/text.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

using ::testing::ElementsAre;
using testing::ScratchDir;

class SpellCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { engine_.Init(u"", u""); }
  SpellCheck engine_;
};

TEST(SpellCheckThreads, EmptyTablesUntilInitThenSharedByTheThreadAndNoOther) {
  testing::OnFreshThread([] {
    SpellCheck first;
    EXPECT_FALSE(first.CheckWord(u"house"));
    EXPECT_TRUE(first.CheckWord(u"a"));
    SpellCheck second;
    second.Init(u"any name", u"any key", true);
    second.Init(u"x", u"y");
    second.AddToCustom(u"wibblewobble");
    EXPECT_TRUE(first.CheckWord(u"house"));
    EXPECT_FALSE(first.CheckWord(u"hosue"));
    EXPECT_TRUE(SpellCheck().CheckWord(u"wibblewobble"));
    std::thread([] {
      SpellCheck there;
      EXPECT_FALSE(there.CheckWord(u"house"));
      EXPECT_FALSE(there.CheckWord(u"wibblewobble"));
      there.AddToCustom(u"flibbertyjib");
    }).join();
    EXPECT_FALSE(first.CheckWord(u"flibbertyjib"));
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

// The cleaning itself is in engine/word_check_test.cc, and every token of a large text is
// compared with the plain reference in tests/engine_equivalence_test.cc.
TEST_F(SpellCheckTest, WordCheckEdgeCases) {
  const std::u16string huge(100000, u'q'), with_nul(u"qzh\0se", 6);
  // Short and numeric words, also once cleaned, need no lookup; plain words (bytes 0x40 to 0x7B
  // only) are never cleaned.
  const std::u16string_view accepted[] = {u"hElLo",   u"CAF\u00c9", u"zymurgy", u"",
                                          u"x",       u"1,000",     u"z.z.",    u"--",
                                          u"(hello)", u"john's"};
  const std::u16string_view refused[] = {u"--hello--", u"hello_",     u"abc123", huge,
                                         u"qz\xd800",  u"zq\u4e00xx", with_nul};
  for (auto word : accepted) EXPECT_TRUE(engine_.CheckWord(word, false)) << testing::Utf8(word);
  for (auto word : refused) EXPECT_FALSE(engine_.CheckWord(word, false)) << testing::Utf8(word);
  // The list ends with two NUL bytes that belong to its last entry.
  const auto list = platform::EmbeddedWordList();
  const std::string_view text(reinterpret_cast<const char*>(list.data()), list.size());
  const std::string last(text.substr(text.rfind('\n') + 1));
  ASSERT_TRUE(last.ends_with(std::string(2, '\0')));
  const std::u16string bare = platform::FromSingleByte(last.substr(0, last.size() - 2));
  EXPECT_FALSE(engine_.CheckWord(bare, false)) << testing::Utf8(bare);
  EXPECT_TRUE(engine_.CheckWord(bare + u'\0' + u'\0', false));
}

TEST(SpellCheckThreshold, ClampsToTheUnitInterval) {
  SpellCheck engine;
  EXPECT_EQ(engine.SuggestionSimilarity(), 0.8f);
  for (auto [requested, kept] :
       {std::pair{1.5f, 1.0f}, {-0.2f, 0.0f}, {0.5f, 0.5f}, {std::nanf(""), 0.5f}}) {
    engine.SetSuggestionSimilarity(requested);
    EXPECT_EQ(engine.SuggestionSimilarity(), kept) << requested;
  }
  EXPECT_EQ(SpellCheck().SuggestionSimilarity(), 0.8f);
}

TEST_F(SpellCheckTest, GuardedWordsLeaveTheOutputAlone) {
  const std::u16string too_long(40000, u'a');
  const std::u16string_view guarded[] = {u"", u"a", u"1234", u"!!", too_long};
  for (std::u16string_view word : guarded) {
    std::vector<std::u16string> out{u"untouched"};
    EXPECT_EQ(engine_.GetSuggestions(word, out), 0);
    EXPECT_THAT(out, ElementsAre(u"untouched"));
  }
}

// Custom words are the thread's, whichever object added them, and match in any letter case.
TEST(SpellCheckCustom, CustomWordsInChecksAndSuggestions) {
  testing::OnFreshThread([] {
    SpellCheck engine;
    engine.Init();
    SpellCheck().AddToCustom(u"Qwertyuiop");
    engine.AddToCustom(u"offise");
    EXPECT_TRUE(engine.CheckWord(u"QWERTYUIOP"));
    EXPECT_FALSE(engine.CheckWord(u"qwertyuiop", false));
    // The custom search gets the word with its punctuation.
    EXPECT_FALSE(engine.CheckWord(u"qwertyuiop,"));
    // A custom word that matches follows the counted suggestions.
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

// What the pipe and the Enchant provider offer: the ranking in the word's letter case, at most
// as many as asked.
TEST(ShownSuggestions, InTheWordsLetterCase) {
  testing::OnFreshThread([] {
    SpellCheck engine;
    engine.Init();
    const struct {
      std::u16string word;
      std::size_t max_count;
      std::vector<std::u16string> first;
    } cases[] = {
        {u"Teh", 3, {u"The", u"Tee", u"Th"}},
        {u"TEH", 2, {u"THE", u"TEE"}},
        {u"tEH", 1, {u"the"}},  // no style worth copying: the list's own case
        {u"teh", 0, {}},
        {u"x", 5, {}},  // too short to search
    };
    for (const auto& c : cases) {
      EXPECT_EQ(ShownSuggestions(engine, c.word, c.max_count), c.first) << ToUtf8(c.word);
    }
  });
}

// The file's format is in engine/custom_dictionary_test.cc; here, the thread's words go to a
// file and back, and a failure reaches the host only from Save.
TEST(SpellCheckCustom, CustomDictionaryFileRoundTripAndFailures) {
  testing::OnFreshThread([] {
    ScratchDir dir;
    const std::u16string file = dir.File("custom.dic"), missing = dir.File("missing/custom.dic");
    SpellCheck engine;
    engine.AddToCustom(u"Foo");
    engine.AddToCustom(u"Qzxv\u00efqz \u4e00");
    engine.SaveCustom(file);
    engine.AddToCustom(u"extra");
    EXPECT_TRUE(engine.LoadCustom(file));
    EXPECT_FALSE(engine.CheckWord(u"extra"));
    EXPECT_TRUE(engine.CheckWord(u"QZXV\u00cfQZ ?"));
    EXPECT_FALSE(engine.LoadCustom(missing));
    EXPECT_FALSE(engine.LoadCustom(dir.File("")));  // a directory
    EXPECT_TRUE(engine.CheckWord(u"foo"));
    const Error error = testing::ErrorFrom([&] { engine.SaveCustom(missing); });
#ifdef _WIN32
    EXPECT_EQ(error.number(), 3);  // ERROR_PATH_NOT_FOUND
#else
    EXPECT_EQ(error.number(), ENOENT);
#endif
    EXPECT_THAT(error.what(), ::testing::HasSubstr("missing/custom.dic"));
  });
}

}  // namespace
}  // namespace lexivane
