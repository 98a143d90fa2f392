#include "suggest/typing_distance.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace lexivane {
namespace {

constexpr bool IsVowel(char16_t c) {
  return c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u' || c == u'y';
}

// The keys of a QWERTY keyboard, row by row, for which keys are neighbours: next to each other
// in a row, or in adjacent rows at the same or the next place.
constexpr std::array<std::u16string_view, 3> kRows = {u"qwertyuiop", u"asdfghjkl", u"zxcvbnm"};

constexpr bool AreNeighbourKeysSlowly(char16_t a, char16_t b) {
  for (std::size_t row = 0; row < kRows.size(); ++row) {
    const std::size_t at = kRows[row].find(a);
    if (at == std::u16string_view::npos) continue;
    const auto same = [&](std::size_t r, std::size_t p) {
      return r < kRows.size() && p < kRows[r].size() && kRows[r][p] == b;
    };
    return same(row, at + 1) || (at > 0 && same(row, at - 1)) || same(row + 1, at) ||
           (at > 0 && same(row + 1, at - 1)) ||
           (row > 0 && (same(row - 1, at) || same(row - 1, at + 1)));
  }
  return false;
}

enum SubstitutionKind : std::uint8_t { kAnyLetter, kVowelForVowel, kNeighbourKey };

// Looked up, not sought: the distance asks it for nearly every pair of letters it compares.
constexpr std::array<std::array<SubstitutionKind, 26>, 26> kSubstitutionKinds = [] {
  std::array<std::array<SubstitutionKind, 26>, 26> table{};
  for (char16_t a = u'a'; a <= u'z'; ++a) {
    for (char16_t b = u'a'; b <= u'z'; ++b) {
      table[a - u'a'][b - u'a'] = IsVowel(a) && IsVowel(b)       ? kVowelForVowel
                                  : AreNeighbourKeysSlowly(a, b) ? kNeighbourKey
                                                                 : kAnyLetter;
    }
  }
  return table;
}();

SubstitutionKind KindOf(char16_t a, char16_t b) {
  return a >= u'a' && a <= u'z' && b >= u'a' && b <= u'z' ? kSubstitutionKinds[a - u'a'][b - u'a']
                                                          : kAnyLetter;
}

// The cost of each letter of `text` coming or going: less beside the same letter, less for a
// vowel, more at the first position.
void SingleCosts(std::u16string_view text, const TypingCosts& costs, float* out) {
  for (std::size_t position = 0; position < text.size(); ++position) {
    const char16_t c = text[position];
    float cost = costs.insert_or_delete;
    if ((position > 0 && text[position - 1] == c) ||
        (position + 1 < text.size() && text[position + 1] == c)) {
      cost = costs.doubled_letter;
    } else if (IsVowel(c)) {
      cost = costs.vowel;
    }
    out[position] = cost + (position == 0 ? costs.first_letter : 0.0f);
  }
}

}  // namespace

float TypingDistance(std::u16string_view typed, std::u16string_view word,
                     const TypingCosts& costs) {
  return TypingDistanceAtMost(typed, word, costs, std::numeric_limits<float>::infinity());
}

float TypingDistanceAtMost(std::u16string_view typed, std::u16string_view word,
                           const TypingCosts& costs, float limit) {
  const std::size_t n = typed.size(), m = word.size();
  // Three rows of the table d[i][j], the cost of turning typed[0, i) into word[0, j) (a swap
  // reaches back two rows), and each letter's cost of coming or going; the thread's, kept
  // between calls.
  thread_local std::vector<float> buffer;
  buffer.resize(3 * (m + 1) + n + m);
  float* before = buffer.data();  // row i - 2
  float* above = before + (m + 1);  // row i - 1
  float* row = above + (m + 1);     // row i
  float* typed_single = row + (m + 1);
  float* word_single = typed_single + n;
  SingleCosts(typed, costs, typed_single);
  SingleCosts(word, costs, word_single);
  const float substitute_costs[] = {costs.substitute, costs.vowel_for_vowel, costs.neighbour_key};

  above[0] = 0;
  for (std::size_t j = 1; j <= m; ++j) above[j] = above[j - 1] + word_single[j - 1];
  float previous_row_least = 0;  // row 0 holds 0
  for (std::size_t i = 1; i <= n; ++i) {
    const char16_t a = typed[i - 1];
    const float deleted = typed_single[i - 1];
    row[0] = above[0] + deleted;
    float row_least = row[0];
    for (std::size_t j = 1; j <= m; ++j) {
      const char16_t b = word[j - 1];
      float substitute = 0;
      if (a != b) {
        substitute = substitute_costs[KindOf(a, b)] + (i == 1 || j == 1 ? costs.first_letter : 0);
      }
      float best = std::min({above[j - 1] + substitute, above[j] + deleted,
                             row[j - 1] + word_single[j - 1]});
      if (i > 1 && j > 1 && a == word[j - 2] && typed[i - 2] == b && a != b) {
        best = std::min(best, before[j - 2] + costs.swap + (i == 2 ? costs.first_letter : 0));
      }
      row[j] = best;
      row_least = std::min(row_least, best);
    }
    // A swap leaps from row i - 2 to row i, so only two rows above the limit rule it out.
    if (row_least > limit && previous_row_least > limit) return row_least;
    previous_row_least = row_least;
    std::swap(before, above);
    std::swap(above, row);
  }
  return above[m];
}

}  // namespace lexivane
