#include "frontend/io/text_positions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lexivane::frontend {
namespace {

TEST(TextPositions, LinesEndAtLfCrLfOrALoneCrAndColumnsCountUnitsOrCharacters) {
  // "a\r\nb\rc\nd" then a surrogate pair, an unpaired high surrogate and "e".
  const std::u16string text =
      u"a\r\nb\rc\nd\U0001F600\xD800"
      u"e";
  const struct {
    std::size_t offset;
    LinePosition units, characters;
  } cases[] = {
      {0, {0, 0, 0}, {0, 0, 0}},    {1, {0, 1, 1}, {0, 1, 1}},    {3, {1, 0, 3}, {1, 0, 3}},
      {4, {1, 1, 4}, {1, 1, 4}},    {5, {2, 0, 5}, {2, 0, 5}},    {7, {3, 0, 7}, {3, 0, 7}},
      {8, {3, 1, 8}, {3, 1, 8}},    {10, {3, 3, 9}, {3, 2, 9}},   {11, {3, 4, 10}, {3, 3, 10}},
      {12, {3, 5, 11}, {3, 4, 11}}, {99, {3, 5, 11}, {3, 4, 11}},  // past the end: the end
  };
  for (const Columns columns : {Columns::kUtf16Units, Columns::kCharacters}) {
    // Offsets asked one after another, as the front ends ask them, and each on its own.
    PositionCounter counter(text, columns);
    for (const auto& c : cases) {
      const LinePosition expected = columns == Columns::kUtf16Units ? c.units : c.characters;
      EXPECT_EQ(counter.At(c.offset), expected) << c.offset;
      EXPECT_EQ(PositionCounter(text, columns).At(c.offset), expected) << c.offset;
    }
  }
}

// The counter skips stretches without CR or surrogates in one go; asked at every step size, it
// answers as a walk over each unit does.
TEST(TextPositions, StretchesAnswerAsAWalkUnitByUnit) {
  const std::u16string texts[] = {
      u"one\ntwo\n\nthree four\nfive",
      u"a\nb\r\nc\rd\U0001F600e\nf\xDC00g\n",
      u"\n\n\n",
  };
  for (const std::u16string& text : texts) {
    for (const Columns columns : {Columns::kUtf16Units, Columns::kCharacters}) {
      std::vector<LinePosition> walked;  // at each offset, by the plain rule
      LinePosition position;
      for (std::size_t i = 0; i <= text.size(); ++i) {
        walked.push_back(position);
        if (i == text.size()) break;
        const bool trail =
            i > 0 && (text[i] & 0xFC00) == 0xDC00 && (text[i - 1] & 0xFC00) == 0xD800;
        position.characters += !trail;
        if (EndsLine(text, i)) {
          ++position.line;
          position.column = 0;
        } else if (columns == Columns::kUtf16Units || !trail) {
          ++position.column;
        }
      }
      for (std::size_t step = 1; step <= 7; ++step) {
        PositionCounter counter(text, columns);
        for (std::size_t offset = 0; offset <= text.size(); offset += step) {
          EXPECT_EQ(counter.At(offset), walked[offset]) << offset << " by " << step;
        }
      }
    }
  }
}

TEST(TextPositions, LineEndIsTheNextBreakOrTheEnd) {
  const std::u16string text = u"ab\r\ncd\ref";
  EXPECT_EQ(LineEnd(text, 0), 2u);
  EXPECT_EQ(LineEnd(text, 4), 6u);
  EXPECT_EQ(LineEnd(text, 7), 9u);
  EXPECT_TRUE(EndsLine(text, 3));
  EXPECT_FALSE(EndsLine(text, 2));  // a CR that an LF follows
  EXPECT_TRUE(EndsLine(text, 6));
}

}  // namespace
}  // namespace lexivane::frontend
