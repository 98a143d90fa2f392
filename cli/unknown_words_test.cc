#include "cli/unknown_words.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "textcheck/word_scanner.h"

namespace lexivane::cli {
namespace {

using Findings = std::vector<std::pair<std::u16string, std::size_t>>;

TEST(UnknownWords, DelimitersAreTheWordScanners) {
  for (char32_t c = 0; c < 0x10000; ++c) {
    const char16_t unit = static_cast<char16_t>(c);
    EXPECT_EQ(kWordDelimiters.find(unit) != std::u16string_view::npos, IsWordDelimiter(unit))
        << static_cast<int>(c);
  }
}

// Every piece size that can cut the text gives the findings of the whole text; the smaller
// ones check nothing. The smallest size is the longest token together with the delimiter after
// it (the last token needs none).
TEST(UnknownWords, PiecesGiveTheFindingsOfTheWholeText) {
  const struct {
    std::u16string text;
    std::size_t smallest_piece;
    Findings whole;
  } cases[] = {
      {u"Teh cat\r\nsat on teh\tmat, wrold-wide (fien)\n\nrecieve.", 8,
       {{u"Teh", 0}, {u"teh", 16}, {u"wrold", 25}, {u"fien", 37}, {u"recieve", 44}}},
      {u"x wrold", 5, {{u"wrold", 2}}},
      {u"\n\r\n", 1, {}},
  };
  SpellCheck engine;
  engine.Init();
  for (const auto& c : cases) {
    for (std::size_t max_piece = 1; max_piece <= c.text.size() + 1; ++max_piece) {
      Findings found;
      const bool checked = ForEachUnknownWord(
          engine, c.text,
          [&](std::u16string_view word, std::size_t offset) { found.emplace_back(word, offset); },
          max_piece);
      EXPECT_EQ(checked, max_piece >= c.smallest_piece) << max_piece;
      EXPECT_EQ(found, checked ? c.whole : Findings()) << max_piece;
    }
  }
}

}  // namespace
}  // namespace lexivane::cli
