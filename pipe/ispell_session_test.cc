#include "pipe/ispell_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "lexivane/shown_suggestions.h"
#include "lexivane/typing_suggestions.h"
#include "lexivane/utf8.h"
#include "tests/test_support.h"

namespace lexivane::frontend::ispell {
namespace {

// Answers the lines in a session of its own. The custom dictionary belongs to the thread, so
// each conversation gets a fresh thread and starts with none. The suggestions are the engine's
// own search unless `ranking` says otherwise: the protocol, not the order, is tested here.
std::string Converse(const std::vector<std::string>& lines,
                     std::optional<std::string> personal_file = std::nullopt,
                     std::string* warnings = nullptr, DocumentMode mode = DocumentMode::kNone,
                     Ranking ranking = Ranking::kEngine) {
  std::string out;
  std::thread([&] {
    CheckerSetup setup;
    setup.custom_file = personal_file;
    setup.missing = CustomDictionaryFile::Missing::kNoneUntilMade;
    setup.ranking = ranking;
    setup.max_suggestions = kShownSuggestionsMax;
    PreparedChecker checker(setup);
    IspellSession session(checker, mode);
    for (const std::string& line : lines) {
      out += session.Answer(line);
      if (const auto warning = session.TakeWarning(); warning && warnings) *warnings += *warning;
    }
  }).join();
  return out;
}

// What a client sees for a line, with the suggestion lists cut after the first.
std::string FirstSuggestions(std::string answer) {
  std::istringstream lines(answer);
  std::string line, out;
  while (std::getline(lines, line)) {
    if (line.starts_with("& ")) line = line.substr(0, line.find(',', line.find(':')));
    out += line + '\n';
  }
  return out;
}

TEST(IspellProtocol, TextLinesGetOneResultPerWordAndABlankLine) {
  const struct {
    std::vector<std::string> lines;
    std::string expected;
  } cases[] = {
      {{"The cat sat."}, "*\n*\n*\n\n"},
      {{""}, "\n"},
      {{"\r"}, "\n"},
      // Offsets count characters from the start of the line: the emoji is one, the ^ counts.
      {{"café 😀 naïve wrold"}, "*\n*\n& wrold 2 13: world\n\n"},
      {{"^helo wrold"}, "& helo 15 1: hole\n& wrold 2 6: world\n\n"},
      {{"^*helo"}, "& helo 15 2: hole\n\n"},
      // Apostrophes, typographic ones too, stay in the word; quotes and numbers do not count.
      {{"don’t \"wrold\" 42 3.14"}, "*\n& wrold 2 7: world\n\n"},
      {{"xqzvbk"}, "# xqzvbk 0\n\n"},
      // Bytes that are not UTF-8 count one character each; a NUL splits words.
      {{"\xff\xfe wrold", std::string("helo\0wrold", 10)},
       "& wrold 2 3: world\n\n& helo 15 0: hole\n& wrold 2 5: world\n\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstSuggestions(Converse(c.lines)), c.expected) << c.lines[0];
  }
}

TEST(IspellProtocol, RequestsChangeWhatIsAcceptedAndPrintNothing) {
  const struct {
    std::vector<std::string> lines;
    std::string expected;
  } cases[] = {
      {{"*wrold", "wrold Wrold"}, "*\n*\n\n"},
      {{"&Foobarx", "foobarx FOOBARX"}, "*\n*\n\n"},
      {{"@Helo", "HELO helo"}, "*\n*\n\n"},
      // Terse mode drops the lines of correct words, not the blank line.
      {{"!", "cat helo", "%", "cat"}, "& helo 15 4: hole\n\n*\n\n"},
      // Character modes and stored replacements are accepted and change nothing.
      {{"~tex", "$$ra helo,hello", "$$cr lang", "helo"}, "& helo 15 0: hole\n\n"},
      // A single $ is text like any other.
      {{"$helo"}, "& helo 15 1: hole\n\n"},
      // Requests without a word are ignored.
      {{"*", "@ ", "cat"}, "*\n\n"},
      // The word is read as text reads it: a typographic apostrophe is U+0027.
      {{"*wroldn’t", "wroldn’t wroldn't"}, "*\n*\n\n"},
      {{"@zorgx’s", "ZORGX's"}, "*\n\n"},
      // A word that could not stay one entry is refused (see RequestWordsThatCannotBeEntries).
      {{"*wrold\rhelo", "@\xC2\xA0helo", "wrold helo"},
       "& wrold 2 0: world\n& helo 15 6: hole\n\n"},
      // A request counts for the words checked before it too.
      {{"wrold", "*wrold", "wrold"}, "& wrold 2 0: world\n\n*\n\n"},
      {{"helo", "@helo", "Helo"}, "& helo 15 0: hole\n\n*\n\n"},
      {{"foobarx", "&Foobarx", "FOOBARX"}, "# foobarx 0\n\n*\n\n"},
      // Letter case is folded as the engine folds it: İ is i, with no dot above.
      {{"&\u0130zmirx", "\u0130zmirx izmirx"}, "*\n*\n\n"},
      {{"@\u0130zmirx", "\u0130ZMIRX"}, "*\n\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstSuggestions(Converse(c.lines)), c.expected) << c.lines[0];
  }
}

TEST(IspellProtocol, TextIsReadInTheModeOfTheOptionsOrOfTheLastPlusRequest) {
  const struct {
    DocumentMode options;
    std::vector<std::string> lines;
    std::string expected;
  } cases[] = {
      // Markup is hidden; offsets and words are those of the line as sent, `^` counted.
      {DocumentMode::kTex, {"\\emph{helo} \\cite{wrold} $x^2$"}, "& helo 15 6: hole\n\n"},
      {DocumentMode::kTex, {"^\\lexvbox{wrold}"}, "& wrold 2 10: world\n\n"},
      {DocumentMode::kHtml, {"<p class=\"wrold\">helo</p>"}, "& helo 15 17: hole\n\n"},
      {DocumentMode::kNroff, {".TH WROLD 1", "\\fBhelo\\fR"}, "\n& helo 15 3: hole\n\n"},
      // A decoded word is reported as it stands in the line, as clients compare it there.
      {DocumentMode::kHtml, {"caf&eacute; wr&ouml;ld"}, "*\n& wr&ouml;ld 12 12: war\n\n"},
      // A word written with a blank inside cannot be reported: clients cut it there.
      {DocumentMode::kTex, {"Stra\\ss e Stra\\ss{}e"}, "*\n& Stra\\ss{}e 12 10: Star\n\n"},
      // `+` alone is TeX, `+NAME` any mode; `-` goes back to the options' mode.
      {DocumentMode::kNone,
       {"+", "$wrold$ helo", "-", "$wrold$"},
       "& helo 15 8: hole\n\n& wrold 2 1: world\n\n"},
      {DocumentMode::kHtml,
       {"+tex", "<b>helo</b> \\cite{x}", "-", "<b>\\cite{helox}</b>"},
       "*\n& helo 15 3: hole\n\n*\n& helox 6 9: helix\n\n"},  // TeX reads `/b` as a path
      {DocumentMode::kNone, {"+ markdown ", "`wrold` helo"}, "& helo 15 8: hole\n\n"},
      // An unknown mode keeps the one in force; each line ends what it left open.
      {DocumentMode::kTex, {"+bogus", "Yes % wrold"}, "*\n\n"},
      {DocumentMode::kHtml, {"<!-- helo", "wrold --> <a href='x"}, "\n& wrold 2 0: world\n\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstSuggestions(Converse(c.lines, std::nullopt, nullptr, c.options)), c.expected)
        << c.lines[0];
  }
}

// Each ranking's own list, at most 15 and in the word's letter case; the typing ranking unless
// the options chose the engine's own search.
TEST(IspellProtocol, SuggestionsComeInTheChosenRanking) {
  const struct {
    Ranking ranking;
    std::vector<std::u16string> (*ranked)(const SpellCheck&, std::u16string_view, std::size_t,
                                          bool);
  } rankings[] = {{Ranking::kTyping, TypingSuggestions}, {Ranking::kEngine, ShownSuggestions}};
  for (const auto& r : rankings) {
    std::string expected;
    SpellCheck engine;
    engine.Init();
    for (const auto& [word, offset] : {std::pair{u"Helo", " 0:"}, {u"WIERD", " 5:"}}) {
      const std::vector<std::u16string> list = r.ranked(engine, word, kShownSuggestionsMax, true);
      expected += "& " + ToUtf8(word) + ' ' + std::to_string(list.size()) + offset;
      for (std::size_t i = 0; i < list.size(); ++i) expected += (i ? ", " : " ") + ToUtf8(list[i]);
      expected += '\n';
    }
    EXPECT_EQ(Converse({"Helo WIERD"}, std::nullopt, nullptr, DocumentMode::kNone, r.ranking),
              expected + '\n');
  }
}

TEST(IspellProtocol, AWordTooLongForAnyEnglishWordGetsNoSuggestionsAtOnce) {
  const std::string word(30000, 'q');
  EXPECT_EQ(Converse({word}), "# " + word + " 0\n\n");
}

TEST(IspellProtocol, OnlyThePersonalWordsAreSavedAndOnlyOnRequest) {
  lexivane::testing::ScratchDir dir;
  const std::string file = (dir.path() / "personal.dic").string();
  const auto saved = [&] {
    const std::vector<std::uint8_t> bytes = lexivane::testing::ReadBytes(file);
    return std::string(bytes.begin(), bytes.end());
  };
  Converse({"*wrold", "@helo"}, file);
  EXPECT_FALSE(std::filesystem::exists(file));
  Converse({"*wrold", "&Foobarx", "@helo", "#"}, file);
  EXPECT_EQ(saved(), "wrold\r\nfoobarx\r\n");
  // Each save adds the words added since the last one, once (`sword` is a listed word too).
  Converse({"*sword", "#", "*abcx", "#", "#"}, file);
  EXPECT_EQ(saved(), "wrold\r\nfoobarx\r\nsword\r\nabcx\r\n");

  // A file that cannot be written is reported and left as it was; the session goes on.
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  std::string warnings;
  const std::string out = Converse({"*helo", "#", "helo"}, file, &warnings);
  EXPECT_EQ(out, "*\n\n");
  if (::geteuid() != 0) {  // root writes anyway
    EXPECT_NE(warnings.find(file + ": cannot save the custom dictionary: "), std::string::npos)
        << warnings;
    EXPECT_EQ(saved().size(), 29u);
  }
  std::string missing_folder_warnings;
  Converse({"*helo", "#"}, (dir.path() / "none" / "x.dic").string(), &missing_folder_warnings);
  EXPECT_NE(missing_folder_warnings.find("the file was left as it was"), std::string::npos);
}

TEST(IspellProtocol, RequestWordsThatCannotBeEntriesAreRefusedWithAWarning) {
  lexivane::testing::ScratchDir dir;
  const std::string file = (dir.path() / "personal.dic").string();
  std::string warnings;
  Converse({"*wrold\rhelo", std::string("&wr\0old", 7), "* wrold\t", "#", "+\x1B[2J\xC2\x9Bx"},
           file, &warnings);
  // Control characters in a request are shown as codes: they could drive the terminal.
  EXPECT_EQ(warnings,
            "the * request was refused: the word holds a line break or another control character"
            "the & request was refused: the word holds a line break or another control character"
            "the + request names no mode: \\x1B[2J\\x9Bx; the mode stays none");
  EXPECT_EQ(lexivane::testing::ReadBytes(file).size(), 7u);  // wrold CR LF: blanks around drop
}

TEST(IspellProtocol, BannerNamesAVersionEditorsAccept) {
  EXPECT_TRUE(IspellBanner().starts_with("@(#) International Ispell Version 3.1.20 (but really "));
}

}  // namespace
}  // namespace lexivane::frontend::ispell
