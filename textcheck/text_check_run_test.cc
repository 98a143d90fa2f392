// Text check runs: the run itself against a host that answers from a script instead of a
// dialog, then whole CheckText calls through the public API with a scripted dialog view.
#include "textcheck/text_check_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/mman.h>
#endif

#include <deque>
#include <functional>
#include <map>
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

// Answers the run's questions from a queue and logs each question and each yield.
class ScriptedHost : public TextCheckHost {
 public:
  explicit ScriptedHost(std::vector<std::string>& log, std::deque<Answer> answers = {})
      : log_(log), answers_(std::move(answers)) {}

  bool CheckWord(std::u16string_view token) override {
    // Loaded once and never freed: the tables are immutable, and no host adds custom words.
    static Dictionaries* const dictionaries = [] {
      auto* loaded = new Dictionaries;
      loaded->tables.Load();
      return loaded;
    }();
    return IsAcceptedWord(*dictionaries, token, true);
  }
  Answer AskUser(std::u16string_view token) override {
    log_.push_back("ask " + Utf8(token));
    if (answers_.empty()) throw std::runtime_error("no answer scripted for " + Utf8(token));
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
  }
  void Yield(bool host_code_ran) override {
    log_.push_back(host_code_ran ? "yield" : "quiet yield");
  }

 private:
  std::vector<std::string>& log_;
  std::deque<Answer> answers_;
};

// The user's answers, as the dialog operations report them.
const auto Change = [](std::u16string text) { return Answer{std::move(text), false, false}; };
const auto ChangeAll = [](std::u16string text) { return Answer{std::move(text), true, false}; };
const auto IgnoreAll = [](std::u16string word) { return Answer{std::move(word), false, true}; };
const Answer kCancel{std::nullopt, false, false};

// Calls `on_progress` with the token count of every progress event.
struct ProgressHandler : SpellCheckEvents {
  explicit ProgressHandler(std::function<void(std::int32_t)> f) : on_progress(std::move(f)) {}
  void SpellCheckProgress(std::int32_t, std::int32_t, std::int32_t words) override {
    on_progress(words);
  }
  std::function<void(std::int32_t)> on_progress;
};

// The events of a run with one recording sink, the host's questions and yields among them.
std::vector<std::string> LoggedRun(std::u16string_view text, bool show_dialog,
                                   std::deque<Answer> answers = {},
                                   bool cancel_on_unknown = false) {
  std::vector<std::string> log;
  RecordingSink sink(log);
  sink.cancel_on_unknown = cancel_on_unknown;
  EventSinks sinks;
  sinks.Advise(&sink);
  ScriptedHost host(log, std::move(answers));
  RunTextCheck(text, show_dialog, sinks, host);
  return log;
}

struct RunCase {
  const char* what;
  std::u16string text;
  bool show_dialog;
  std::deque<Answer> answers;
  std::vector<std::string> events;
  bool cancel_on_unknown = false;
};

TEST(TextCheckRun, EventsInOrder) {
  // A case a row, its events wrapped under it (the formatter would put each field on a line).
  // clang-format off
  const RunCase cases[] = {
      {"a Change of letter case alone", u"Teh cat sat.", true, {Change(u"TEH")},
       {"Progress 0 12 1", "NotInDic Teh 0 false", "ask Teh", "yield", "Replace Teh TEH 0 [0]",
        "Progress 4 12 2", "yield", "Progress 8 12 3", "yield", "Complete 3"}},
      {"an empty text raises nothing", u"", true, {}, {}},
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
      {"a one-letter answer is no replacement, and Ignore asks again", u"wrold wrold", true,
       {Change(u"x"), Change(u"wrold")},
       {"Progress 0 11 1", "NotInDic wrold 0 false", "ask wrold", "yield", "Progress 6 11 2",
        "NotInDic wrold 6 false", "ask wrold", "yield", "Complete 2"}},
      // The replacement, unknown itself, is not reported where it replaced the word.
      {"Change All moves later positions", u"a xqzvwk b xqzvwk", true, {ChangeAll(u"zpeak")},
       {"Progress 0 17 1", "yield", "Progress 2 17 2", "NotInDic xqzvwk 2 false", "ask xqzvwk",
        "ChangeAll xqzvwk zpeak 2", "yield", "Progress 8 15 3", "yield", "Progress 10 15 4",
        "yield", "Complete 4"}},
      {"Change All to a word already skipped", u"xqzvwk wrold wrold xqzvwk", true,
       {IgnoreAll(u"xqzvwk"), ChangeAll(u"xqzvwk")},
       {"Progress 0 25 1", "NotInDic xqzvwk 0 false", "ask xqzvwk", "yield", "Progress 7 25 2",
        "NotInDic wrold 7 false", "ask wrold", "ChangeAll wrold xqzvwk 7", "yield",
        "Progress 14 27 3", "yield", "Progress 21 27 4", "yield", "Complete 4"}},
  };
  // clang-format on
  for (const RunCase& c : cases) {
    EXPECT_THAT(LoggedRun(c.text, c.show_dialog, c.answers, c.cancel_on_unknown),
                ElementsAreArray(c.events))
        << c.what;
  }
  // Lone surrogates, NULs and pairs are walked like any other units.
  const std::u16string odd(u"\xd800 caf\u00e9\0\0 \xdc00x \U0001F600\tend", 18);
  EXPECT_EQ(LoggedRun(odd, false).back(), "Complete 5");
}

// The yield hears whether code of the host may have run since the last one: at the start, after
// a sink was called and after the user was asked; never else.
TEST(TextCheckRun, TheYieldHearsWhenTheHostsCodeRan) {
  std::vector<std::string> log;
  EventSinks none;
  ScriptedHost host(log, {Change(u"world")});
  RunTextCheck(u"cat wrold sat mat", true, none, host);
  EXPECT_THAT(log, ElementsAre("yield", "ask wrold", "yield", "quiet yield", "quiet yield"));
}

// A run started by an event handler is independent of the run that raised the event; a failure
// of the host or of a sink ends the run and reaches the caller.
TEST(TextCheckRun, NestedRunsAndFailures) {
  std::vector<std::string> log;
  RecordingSink outer_sink(log), inner_sink(log, "inner ");
  EventSinks outer, inner;
  outer.Advise(&outer_sink);
  inner.Advise(&inner_sink);
  ScriptedHost host(log, {Change(u"wrold")});
  ProgressHandler nesting([&](std::int32_t words) {
    if (words == 2) RunTextCheck(u"inner wrold", false, inner, host);
  });
  outer.Advise(&nesting);

  RunTextCheck(u"cat sat wrold", true, outer, host);
  EXPECT_THAT(log,
              ElementsAre("Progress 0 13 1", "yield", "Progress 4 13 2", "inner Progress 0 11 1",
                          "yield", "inner Progress 6 11 2", "inner NotInDic wrold 6 false", "yield",
                          "inner Complete 2", "yield", "Progress 8 13 3", "NotInDic wrold 8 false",
                          "ask wrold", "yield", "Complete 3"));

  // The script has no answer left for the next question.
  log.clear();
  EXPECT_THROW(RunTextCheck(u"cat wrold sat", true, inner, host), std::runtime_error);
  EXPECT_EQ(log.back(), "ask wrold");

  ProgressHandler throwing([](std::int32_t words) {
    if (words == 2) throw std::runtime_error("host failure");
  });
  inner.Advise(&throwing);
  log.clear();
  EXPECT_THROW(RunTextCheck(u"cat sat mat", false, inner, host), std::runtime_error);
  EXPECT_THAT(log, ElementsAre("inner Progress 0 11 1", "yield", "inner Progress 4 11 2"));
}

// A sink that disconnects (and destroys) another in the middle of an event must not see it
// called again, and one it connects hears from the next event on.
TEST(TextCheckRun, SinksConnectedOrDisconnectedDuringAnEvent) {
  std::vector<std::string> log;
  EventSinks sinks;
  auto doomed = std::make_unique<RecordingSink>(log, "doomed ");
  RecordingSink late(log, "late ");
  ProgressHandler rewiring([&](std::int32_t words) {
    if (words != 1) return;
    sinks.Unadvise(doomed.get());
    doomed.reset();
    sinks.Advise(&late);
  });
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

TEST(TextCheckRun, AHundredMegabyteTextRunsToTheEnd) {
  // 50 million code units are 100 MB of UTF-16; the sanitizer build walks a tenth of that, and
  // so does Windows under Wine, where each token's yield to the message loop is a server call.
#if defined(LEXIVANE_SANITIZED) || defined(_WIN32)
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

#ifndef _WIN32  // untouched zero pages come from mmap
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
#endif

TEST(CheckText, AHandlerMayDestroyTheEngineThatRunsTheCheck) {
  OnFreshThread([] {
    auto engine = std::make_unique<SpellCheck>();
    engine->Init();
    int events = 0;
    ProgressHandler destroyer([&](std::int32_t) {
      engine.reset();
      ++events;
    });
    engine->Advise(&destroyer);
    SpellCheck* running = engine.get();
    running->CheckText(u"cat sat", false);
    EXPECT_EQ(events, 2);
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

// The whole road through the public API: the dialog shown by a scripted view, the host's text
// kept in step by the events.
TEST(CheckText, AHostThatFollowsTheEventsEndsWithTheCorrectedText) {
  OnFreshThread([] {
    // Misspellings answered with Change (each occurrence, in the occurrence's letter case) or
    // Change All (every occurrence, with the replacement exactly as typed).
    const struct Fix {
      std::u16string wrong, right;
      bool all;
    } fixes[] = {{u"teh", u"the", false},
                 {u"wrold", u"world", false},
                 {u"becuase", u"because", false},
                 {u"recieve", u"receive", true},
                 {u"seperate", u"separate", true}};
    const std::vector<std::u16string> correct = {u"the",   u"cat",   u"sat",    u"on",
                                                 u"mat",   u"and",   u"office", u"house",
                                                 u"hello", u"thank", u"you"};
    const std::vector<std::u16string> separators = {u" ", u", ", u".\r\n", u" - ", u"; ", u"\t"};

    std::mt19937 random(20261205);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    // A word as it is, Capitalised, or in upper case.
    auto cased = [](std::u16string word, std::size_t how) {
      if (how == 2) return platform::ToUpper(word);
      if (how == 1) word[0] = static_cast<char16_t>(word[0] - 32);
      return word;
    };
    std::u16string text, expected;
    std::map<std::u16string, Fix> answers;  // for each misspelling as the text has it
    for (int i = 0; i < 4000; ++i) {
      const std::size_t how = pick(3);
      std::u16string word, fixed;
      if (pick(3) == 0) {
        const Fix& fix = fixes[pick(std::size(fixes))];
        word = cased(fix.wrong, how);
        fixed = fix.all ? fix.right : cased(fix.right, how);
        answers[word] = {word, fixed, fix.all};
      } else {
        word = fixed = cased(correct[pick(correct.size())], how);
      }
      const std::u16string& separator = separators[pick(separators.size())];
      text += word + separator;
      expected += fixed + separator;
    }

    ScriptedDialogView view([&](SuggestionsDialog& dialog) {
      const auto found = answers.find(std::u16string(dialog.ChangeToText()));
      ASSERT_NE(found, answers.end()) << Utf8(dialog.ChangeToText());
      dialog.SetChangeToText(found->second.right);
      dialog.Tick();
      dialog.Click(found->second.all ? DialogButton::ChangeAll : DialogButton::Change);
    });
    SetDialogView(&view);
    SpellCheck engine;
    engine.Init();
    HostDocument host(text);
    engine.Advise(&host);
    engine.CheckText(text);
    EXPECT_TRUE(host.text == expected);
    SetDialogView(nullptr);
  });
}

}  // namespace
}  // namespace lexivane
