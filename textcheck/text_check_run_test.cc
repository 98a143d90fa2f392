// Whole text check runs, answered by a scripted dialog and watched by recording sinks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "lexivane/lexivane.h"
#include "platform/text.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

using ::testing::ElementsAre;
using testing::OnFreshThread;
using testing::Utf8;

// Writes every event, and every yield, as one line of a shared log.
class RecordingSink : public SpellCheckEvents {
 public:
  explicit RecordingSink(std::vector<std::string>& log, std::string prefix = "")
      : log_(log), prefix_(std::move(prefix)) {}

  bool cancel_on_unknown = false;

  void SpellReplace(std::u16string_view original, std::u16string_view replacement,
                    std::int32_t position, std::vector<std::u16string>& suggestions) override {
    Log("Replace " + Utf8(original) + " " + Utf8(replacement) + " " + std::to_string(position) +
        " [" + std::to_string(suggestions.size()) + "]");
  }
  void SpellWordNotInDic(std::u16string_view original, std::int32_t position,
                         bool& cancel) override {
    Log("NotInDic " + Utf8(original) + " " + std::to_string(position) + " " +
        (cancel ? "true" : "false"));
    if (cancel_on_unknown) cancel = true;
  }
  void SpellChangeAll(std::u16string_view original, std::u16string_view replacement,
                      std::int32_t position) override {
    Log("ChangeAll " + Utf8(original) + " " + Utf8(replacement) + " " + std::to_string(position));
  }
  void SpellCheckCancel() override { Log("Cancel"); }
  void SpellCheckComplete(std::int32_t words) override { Log("Complete " + std::to_string(words)); }
  void SpellCheckProgress(std::int32_t position, std::int32_t total, std::int32_t words) override {
    Log("Progress " + std::to_string(position) + " " + std::to_string(total) + " " +
        std::to_string(words));
  }

 private:
  void Log(const std::string& line) { log_.push_back(prefix_ + line); }
  std::vector<std::string>& log_;
  std::string prefix_;
};

// One thread with the word list loaded, a scripted dialog, a yield that logs itself and a
// recording sink on `engine`; everything is undone when the thread ends.
class RunFixture {
 public:
  explicit RunFixture(std::function<void(SuggestionsDialog&)> user)
      : view_(std::move(user)), sink_(log) {
    engine.Init();
    engine.Advise(&sink_);
    SetDialogView(&view_);
    SetYieldFunction([this] { log.push_back("yield"); });
  }
  ~RunFixture() {
    SetDialogView(nullptr);
    SetYieldFunction(nullptr);
  }

  int showings() const { return view_.showings(); }
  RecordingSink& sink() { return sink_; }

  std::vector<std::string> log;
  SpellCheck engine;

 private:
  ScriptedDialogView view_;
  RecordingSink sink_;
};

void ClickItem(SuggestionsDialog& dialog, std::u16string_view item, DialogButton button) {
  const auto& items = dialog.Suggestions();
  const auto found = std::find(items.begin(), items.end(), item);
  ASSERT_NE(found, items.end()) << Utf8(item);
  dialog.Select(static_cast<int>(found - items.begin()));
  dialog.Tick();
  dialog.Click(button);
}

void TypeAndClick(SuggestionsDialog& dialog, std::u16string_view text, DialogButton button) {
  dialog.SetChangeToText(text);
  dialog.Tick();
  dialog.Click(button);
}

TEST(TextCheckRun, TheCatSat) {
  OnFreshThread([] {
    std::u16string caption;
    RunFixture run([&](SuggestionsDialog& dialog) {
      caption = dialog.Caption();
      EXPECT_EQ(dialog.ChangeToText(), u"Teh");
      dialog.Tick();
      EXPECT_FALSE(dialog.IsEnabled(DialogButton::Change));
      ClickItem(dialog, u"The", DialogButton::Change);
    });
    run.engine.CheckText(u"Teh cat sat.");
    EXPECT_EQ(caption, u"Spell Check (not in dictionary: Teh)");
    EXPECT_THAT(run.log, ElementsAre("Progress 0 12 1", "NotInDic Teh 0 false", "yield",
                                     "Replace Teh The 0 [0]", "Progress 4 12 2", "yield",
                                     "Progress 8 12 3", "yield", "Complete 3"));
  });
}

TEST(TextCheckRun, EmptyTokensAreCountedAndAccepted) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog&) { FAIL() << "no dialog expected"; });
    run.engine.CheckText(u"");
    EXPECT_TRUE(run.log.empty());
    run.engine.CheckText(u"   ");
    EXPECT_THAT(run.log, ElementsAre("Progress 0 3 1", "yield", "Progress 1 3 2", "yield",
                                     "Progress 2 3 3", "yield", "Complete 3"));
    run.log.clear();
    run.engine.CheckText(u"hello, world.");
    EXPECT_THAT(run.log, ElementsAre("Progress 0 13 1", "yield", "Progress 6 13 2", "yield",
                                     "Progress 7 13 3", "yield", "Complete 3"));
  });
}

TEST(TextCheckRun, WithoutTheDialogOnlyTheUnknownWordIsReported) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog&) { FAIL() << "no dialog expected"; });
    run.engine.CheckText(u"cat wrold", false);
    EXPECT_THAT(run.log, ElementsAre("Progress 0 9 1", "yield", "Progress 4 9 2",
                                     "NotInDic wrold 4 false", "yield", "Complete 2"));
  });
}

TEST(TextCheckRun, CancelFromTheHostEndsTheRunBeforeTheDialog) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog&) { FAIL() << "no dialog expected"; });
    run.sink().cancel_on_unknown = true;
    run.engine.CheckText(u"wrold cat wrold");
    EXPECT_THAT(run.log, ElementsAre("Progress 0 15 1", "NotInDic wrold 0 false", "Cancel"));
    EXPECT_EQ(run.showings(), 0);
  });
}

TEST(TextCheckRun, CancelFromTheDialogEndsTheRun) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog& dialog) { dialog.Click(DialogButton::Cancel); });
    run.engine.CheckText(u"wrold cat");
    EXPECT_THAT(run.log, ElementsAre("Progress 0 9 1", "NotInDic wrold 0 false", "Cancel"));
  });
}

TEST(TextCheckRun, IgnoreAllCoversEveryLetterCase) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog& dialog) { dialog.Click(DialogButton::IgnoreAll); });
    run.engine.CheckText(u"Wrold wrold WROLD");
    EXPECT_EQ(run.showings(), 1);
    EXPECT_THAT(run.log,
                ElementsAre("Progress 0 17 1", "NotInDic Wrold 0 false", "yield", "Progress 6 17 2",
                            "yield", "Progress 12 17 3", "yield", "Complete 3"));
  });
}

TEST(TextCheckRun, IgnoreReportsTheNextOccurrenceAgain) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog& dialog) { dialog.PressEscape(); });
    run.engine.CheckText(u"wrold wrold");
    EXPECT_EQ(run.showings(), 2);
  });
}

TEST(TextCheckRun, ChangeAllMovesLaterPositions) {
  OnFreshThread([] {
    RunFixture run(
        [](SuggestionsDialog& dialog) { TypeAndClick(dialog, u"speak", DialogButton::ChangeAll); });
    run.engine.CheckText(u"a xqzvwk b xqzvwk");
    EXPECT_THAT(run.log,
                ElementsAre("Progress 0 17 1", "yield", "Progress 2 17 2",
                            "NotInDic xqzvwk 2 false", "ChangeAll xqzvwk speak 2", "yield",
                            "Progress 8 15 3", "yield", "Progress 10 15 4", "yield", "Complete 4"));
  });
}

TEST(TextCheckRun, ShortOrUnchangedAnswersRaiseNoReplace) {
  OnFreshThread([] {
    // Change takes a one-letter answer; Add Word is the only way to answer with the same word
    // in other letter case.
    std::u16string answer;
    RunFixture run([&](SuggestionsDialog& dialog) {
      TypeAndClick(dialog, answer,
                   answer.size() < 2 ? DialogButton::Change : DialogButton::AddWord);
    });
    answer = u"x";
    run.engine.CheckText(u"wrold", false);
    run.engine.CheckText(u"wrold");
    EXPECT_EQ(std::count_if(run.log.begin(), run.log.end(),
                            [](const std::string& line) { return line.starts_with("Replace"); }),
              0);
    // A change of letter case alone is a replacement (only Add Word lets it through).
    answer = u"WROLD";
    run.log.clear();
    run.engine.CheckText(u"wrold");
    EXPECT_THAT(run.log, ::testing::Contains("Replace wrold WROLD 0 [0]"));
    EXPECT_TRUE(run.engine.CheckWord(u"Wrold"));  // Add Word added it for the thread
  });
}

TEST(TextCheckRun, ChangeAllToAWordAlreadySkipped) {
  OnFreshThread([] {
    int showing = 0;
    RunFixture run([&](SuggestionsDialog& dialog) {
      if (showing++ == 0) {
        dialog.Click(DialogButton::IgnoreAll);  // "xqzvwk" into the skip list
      } else {
        TypeAndClick(dialog, u"xqzvwk", DialogButton::ChangeAll);
      }
    });
    run.engine.CheckText(u"xqzvwk wrold wrold xqzvwk");
    EXPECT_EQ(run.showings(), 2);
    EXPECT_EQ(run.log.back(), "Complete 4");
  });
}

TEST(TextCheckRun, NestedRunsAreIndependent) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog& dialog) { dialog.Click(DialogButton::Ignore); });
    SpellCheck inner_engine;
    RecordingSink inner_sink(run.log, "inner ");
    inner_engine.Advise(&inner_sink);

    class NestingSink : public SpellCheckEvents {
     public:
      explicit NestingSink(SpellCheck& engine) : engine_(engine) {}
      void SpellCheckProgress(std::int32_t, std::int32_t, std::int32_t words) override {
        if (words == 2) engine_.CheckText(u"inner wrold", false);
      }
      SpellCheck& engine_;
    } nesting(inner_engine);
    run.engine.Advise(&nesting);

    run.engine.CheckText(u"cat sat wrold");
    EXPECT_THAT(run.log,
                ElementsAre("Progress 0 13 1", "yield", "Progress 4 13 2", "inner Progress 0 11 1",
                            "yield", "inner Progress 6 11 2", "inner NotInDic wrold 6 false",
                            "yield", "inner Complete 2", "yield", "Progress 8 13 3",
                            "NotInDic wrold 8 false", "yield", "Complete 3"));
  });
}

TEST(TextCheckRun, FailuresEndTheRunAndReachTheCaller) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog&) {});  // leaves the dialog shown
    EXPECT_THROW(run.engine.CheckText(u"cat wrold"), Error);
    SetDialogView(nullptr);
    EXPECT_THROW(run.engine.CheckText(u"cat wrold"), Error);

    class ThrowingSink : public SpellCheckEvents {
      void SpellCheckProgress(std::int32_t, std::int32_t, std::int32_t words) override {
        if (words == 2) throw std::runtime_error("host failure");
      }
    } throwing;
    run.engine.Advise(&throwing);
    run.log.clear();
    EXPECT_THROW(run.engine.CheckText(u"cat sat mat", false), std::runtime_error);
    EXPECT_THAT(run.log, ElementsAre("Progress 0 11 1", "yield", "Progress 4 11 2"));
  });
}

TEST(TextCheckRun, OddTextNeverBreaksTheWalk) {
  OnFreshThread([] {
    RunFixture run([](SuggestionsDialog&) {});
    SetYieldFunction(nullptr);
    const std::u16string odd(u"\xd800 caf\u00e9\0\0 \xdc00x \U0001F600\tend", 18);
    run.engine.CheckText(odd, false);
    EXPECT_EQ(run.log.back(), "Complete 5");
  });
}

TEST(TextCheckRun, AHundredMegabyteTextRunsToTheEnd) {
  // 50 million code units are 100 MB of UTF-16; the sanitizer build walks a tenth of that.
#if defined(LEXIVANE_SANITIZED)
  constexpr std::size_t kUnits = 5'000'000;
#else
  constexpr std::size_t kUnits = 50'000'000;
#endif
  const std::u16string line = u"The quick brown fox jumps over the lazy dgo, teh end.\r\n";
  std::u16string text;
  text.reserve(kUnits + line.size());
  while (text.size() < kUnits) text += line;
  OnFreshThread([&] {
    SpellCheck engine;
    engine.Init();
    struct Counter : SpellCheckEvents {
      void SpellWordNotInDic(std::u16string_view, std::int32_t, bool&) override { ++unknown; }
      void SpellCheckComplete(std::int32_t words) override { tokens = words; }
      std::int64_t unknown = 0;
      std::int32_t tokens = 0;
    } counter;
    engine.Advise(&counter);
    engine.CheckText(text, false);
    const std::int64_t lines = static_cast<std::int64_t>(text.size() / line.size());
    EXPECT_EQ(counter.unknown, 2 * lines);  // "dgo" and "teh"
    // Eleven words, and the empty tokens after ", " and at CR and LF.
    EXPECT_EQ(counter.tokens, 14 * lines);
  });
}

// A host that applies every SpellReplace and SpellChangeAll to its own copy of the text, as a
// word processor would.
class HostDocument : public SpellCheckEvents {
 public:
  explicit HostDocument(std::u16string text) : text(std::move(text)) {}

  void SpellWordNotInDic(std::u16string_view word, std::int32_t position, bool&) override {
    EXPECT_EQ(text.substr(position + shift_, word.size()), word) << "at " << position;
  }
  void SpellReplace(std::u16string_view word, std::u16string_view replacement,
                    std::int32_t position, std::vector<std::u16string>&) override {
    // Replacements made earlier in the text moved everything after them.
    ASSERT_EQ(text.substr(position + shift_, word.size()), word) << "at " << position;
    text.replace(position + shift_, word.size(), replacement);
    shift_ +=
        static_cast<std::int32_t>(replacement.size()) - static_cast<std::int32_t>(word.size());
  }
  void SpellChangeAll(std::u16string_view word, std::u16string_view replacement,
                      std::int32_t) override {
    text = SpellCheck().ReplaceWord(text, word, replacement);
  }

  std::u16string text;

 private:
  std::int32_t shift_ = 0;
};

std::u16string CaseLike(std::u16string_view model, std::u16string_view word) {
  std::u16string result(word);
  if (model.size() > 1 && model[1] >= u'A' && model[1] <= u'Z') {
    for (auto& c : result) c = static_cast<char16_t>(c - (c >= u'a' && c <= u'z' ? 32 : 0));
  } else if (model[0] >= u'A' && model[0] <= u'Z') {
    result[0] = static_cast<char16_t>(result[0] - 32);
  }
  return result;
}

TEST(TextCheckRun, AHostThatFollowsTheEventsEndsWithTheCorrectedText) {
  OnFreshThread([] {
    // Misspellings answered with Change (each occurrence, in the occurrence's letter case) and
    // Change All (every occurrence, with the replacement exactly as typed).
    const std::vector<std::pair<std::u16string, std::u16string>> change = {
        {u"teh", u"the"}, {u"wrold", u"world"}, {u"becuase", u"because"}};
    const std::vector<std::pair<std::u16string, std::u16string>> change_all = {
        {u"recieve", u"receive"}, {u"seperate", u"separate"}};
    const std::vector<std::u16string> correct = {u"the",   u"cat",   u"sat",    u"on",
                                                 u"mat",   u"and",   u"office", u"house",
                                                 u"hello", u"thank", u"you"};
    const std::vector<std::u16string> separators = {u" ", u", ", u".\r\n", u" - ", u"; ", u"\t"};

    std::mt19937 random(20261205);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    auto cased = [&](std::u16string word) {
      switch (pick(3)) {
        case 0:
          return word;
        case 1:
          return CaseLike(u"Xx", word);
        default:
          return CaseLike(u"XX", word);
      }
    };
    std::u16string text, expected;
    for (int i = 0; i < 4000; ++i) {
      std::u16string word, fixed;
      switch (pick(6)) {
        case 0: {
          const auto& [wrong, right] = change[pick(change.size())];
          word = cased(wrong);
          fixed = CaseLike(word, right);
          break;
        }
        case 1: {
          const auto& [wrong, right] = change_all[pick(change_all.size())];
          word = cased(wrong);
          fixed = right;
          break;
        }
        default:
          word = fixed = cased(correct[pick(correct.size())]);
      }
      const std::u16string& separator = separators[pick(separators.size())];
      text += word + separator;
      expected += fixed + separator;
    }

    RunFixture run([&](SuggestionsDialog& dialog) {
      const std::u16string word(dialog.ChangeToText());
      for (const auto& [wrong, right] : change_all) {
        if (platform::ToLower(word) == wrong)
          return TypeAndClick(dialog, right, DialogButton::ChangeAll);
      }
      for (const auto& [wrong, right] : change) {
        if (platform::ToLower(word) == wrong)
          return ClickItem(dialog, CaseLike(word, right), DialogButton::Change);
      }
      FAIL() << "unexpected word " << Utf8(word);
    });
    SetYieldFunction(nullptr);
    HostDocument host(text);
    run.engine.Advise(&host);
    run.engine.CheckText(text);
    EXPECT_TRUE(host.text == expected);
    EXPECT_EQ(run.log.back().substr(0, 8), "Complete");
  });
}

}  // namespace
}  // namespace lexivane
