// The careful host over whole runs answered by a scripted dialog: the corrected text must be
// exactly what the person chose, and where the documented simple host (shift positions by the
// earlier replacements, ReplaceWord for Change All) is right, both must agree.
#include "fix/careful_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "lexivane/lexivane.h"
#include "tests/test_support.h"

namespace lexivane::frontend::fix {
namespace {

using namespace std::string_literals;  // u"..."s keeps a NUL inside

using testing::OnFreshThread;
using testing::Utf8;

// One showing: the word the dialog must be showing, the text typed into the box (none keeps
// it) and the button clicked.
struct Step {
  std::u16string word;
  DialogButton button;
  std::u16string typed;
};

// The host the documentation describes: a Change lands at the reported position plus the
// length change of the earlier Changes; a Change All is ReplaceWord on the host's text.
class SimpleHost : public SpellCheckEvents {
 public:
  explicit SimpleHost(std::u16string text) : text(std::move(text)) {}
  void SpellReplace(std::u16string_view word, std::u16string_view replacement,
                    std::int32_t position, std::vector<std::u16string>&) override {
    text.replace(position + shift_, word.size(), replacement);
    shift_ +=
        static_cast<std::int64_t>(replacement.size()) - static_cast<std::int64_t>(word.size());
  }
  void SpellChangeAll(std::u16string_view word, std::u16string_view replacement,
                      std::int32_t) override {
    text = SpellCheck().ReplaceWord(text, word, replacement);
  }
  std::u16string text;

 private:
  std::int64_t shift_ = 0;
};

// Every word the dialog is shown for must stand where ResultPosition says in the text so far.
class PositionCheck : public SpellCheckEvents {
 public:
  explicit PositionCheck(const CarefulHost& host) : host_(host) {}
  void SpellWordNotInDic(std::u16string_view word, std::int32_t position, bool&) override {
    EXPECT_EQ(ToUtf8(host_.Result().substr(host_.ResultPosition(position), word.size())),
              ToUtf8(word));
  }

 private:
  const CarefulHost& host_;
};

struct Outcome {
  std::u16string careful, simple;
  std::size_t words_changed;
};

// `document`, when given, is what `text` is the prose of: the result is made from it.
Outcome Correct(const std::u16string& text, const std::vector<Step>& steps,
                const std::u16string& document = {}) {
  std::size_t next = 0;
  ScriptedDialogView view([&](SuggestionsDialog& dialog) {
    ASSERT_LT(next, steps.size()) << "an unexpected showing for " << ToUtf8(dialog.ChangeToText());
    const Step& step = steps[next++];
    EXPECT_EQ(ToUtf8(dialog.ChangeToText()), ToUtf8(step.word));
    if (!step.typed.empty()) dialog.SetChangeToText(step.typed);
    dialog.Tick();
    dialog.Click(step.button);
  });
  SetDialogView(&view);
  SpellCheck engine;
  engine.Init();
  CarefulHost careful(engine, text, document.empty() ? text : document);
  SimpleHost simple(text);
  PositionCheck check(careful);
  engine.Advise(&careful);
  engine.Advise(&simple);
  engine.Advise(&check);
  engine.CheckText(text);
  SetDialogView(nullptr);
  EXPECT_EQ(next, steps.size()) << "showings left over";
  return {careful.Result(), simple.text, careful.words_changed()};
}

constexpr auto kChange = DialogButton::Change;
constexpr auto kChangeAll = DialogButton::ChangeAll;
constexpr auto kIgnore = DialogButton::Ignore;
constexpr auto kIgnoreAll = DialogButton::IgnoreAll;
constexpr auto kAddWord = DialogButton::AddWord;
constexpr auto kCancel = DialogButton::Cancel;

TEST(CarefulHost, TheResultIsWhatThePersonChose) {
  const struct {
    const char* name;
    std::u16string text;
    std::vector<Step> steps;
    std::u16string expected;
    std::size_t words_changed;
    bool simple_agrees;  // false where the simple host's arithmetic cannot follow
  } cases[] = {
      {"changes, longer and shorter, keep the line ends",
       u"Teh cat\r\nthankyou, thhe offise\n",
       {{u"Teh", kChange, u"The"},
        {u"thankyou", kChange, u"thank you"},
        {u"thhe", kChange, u"the"},
        {u"offise", kChange, u"office"}},
       u"The cat\r\nthank you, the office\n",
       4,
       true},
      {"change all from the first of three",
       u"wrold one, Wrold two. Teh WROLD.",
       {{u"wrold", kChangeAll, u"world"}, {u"Teh", kChange, u"The"}},
       u"world one, world two. The world.",
       4,
       true},
      {"change all reaches back past an ignored occurrence and an earlier change",
       u"qick teh, qick",
       {{u"qick", kIgnore, u""}, {u"teh", kChange, u"thee"}, {u"qick", kChangeAll, u"quick"}},
       u"quick thee, quick",
       3,
       true},
      {"change all to a shorter word moves the later changes",
       u"recieve wrold recieve thhe",
       {{u"recieve", kChangeAll, u"get"},
        {u"wrold", kChange, u"world"},
        {u"thhe", kChange, u"the"}},
       u"get world get the",
       4,
       true},
      {"a change, then change all of the same word: the change stays",
       u"teh a teh b wrold",
       {{u"teh", kChange, u"the"}, {u"teh", kChangeAll, u"thee"}, {u"wrold", kChange, u"world"}},
       u"the a thee b world",
       3,
       false},
      {"change all inside a changed word with an apostrophe: the change stays",
       u"tehs's cat, tehs dog",
       {{u"tehs's", kChange, u"these"}, {u"tehs", kChangeAll, u"this"}},
       u"these's cat, this dog",
       2,
       false},
      {"ignore all in any letter case, changes around it",
       u"wrold Teh wrold teh TEH",
       {{u"wrold", kChange, u"world"}, {u"Teh", kIgnoreAll, u""}, {u"wrold", kChange, u"word"}},
       u"world Teh word teh TEH",
       2,
       true},
      {"a one-letter change changes nothing",
       u"qick brown",
       {{u"qick", kChange, u"q"}},
       u"qick brown",
       0,
       true},
      {"add word as shown changes nothing and accepts later occurrences",
       u"Zorbleq met zorbleq",
       {{u"Zorbleq", kAddWord, u""}},
       u"Zorbleq met zorbleq",
       0,
       true},
      {"add word with another spelling replaces this occurrence",
       u"zorblex and wrold",
       {{u"zorblex", kAddWord, u"Zorblex"}, {u"wrold", kChange, u"world"}},
       u"Zorblex and world",
       2,
       true},
      {"a choice replaces the word of a token; quotes, a dash, an ellipsis and an 's stay",
       u"She wrote “recieve”. Jonh's teh—and teh… end",
       {{u"“recieve”", kChange, u"receive"},
        {u"Jonh's", kChange, u"John"},
        {u"teh—and", kChange, u"the"},
        {u"teh…", kChange, u"the"}},
       u"She wrote “receive”. John's the—and the… end",
       4,
       false},
      {"a NUL ends the word, and it stays with what follows",
       u"teh\0wrold end"s,
       {{u"teh\0wrold"s, kChange, u"the"}},
       u"the\0wrold end"s,
       1,
       false},
      {"a typed text that carries the rest of the token gets it once",
       u"“recieve” “recieve” Jonh's rezumé “teh”",
       {{u"“recieve”", kChange, u"“receive”"},
        {u"“recieve”", kChange, u"“receive"},
        {u"Jonh's", kChange, u"John's"},
        {u"rezumé", kChange, u"resume"},
        {u"“teh”", kChange, u"teh"}},
       u"“receive” “receive” John's resume “teh”",
       4,
       false},
      {"change all keeps the rest of every token it replaces",
       u"“recieve” and “RECIEVE”, recieve. Jonh's car, jonh's",
       {{u"“recieve”", kChangeAll, u"receive"},
        {u"recieve", kChange, u"receive"},
        {u"Jonh's", kChangeAll, u"John"}},
       u"“receive” and “receive”, receive. John's car, John's",
       5,
       false},
      {"cancel half-way keeps what was chosen before",
       u"Teh cat wrold teh",
       {{u"Teh", kChange, u"The"}, {u"wrold", kCancel, u""}},
       u"The cat wrold teh",
       1,
       true},
  };
  for (const auto& c : cases) {
    OnFreshThread([&] {
      const Outcome outcome = Correct(c.text, c.steps);
      EXPECT_EQ(ToUtf8(outcome.careful), ToUtf8(c.expected)) << c.name;
      EXPECT_EQ(outcome.words_changed, c.words_changed) << c.name;
      if (c.simple_agrees) {
        EXPECT_EQ(ToUtf8(outcome.simple), ToUtf8(c.expected)) << c.name;
      }
    });
  }
}

// Random texts of misspellings and known words, each showing answered at random. The expected
// text is built occurrence by occurrence: a Change made before its word's Change All stays,
// every other occurrence of a word changed all takes the Change All's replacement. Every other
// round the text is the prose of a document whose markup between the words is blanked, and the
// result must be the document with the same choices, its markup as it was.
TEST(CarefulHost, RandomAnswersGiveTheChosenText) {
  const std::vector<std::u16string> known = {u"the", u"cat", u"sat", u"on", u"mat", u"and"};
  const std::vector<std::u16string> wrong = {u"teh", u"wrold", u"qick", u"recieve", u"thhe"};
  const std::vector<std::u16string> fixes = {u"the", u"world",     u"quick",    u"receive",
                                             u"at",  u"dinosaurs", u"thank you"};
  const std::vector<std::u16string> separators = {u" ", u", ", u".\n", u"-", u" (", u")\r\n"};
  const std::vector<std::u16string> markup = {
      u" <b>", u"</b> ", u" `teh` ", u"\n<!-- qick -->\n", u"&nbsp;", u" [x](teh.md) "};
  const DialogButton buttons[] = {kChange, kIgnore, kChangeAll, kIgnoreAll};
  std::mt19937 random(20261206);
  const auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
  };

  OnFreshThread([&] {
    for (int round = 0; round < 40; ++round) {
      std::vector<std::pair<std::u16string, std::u16string>> pieces;  // token, separator
      std::u16string text, document;
      const bool in_document = round % 2 == 1;
      for (int i = 0; i < 30; ++i) {
        const bool misspelt = pick(2) == 0;
        const bool hidden = in_document && pick(3) == 0;
        pieces.emplace_back(
            misspelt ? wrong[pick(wrong.size())] : known[pick(known.size())],
            hidden ? markup[pick(markup.size())] : separators[pick(separators.size())]);
        std::u16string blanked = pieces.back().second;
        if (hidden)
          std::replace_if(
              blanked.begin(), blanked.end(), [](char16_t c) { return c != u'\n'; }, u' ');
        text += pieces.back().first + blanked;
        document += pieces.back().first + pieces.back().second;
      }
      // Each misspelling's answers, one per showing, until Change All or Ignore All ends them.
      std::map<std::u16string, std::vector<Step>> plans;
      std::vector<Step> steps;
      for (const auto& [token, separator] : pieces) {
        if (std::find(wrong.begin(), wrong.end(), token) == wrong.end()) continue;
        std::vector<Step>& plan = plans[token];
        if (!plan.empty() && plan.back().button != kChange && plan.back().button != kIgnore) {
          continue;
        }
        plan.push_back({token, buttons[pick(std::size(buttons))], fixes[pick(fixes.size())]});
        steps.push_back(plan.back());
      }
      bool simple_agrees = true;
      std::map<std::u16string, std::size_t> seen;
      std::u16string expected;
      for (const auto& [token, separator] : pieces) {
        std::u16string fixed = token;
        if (const auto found = plans.find(token); found != plans.end()) {
          const std::vector<Step>& plan = found->second;
          const std::size_t k = seen[token]++;
          const bool all = plan.back().button == kChangeAll;
          if (k < plan.size() && plan[k].button == kChange) {
            fixed = plan[k].typed;
            simple_agrees = simple_agrees && !all;
          } else if (all) {
            fixed = plan.back().typed;
          }
        }
        expected += fixed + separator;
      }
      const Outcome outcome = Correct(text, steps, document);
      EXPECT_EQ(ToUtf8(outcome.careful), ToUtf8(expected)) << "text: " << ToUtf8(document);
      if (simple_agrees && !in_document) {
        EXPECT_EQ(ToUtf8(outcome.simple), ToUtf8(expected)) << ToUtf8(text);
      }
    }
  });
}

TEST(CarefulHost, TheWordInATokenIsWhatTheSuggestionsAreFor) {
  const struct {
    std::u16string token;
    std::size_t start, end;
  } cases[] = {
      {u"“recieve”", 1, 8},    {u"teh—and", 0, 3}, {u"teh…", 0, 3},
      {u"Jonh's", 0, 4},       {u"dogs'", 0, 4},   {u"'tis", 1, 4},
      {u"teh\0wrold"s, 0, 3},  {u"2“teh”", 2, 5},  {u"\u212Aeh”", 0, 3},  // Kelvin: a k
      {u"teh😀", 0, 3},         {u"don't", 0, 5},   {u"rezumé", 0, 6},
      {u"cafe\u0301s!", 0, 6}, {u"teh𝐚”", 0, 5},   {u"x—teh", 0, 5},  // one letter: all word
      {u"teh_x", 0, 5},
  };
  for (const auto& c : cases) {
    const WordSpan word = WordInToken(c.token);
    EXPECT_EQ(word.start, c.start) << Utf8(c.token);
    EXPECT_EQ(word.end, c.end) << Utf8(c.token);
  }
}

// Change All as the run makes it, also where ReplaceWord's order matters, with the rest of each
// token kept beside its replacement and moved along by later ones.
TEST(CarefulHost, ChangeAllFollowsTheRunsReplaceWord) {
  const struct {
    std::u16string text;
    std::vector<std::pair<std::u16string, std::u16string>> changes;
    std::u16string expected;
  } cases[] = {
      {u"a b b", {{u"a b", u"x a"}}, u"x x a"},  // from inside the replacement on
      {u"-x-x", {{u"-x", u""}}, u"-x"},
      {u"a teh b", {{u"teh", u"teh teh"}}, u"a teh teh b"},  // the occurrence inside it stays
      {u"“teh”“teh” “TEH”", {{u"“teh”", u"the"}}, u"“the”“teh” “the”"},  // after "e": not whole
      {u"“teh” a “teh”", {{u"“teh”", u"wrold"}, {u"wrold", u"world"}}, u"“world” a “world”"},
      {u"“teh”, x", {{u"“teh”", u"a b"}, {u"b, x", u"c"}}, u"“a c”"},  // kept text moves out
      {u"x—“teh” “teh”", {{u"“teh”", u"wrold"}, {u"x—wrold", u"y"}}, u"“y” “wrold”"},
  };
  for (const auto& c : cases) {
    SpellCheck engine;
    CarefulHost host(engine, c.text);
    for (const auto& [find, replacement] : c.changes) host.SpellChangeAll(find, replacement, 0);
    EXPECT_EQ(Utf8(host.Result()), Utf8(c.expected)) << Utf8(c.text);
  }
}

// Random texts and words over the units that ReplaceWord's order turns on: Change All must make
// of W exactly what the run makes (the host throws otherwise), however the words overlap.
TEST(CarefulHost, RandomChangeAllsStayInStepWithTheRun) {
  const std::u16string units = u"aAb -“”'\u212A";
  std::mt19937 random(18);
  const auto some = [&](std::size_t most) {
    std::u16string text(std::uniform_int_distribution<std::size_t>(0, most)(random), u' ');
    for (char16_t& c : text) c = units[random() % units.size()];
    return text;
  };
  SpellCheck engine;
  for (int round = 0; round < 3000; ++round) {
    const std::u16string text = some(24);
    CarefulHost host(engine, text);
    std::u16string working = text;
    for (int change = 0; change < 3; ++change) {
      const std::u16string find = some(4), replacement = some(5);
      ASSERT_NO_THROW(host.SpellChangeAll(find, replacement, 0)) << Utf8(text);
      working = engine.ReplaceWord(working, find, replacement);
    }
    // Text kept beside a replacement is all the result adds to W.
    EXPECT_GE(host.Result().size(), working.size()) << Utf8(text);
  }
}

TEST(CarefulHost, AChangeWhereTheTextHoldsAnotherWordIsABug) {
  SpellCheck engine;
  CarefulHost host(engine, u"the cat sat");
  std::vector<std::u16string> none;
  EXPECT_THROW(host.SpellReplace(u"cat", u"dog", 0, none), std::logic_error);
  EXPECT_THROW(host.SpellReplace(u"sat", u"set", 9, none), std::logic_error);
  host.SpellReplace(u"sat", u"set", 8, none);
  EXPECT_THROW(host.SpellReplace(u"cat", u"dog", 4, none), std::logic_error);  // backwards
  EXPECT_EQ(ToUtf8(host.Result()), "the cat set");
}

}  // namespace
}  // namespace lexivane::frontend::fix
