// The provider called as Enchant calls it: loaded with dlopen, every list freed with g_strfreev.
#include <dlfcn.h>
#include <enchant-provider.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> TakeList(char** list, std::size_t count) {
  std::vector<std::string> items(list, list + count);
  EXPECT_EQ(list ? list[count] : nullptr, nullptr);  // NULL-terminated as well as counted
  g_strfreev(list);
  return items;
}

class ProviderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = dlopen(PROVIDER_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module_, nullptr) << dlerror();
  }

  void SetUp() override {
    auto init = reinterpret_cast<EnchantProvider* (*)()>(dlsym(module_, "init_enchant_provider"));
    ASSERT_NE(init, nullptr);
    provider_ = init();
    dict_ = provider_->request_dict(provider_, "en_US");
    ASSERT_NE(dict_, nullptr);
  }

  void TearDown() override {
    provider_->dispose_dict(provider_, dict_);
    provider_->dispose(provider_);
  }

  int Check(const std::string& word) { return dict_->check(dict_, word.data(), word.size()); }

  std::vector<std::string> Suggest(const std::string& word) {
    std::size_t count = 99;
    char** list = dict_->suggest(dict_, word.data(), word.size(), &count);
    return TakeList(list, count);
  }

  static inline void* module_ = nullptr;
  EnchantProvider* provider_ = nullptr;
  EnchantDict* dict_ = nullptr;
};

TEST_F(ProviderTest, IdentifiesItselfAndServesEachEnglishVariant) {
  EXPECT_STREQ(provider_->identify(provider_), "lexivane");
  EXPECT_TRUE(g_utf8_validate(provider_->describe(provider_), -1, nullptr));
  std::size_t count = 0;
  char** tags = provider_->list_dicts(provider_, &count);
  const std::vector<std::string> served = {"en_US", "en_GB", "en_CA", "en_AU", "en"};
  EXPECT_EQ(TakeList(tags, count), served);
  for (const std::string& tag : served) {
    EXPECT_TRUE(provider_->dictionary_exists(provider_, tag.c_str()));
  }
  for (const char* tag : {"en_NZ", "de_DE", "", "en_US.UTF-8"}) {
    EXPECT_FALSE(provider_->dictionary_exists(provider_, tag)) << tag;
    EXPECT_EQ(provider_->request_dict(provider_, tag), nullptr) << tag;
  }
}

// Two dictionaries asked in turn on one thread each answer for their own variant.
TEST_F(ProviderTest, EachDictionaryChecksItsOwnVariant) {
  EnchantDict* british = provider_->request_dict(provider_, "en_GB");
  ASSERT_NE(british, nullptr);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(Check("color"), 0);
    EXPECT_EQ(Check("colour"), 1);
    EXPECT_EQ(british->check(british, "color", 5), 1);
    EXPECT_EQ(british->check(british, "colour", 6), 0);
  }
  std::size_t count = 0;
  char** list = british->suggest(british, "color", 5, &count);
  const std::vector<std::string> suggested = TakeList(list, count);
  ASSERT_FALSE(suggested.empty());
  EXPECT_EQ(suggested.front(), "colour");
  provider_->dispose_dict(provider_, british);
}

// Enchant's answers (0 correct, 1 misspelt), and for a misspelt word the first suggestion.
TEST_F(ProviderTest, ChecksAndSuggestsAsTheEngine) {
  const struct {
    std::string word;
    int answer;
    std::string first;  // "" when there is none
  } cases[] = {
      {"hello", 0, ""},
      {"Receive", 0, ""},  // letter case never matters
      {"recieve", 1, "receive"},
      {"wrold", 1, "world"},
      {"qzxvkjq", 1, ""},
      {"don't", 0, ""},
      {"wouldn\u2019t", 0, ""},  // the typographic apostrophe reads as '
      {"dont", 1, "don't"},
      {"Teh", 1, "The"},  // in the word's letter case
      // Invalid UTF-8 reads as U+FFFD: without letters it passes like "!!!", within them it
      // spoils the word. Enchant never passes a NUL; the engine's word then ends there ("he").
      {"\xff\xfe", 0, ""},
      {"hel\xffo", 1, "hello"},
      {std::string("he\0llo", 6), 0, ""},
      {std::string(1 << 20, 'x'), 1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Check(c.word), c.answer) << c.word.substr(0, 20);
    if (c.answer == 0) continue;
    const std::vector<std::string> suggestions = Suggest(c.word);
    EXPECT_EQ(suggestions.empty() ? "" : suggestions.front(), c.first) << c.word.substr(0, 20);
  }
}

// The suggestion search grows with the square of a word's length (some 9 s for this word); a
// pasted run of letters must not stall the host, so it is not searched at all. A search here
// would show as this test's run time, not as a failed assertion.
TEST_F(ProviderTest, LongWordsGetNoSuggestionSearch) {
  EXPECT_EQ(Suggest(std::string(30000, 'e')), std::vector<std::string>{});
}

TEST_F(ProviderTest, WordCharactersSplitAtDashesAndKeepInnerApostrophes) {
  EXPECT_STREQ(dict_->get_extra_word_characters(dict_), "'\u2019");
  const struct {
    std::u32string characters;
    int start, inside, end;
  } classes[] = {
      {U"a\u00e97_", 1, 1, 1},  // letters, digits, connectors
      {U"\u0301", 0, 1, 1},     // a mark belongs to the letter before it
      {U"'\u2019", 0, 1, 0},    // apostrophes
      // dashes (hyphen, en, em), slash, quotes, ^, blank, period, colon, +, &, ellipsis, emoji
      {U"-\u2013\u2014/\"\u201c\u2018^ .:+&\u2026\U0001F600", 0, 0, 0},
  };
  for (const auto& c : classes) {
    for (const std::uint32_t character : c.characters) {
      EXPECT_EQ(dict_->is_word_character(dict_, character, 0), c.start) << character;
      EXPECT_EQ(dict_->is_word_character(dict_, character, 1), c.inside) << character;
      EXPECT_EQ(dict_->is_word_character(dict_, character, 2), c.end) << character;
    }
  }
  EXPECT_EQ(dict_->is_word_character(dict_, 0x110000, 1), 0);  // no character at all
}

// A host may call one dictionary from several threads; each gets its own engine, with the same
// answers.
TEST_F(ProviderTest, AnswersOnEveryThread) {
  const std::vector<std::string> ranking = Suggest("recieve");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(Check("hello"), 0);
        EXPECT_EQ(Check("recieve"), 1);
        EXPECT_EQ(Suggest("recieve"), ranking);
      }
    });
  }
  for (auto& thread : threads) thread.join();
}

}  // namespace
