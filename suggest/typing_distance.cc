#include "suggest/typing_distance.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace lexivane {
namespace {

bool IsVowel(char16_t c) {
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

// Looked up, not sought: the distance asks it for nearly every pair of letters it compares.
constexpr std::array<std::array<bool, 26>, 26> kNeighbourKeys = [] {
  std::array<std::array<bool, 26>, 26> table{};
  for (char16_t a = u'a'; a <= u'z'; ++a) {
    for (char16_t b = u'a'; b <= u'z'; ++b) table[a - u'a'][b - u'a'] = AreNeighbourKeysSlowly(a, b);
  }
  return table;
}();

bool AreNeighbourKeys(char16_t a, char16_t b) {
  return a >= u'a' && a <= u'z' && b >= u'a' && b <= u'z' && kNeighbourKeys[a - u'a'][b - u'a'];
}

}  // namespace

float TypingDistance(std::u16string_view typed, std::u16string_view word,
                     const TypingCosts& costs) {
  return TypingDistanceAtMost(typed, word, costs, std::numeric_limits<float>::infinity());
}

float TypingDistanceAtMost(std::u16string_view typed, std::u16string_view word,
                           const TypingCosts& costs, float limit) {
  const std::size_t n = typed.size(), m = word.size();
  // d[i][j]: the cost of turning typed[0, i) into word[0, j); the table is the thread's, kept
  // between calls.
  thread_local std::vector<float> d;
  d.resize((n + 1) * (m + 1));
  const auto at = [&](std::size_t i, std::size_t j) -> float& { return d[i * (m + 1) + j]; };
  const auto first = [&](std::size_t position) { return position == 0 ? costs.first_letter : 0.0f; };
  // The cost of the letter at `position` of `text` coming or going.
  const auto single = [&](std::u16string_view text, std::size_t position) {
    const char16_t c = text[position];
    float cost = costs.insert_or_delete;
    if ((position > 0 && text[position - 1] == c) ||
        (position + 1 < text.size() && text[position + 1] == c)) {
      cost = costs.doubled_letter;
    } else if (IsVowel(c)) {
      cost = costs.vowel;
    }
    return cost + first(position);
  };
  at(0, 0) = 0;
  for (std::size_t i = 1; i <= n; ++i) at(i, 0) = at(i - 1, 0) + single(typed, i - 1);
  for (std::size_t j = 1; j <= m; ++j) at(0, j) = at(0, j - 1) + single(word, j - 1);
  float previous_row_least = 0;  // row 0 holds 0
  for (std::size_t i = 1; i <= n; ++i) {
    float row_least = at(i, 0);
    for (std::size_t j = 1; j <= m; ++j) {
      const char16_t a = typed[i - 1], b = word[j - 1];
      float substitute = 0;
      if (a != b) {
        substitute = IsVowel(a) && IsVowel(b)   ? costs.vowel_for_vowel
                     : AreNeighbourKeys(a, b) ? costs.neighbour_key
                                              : costs.substitute;
        substitute += first(std::min(i, j) - 1);
      }
      float best = std::min({at(i - 1, j - 1) + substitute, at(i - 1, j) + single(typed, i - 1),
                             at(i, j - 1) + single(word, j - 1)});
      if (i > 1 && j > 1 && a == word[j - 2] && typed[i - 2] == b && a != b) {
        best = std::min(best, at(i - 2, j - 2) + costs.swap + first(i - 2));
      }
      at(i, j) = best;
      row_least = std::min(row_least, best);
    }
    // A swap leaps from row i - 2 to row i, so only two rows above the limit rule it out.
    if (row_least > limit && previous_row_least > limit) return row_least;
    previous_row_least = row_least;
  }
  return at(n, m);
}

}  // namespace lexivane
