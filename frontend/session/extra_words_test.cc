#include "frontend/session/extra_words.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "frontend/session/code_words.h"
#include "frontend/session/embedded_text.h"

#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

// The sorted-line search the lists are read with lands where a walk from the first line does,
// for lines of any lengths (one letter to many) and keys before, between, on and after them.
TEST(EmbeddedText, FirstLineNotBeforeIsWhereAWalkStops) {
  std::mt19937 random(612);
  const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::string> lines(below(12));
    for (std::string& line : lines)
      line = std::string(1 + below(below(2) ? 2 : 20), 'a' + below(3));
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    const std::string key(1 + below(3), 'a' + below(4));
    std::size_t walked = 0;
    for (const std::string& line : lines) {
      if (!(line < key)) break;
      walked += line.size() + 1;
    }
    ASSERT_EQ(FirstLineNotBefore(text, [&](std::string_view line) { return line < key; }), walked)
        << "key " << key << " in\n"
        << text;
  }
}

// The search relies on the order the generators write; an entry it cannot reach is lost. Every
// list is searched through the table made at build time (line_table.h).
TEST(ExtraWords, EveryEntryIsFoundWhereTheOrderPutsIt) {
  const auto in = [](DocumentMode mode) {
    return [mode](std::string_view entry) { return CodeWordsHold(mode, entry); };
  };
  const struct {
    std::string_view name;
    std::function<bool(std::string_view)> holds;
    std::size_t at_least;
  } lists[] = {
      {"extra", [](std::string_view entry) { return ExtraWordsHold(FromUtf8(entry)); }, 10'000},
      {"general", in(DocumentMode::kNone), 1'000},
      {"c", in(DocumentMode::kCFamily), 500},
      {"python", in(DocumentMode::kPython), 500},
      {"shell", in(DocumentMode::kShell), 50},
      {"html", in(DocumentMode::kHtml), 300},
      {"identifiers", IdentifierWordsHold, 1'000}};
  for (const auto& list : lists) {
    const std::string_view text = list.name == "extra" ? ExtraWordsText() : CodeWordList(list.name);
    ASSERT_TRUE(text.ends_with('\n')) << list.name;
    std::string previous;
    std::size_t entries = 0;
    for (std::size_t start = 0; start < text.size(); ++entries) {
      const std::size_t end = text.find('\n', start);
      const std::string entry(text.substr(start, end - start));
      std::string folded = entry;
      for (char& c : folded) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      ASSERT_LE(previous, folded) << list.name << ": " << entry;
      previous = folded;
      ASSERT_TRUE(list.holds(entry)) << list.name << ": " << entry;
      start = end + 1;
    }
    EXPECT_GT(entries, list.at_least) << list.name;
  }
}

// Each mode asks the general list and its language's, in the letter case the entries allow
// (`bsearch` any case, `Huffman` Capitalised and in capitals only).
TEST(CodeWords, ModesChooseTheirListsAndLetterCaseCounts) {
  struct Case {
    DocumentMode mode;
    const char* word;
    bool held;
  };
  using enum DocumentMode;
  const Case cases[] = {{kCFamily, "bsearch", true},   {kCFamily, "Bsearch", true},
                        {kCFamily, "BSEARCH", true},   {kCFamily, "bSearch", false},
                        {kCFamily, "bsearch's", true}, {kCFamily, "bsearchs", false},
                        {kCFamily, "Huffman", true},   {kCFamily, "HUFFMAN", true},
                        {kCFamily, "huffman", false},  {kPython, "bsearch", false},
                        {kPython, "isinstance", true}, {kShell, "isinstance", false},
                        {kShell, "pushd", true},       {kHashComments, "pushd", true},
                        {kM4, "pushd", true},          {kIni, "pushd", false},
                        {kHtml, "cellpadding", true},  {kMarkdown, "cellpadding", false},
                        {kNone, "ctx", true},          {kNroff, "mmap", true},
                        {kIni, "recieve", false},      {kCFamily, "caf\u00e9", false},
                        {kCFamily, "", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(CodeWordsHold(c.mode, c.word), c.held) << c.word << " in " << NameOf(c.mode);
  }
}

TEST(ExtraWords, LetterCaseAsEntriesStand) {
  struct Case {
    const char16_t* word;
    bool held;
  };
  // "distro" is a lower-case entry, "ActiveMQ" and "Alertmanager" entries with capitals.
  const Case cases[] = {{u"distro", true},
                        {u"Distro", true},
                        {u"DISTRO", true},
                        {u"diStro", false},
                        {u"ActiveMQ", true},
                        {u"ACTIVEMQ", true},
                        {u"activemq", false},
                        {u"Activemq", false},
                        {u"Alertmanager", true},
                        {u"ALERTMANAGER", true},
                        {u"alertmanager", false},
                        {u"distrox", false},
                        {u"distro's", true},
                        {u"DISTRO'S", true},
                        {u"distro's's", false},
                        {u"'s", false},
                        {u"distroz", false},
                        {u"d\u00EFstro", false},
                        {u"", false}};
  for (const Case& c : cases) EXPECT_EQ(ExtraWordsHold(c.word), c.held) << ToUtf8(c.word);
}

}  // namespace
}  // namespace lexivane::frontend
