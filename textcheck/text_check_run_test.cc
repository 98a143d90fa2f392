// Text check runs: the run itself against a host that answers from a script instead of a
// dialog, then whole CheckText calls through the public API with a scripted dialog view.
#include "textcheck/text_check_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <deque>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/dictionaries.h"
#include "lexivane/lexivane.h"
#include "platform/text.h"
#include "tests/test_support.h"
#include "textcheck/event_sinks.h"

namespace lexivane {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::OnFreshThread;
using testing::Utf8;
using Answer = TextCheckHost::Answer;

// Writes every event as one line of a shared log.
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

// Loaded once: the tables are immutable, and each host gets its own custom dictionary.
Dictionaries& LoadedDictionaries() {
  static Dictionaries* dictionaries = [] {
    auto* loaded = new Dictionaries;
    loaded->tables.Load();
    return loaded;
  }();
  return *dictionaries;
}

// Answers the run's questions from a queue and logs each question and each yield.
class ScriptedHost : public TextCheckHost {
 public:
  explicit ScriptedHost(std::vector<std::string>& log, std::deque<Answer> answers = {})
      : log_(log), answers_(std::move(answers)) {}

  bool CheckWord(std::u16string_view token) override {
    return IsAcceptedWord(LoadedDictionaries(), token, true);
  }
  Answer AskUser(std::u16string_view token) override {
    log_.push_back("ask " + Utf8(token));
    if (answers_.empty()) throw std::runtime_error("no answer scripted for " + Utf8(token));
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
  }
  void Yield() override { log_.push_back("yield"); }

 private:
  std::vector<std::string>& log_;
  std::deque<Answer> answers_;
};

Answer Change(std::u16string text) {
  return {std::move(text), false, false};
}
Answer ChangeAll(std::u16string text) {
  return {std::move(text), true, false};
}
Answer IgnoreAll(std::u16string word) {
  return {std::move(word), false, true};
}
const Answer kCancel{std::nullopt, false, false};

struct RunCase {
  const char* what;
  std::u16string text;
  bool show_dialog;
  std::deque<Answer> answers;
  std::vector<std::string> events;
  bool cancel_on_unknown = false;
};

TEST(TextCheckRun, EventsInOrder) {
  const RunCase cases[] = {
      {"a Change", u"Teh cat sat.", true, {Change(u"The")},
       {"Progress 0 12 1", "NotInDic Teh 0 false", "ask Teh", "yield", "Replace Teh The 0 [0]",
        "Progress 4 12 2", "yield", "Progress 8 12 3", "yield", "Complete 3"}},
      {"an empty text raises nothing", u"", true, {}, {}},
      {"empty tokens are counted", u"   ", true, {},
       {"Progress 0 3 1", "yield", "Progress 1 3 2", "yield", "Progress 2 3 3", "yield",
        "Complete 3"}},
      {"the empty token between comma and space", u"hello, world.", true, {},
       {"Progress 0 13 1", "yield", "Progress 6 13 2", "yield", "Progress 7 13 3", "yield",
        "Complete 3"}},
      {"no dialog: only the report", u"cat wrold", false, {},
       {"Progress 0 9 1", "yield", "Progress 4 9 2", "NotInDic wrold 4 false", "yield",
        "Complete 2"}},
      {"the host cancels before the dialog", u"wrold cat wrold", true, {},
       {"Progress 0 15 1", "NotInDic wrold 0 false", "Cancel"}, true},
      {"the user cancels", u"wrold cat", true, {kCancel},
       {"Progress 0 9 1", "NotInDic wrold 0 false", "ask wrold", "Cancel"}},
      {"Ignore All covers every letter case", u"Wrold wrold WROLD", true, {IgnoreAll(u"Wrold")},
       {"Progress 0 17 1", "NotInDic Wrold 0 false", "ask Wrold", "yield", "Progress 6 17 2",
        "yield", "Progress 12 17 3", "yield", "Complete 3"}},
      {"Ignore asks again", u"wrold wrold", true, {Change(u"wrold"), Change(u"wrold")},
       {"Progress 0 11 1", "NotInDic wrold 0 false", "ask wrold", "yield", "Progress 6 11 2",
        "NotInDic wrold 6 false", "ask wrold", "yield", "Complete 2"}},
      // The replacement, unknown itself, is not reported where it replaced the word.
      {"Change All moves later positions", u"a xqzvwk b xqzvwk", true, {ChangeAll(u"zpeak")},
       {"Progress 0 17 1", "yield", "Progress 2 17 2", "NotInDic xqzvwk 2 false", "ask xqzvwk",
        "ChangeAll xqzvwk zpeak 2", "yield", "Progress 8 15 3", "yield", "Progress 10 15 4",
        "yield", "Complete 4"}},
      {"a one-letter answer is no replacement", u"wrold", true, {Change(u"x")},
       {"Progress 0 5 1", "NotInDic wrold 0 false", "ask wrold", "yield", "Complete 1"}},
      {"a change of letter case is a replacement", u"wrold", true, {Change(u"WROLD")},
       {"Progress 0 5 1", "NotInDic wrold 0 false", "ask wrold", "yield",
        "Replace wrold WROLD 0 [0]", "Complete 1"}},
      {"Change All to a word already skipped", u"xqzvwk wrold wrold xqzvwk", true,
       {IgnoreAll(u"xqzvwk"), ChangeAll(u"xqzvwk")},
       {"Progress 0 25 1", "NotInDic xqzvwk 0 false", "ask xqzvwk", "yield", "Progress 7 25 2",
        "NotInDic wrold 7 false", "ask wrold", "ChangeAll wrold xqzvwk 7", "yield",
        "Progress 14 27 3", "yield", "Progress 21 27 4", "yield", "Complete 4"}},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> log;
    RecordingSink sink(log);
    sink.cancel_on_unknown = c.cancel_on_unknown;
    EventSinks sinks;
    sinks.Advise(&sink);
    ScriptedHost host(log, c.answers);
    RunTextCheck(c.text, c.show_dialog, sinks, host);
    EXPECT_THAT(log, ElementsAreArray(c.events));
  }
}

TEST(TextCheckRun, NestedRunsAreIndependent) {
  std::vector<std::string> log;
  RecordingSink outer_sink(log), inner_sink(log, "inner ");
  EventSinks outer, inner;
  outer.Advise(&outer_sink);
  inner.Advise(&inner_sink);
  ScriptedHost host(log, {Change(u"wrold")});
  struct Nesting : SpellCheckEvents {
    void SpellCheckProgress(std::int32_t, std::int32_t, std::int32_t words) override {
      if (words == 2) RunTextCheck(u"inner wrold", false, *inner, *host);
    }
    EventSinks* inner;
    ScriptedHost* host;
  } nesting;
  nesting.inner = &inner;
  nesting.host = &host;
  outer.Advise(&nesting);

  RunTextCheck(u"cat sat wrold", true, outer, host);
  EXPECT_THAT(log, ElementsAre("Progress 0 13 1", "yield", "Progress 4 13 2",
                               "inner Progress 0 11 1", "yield", "inner Progress 6 11 2",
                               "inner NotInDic wrold 6 false", "yield", "inner Complete 2",
                               "yield", "Progress 8 13 3", "NotInDic wrold 8 false", "ask wrold",
                               "yield", "Complete 3"));
}

TEST(TextCheckRun, FailuresEndTheRunAndReachTheCaller) {
  std::vector<std::string> log;
  RecordingSink sink(log);
  EventSinks sinks;
  sinks.Advise(&sink);
  ScriptedHost unanswered(log);
  EXPECT_THROW(RunTextCheck(u"cat wrold sat", true, sinks, unanswered), std::runtime_error);
  EXPECT_EQ(log.back(), "ask wrold");

  struct ThrowingSink : SpellCheckEvents {
    void SpellCheckProgress(std::int32_t, std::int32_t, std::int32_t words) override {
      if (words == 2) throw std::runtime_error("host failure");
    }
  } throwing;
  sinks.Advise(&throwing);
  log.clear();
  EXPECT_THROW(RunTextCheck(u"cat sat mat", false, sinks, unanswered), std::runtime_error);
  EXPECT_THAT(log, ElementsAre("Progress 0 11 1", "yield", "Progress 4 11 2"));
}

// A sink that disconnects (and destroys) another in the middle of an event must not see it
// called again, and one it connects hears from the next event on.
TEST(TextCheckRun, SinksConnectedOrDisconnectedDuringAnEvent) {
  std::vector<std::string> log;
  EventSinks sinks;
  auto doomed = std::make_unique<RecordingSink>(log, "doomed ");
  RecordingSink late(log, "late ");
  struct Rewiring : SpellCheckEvents {
    void SpellCheckProgress(std::int32_t, std::int32_t, std::int32_t words) override {
      if (words != 1) return;
      sinks->Unadvise(doomed->get());
      doomed->reset();
      sinks->Advise(late);
    }
    EventSinks* sinks;
    std::unique_ptr<RecordingSink>* doomed;
    RecordingSink* late;
  } rewiring;
  rewiring.sinks = &sinks;
  rewiring.doomed = &doomed;
  rewiring.late = &late;
  sinks.Advise(&rewiring);
  sinks.Advise(doomed.get());
  ScriptedHost host(log);
  RunTextCheck(u"cat sat", false, sinks, host);
  EXPECT_THAT(log, ElementsAre("yield", "late Progress 4 7 2", "yield", "late Complete 2"));

  // The same sink connected twice hears everything twice; each Unadvise removes one.
  log.clear();
  EventSinks twice;
  RecordingSink sink(log);
  twice.Advise(&sink);
  twice.Advise(&sink);
  RunTextCheck(u"cat", false, twice, host);
  twice.Unadvise(&sink);
  RunTextCheck(u"sat", false, twice, host);
  EXPECT_THAT(log, ElementsAre("Progress 0 3 1", "Progress 0 3 1", "yield", "Complete 1",
                               "Complete 1", "Progress 0 3 1", "yield", "Complete 1"));
}

TEST(TextCheckRun, OddTextNeverBreaksTheWalk) {
  std::vector<std::string> log;
  RecordingSink sink(log);
  EventSinks sinks;
  sinks.Advise(&sink);
  ScriptedHost host(log);
  const std::u16string odd(u"\xd800 caf\u00e9\0\0 \xdc00x \U0001F600\tend", 18);
  RunTextCheck(odd, false, sinks, host);
  EXPECT_EQ(log.back(), "Complete 5");
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

TEST(CheckText, ATextBeyondThirtyTwoBitPositionsIsRefusedBeforeAnyEvent) {
  // Zero pages that are never touched: a valid text of 2^31 units without 4 GB of memory.
  constexpr std::size_t kUnits = std::size_t{1} << 31;
  void* pages = ::mmap(nullptr, kUnits * sizeof(char16_t), PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  OnFreshThread([&] {
    std::vector<std::string> log;
    RecordingSink sink(log);
    SpellCheck engine;
    engine.Advise(&sink);
    const std::u16string_view text(static_cast<const char16_t*>(pages), kUnits);
    EXPECT_EQ(testing::ErrorFrom([&] { engine.CheckText(text, false); }).number(),
              kErrorTextTooLong);
    EXPECT_TRUE(log.empty());
  });
  ::munmap(pages, kUnits * sizeof(char16_t));
}

TEST(CheckText, AHandlerMayDestroyTheEngineThatRunsTheCheck) {
  OnFreshThread([] {
    auto engine = std::make_unique<SpellCheck>();
    engine->Init();
    struct Destroyer : SpellCheckEvents {
      void SpellCheckProgress(std::int32_t, std::int32_t, std::int32_t) override {
        engine->reset();
        ++events;
      }
      std::unique_ptr<SpellCheck>* engine;
      int events = 0;
    } destroyer;
    destroyer.engine = &engine;
    engine->Advise(&destroyer);
    SpellCheck* running = engine.get();
    running->CheckText(u"cat sat", false);
    EXPECT_EQ(destroyer.events, 2);
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

void ClickItem(SuggestionsDialog& dialog, std::u16string_view item, DialogButton button) {
  const auto& items = dialog.Suggestions();
  const auto found = std::find(items.begin(), items.end(), item);
  ASSERT_NE(found, items.end()) << Utf8(item);
  dialog.Select(static_cast<int>(found - items.begin()));
  dialog.Tick();
  dialog.Click(button);
}

// The whole road through the public API: the dialog shown by a scripted view, the host's text
// kept in step by the events.
TEST(CheckText, AHostThatFollowsTheEventsEndsWithTheCorrectedText) {
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
    auto cased = [&](const std::u16string& word) {
      const std::u16string_view models[] = {u"xx", u"Xx", u"XX"};
      return CaseLike(models[pick(3)], word);
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

    std::u16string caption;
    ScriptedDialogView view([&](SuggestionsDialog& dialog) {
      caption = dialog.Caption();
      const std::u16string word(dialog.ChangeToText());
      for (const auto& [wrong, right] : change_all) {
        if (platform::ToLower(word) == wrong) {
          dialog.SetChangeToText(right);
          dialog.Tick();
          return dialog.Click(DialogButton::ChangeAll);
        }
      }
      for (const auto& [wrong, right] : change) {
        if (platform::ToLower(word) == wrong)
          return ClickItem(dialog, CaseLike(word, right), DialogButton::Change);
      }
      FAIL() << "unexpected word " << Utf8(word);
    });
    SetDialogView(&view);
    SpellCheck engine;
    engine.Init();
    HostDocument host(text);
    engine.Advise(&host);
    engine.CheckText(text);
    EXPECT_TRUE(host.text == expected);
    EXPECT_TRUE(caption.starts_with(u"Spell Check (not in dictionary: ")) << Utf8(caption);
    SetDialogView(nullptr);
  });
}

}  // namespace
}  // namespace lexivane
