#include "suggest/common_subsequence.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "suggest/similarity.h"

namespace lexivane {
namespace {

std::size_t PlainLongestCommonSubsequence(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> table(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      table[i][j] = a[i - 1] == b[j - 1] ? table[i - 1][j - 1] + 1
                                         : std::max(table[i - 1][j], table[i][j - 1]);
    }
  }
  return table[a.size()][b.size()];
}

// Lengths on either side of the machine words' edges, where the row's carries cross; small
// alphabets make long subsequences and long carry chains, and bytes from 0x80 up index the
// upper half of the position table. The gestalt match never exceeds the bound.
TEST(LongestCommonSubsequence, EqualsThePlainTableAndBoundsTheGestaltMatch) {
  std::mt19937 random(7);
  for (const char* alphabet : {"ab", "acgt", "abcdefghijklmnopqrstuvwxyz", "a\xe9\xff"}) {
    const std::string_view letters(alphabet);
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    const auto text = [&](std::size_t length) {
      std::string s;
      while (s.size() < length) s += letters[pick(random)];
      return s;
    };
    for (std::size_t a_length : {0, 1, 5, 63, 64, 65, 130}) {
      for (std::size_t b_length : {1, 2, 63, 64, 65, 127, 128, 129, 200}) {
        const std::string a = text(a_length), b = text(b_length);
        const std::size_t bound = LongestCommonSubsequence(a, b);
        ASSERT_EQ(bound, PlainLongestCommonSubsequence(a, b)) << a << " / " << b;
        EXPECT_EQ(LongestCommonSubsequence(b, a), bound);
        EXPECT_LE(static_cast<std::size_t>(MatchingChars(a, b)), bound);
      }
    }
  }
  EXPECT_EQ(LongestCommonSubsequence(std::string(300, 'x'), std::string(200, 'x')), 200u);
}

}  // namespace
}  // namespace lexivane
