#include "suggest/typing_distance.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
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

// Each pair is confused both ways.
constexpr std::pair<std::string_view, std::string_view> kSpellingConfusions[] = {
    {"f", "ph"},  {"f", "gh"},   {"k", "ch"},  {"k", "ck"},  {"c", "ck"},  {"k", "c"},
    {"s", "c"},   {"s", "sc"},   {"j", "g"},   {"j", "dg"},  {"g", "dg"},  {"ch", "tch"},
    {"sh", "ti"}, {"sh", "ci"},  {"x", "ks"},  {"x", "cks"}, {"kw", "qu"}, {"z", "s"},
    {"w", "wh"},  {"n", "kn"},   {"n", "gn"},  {"r", "wr"},  {"m", "mb"},  {"i", "igh"},
    {"u", "oo"},  {"ee", "ea"},  {"ee", "ie"}, {"i", "ee"},  {"i", "y"},   {"ou", "ow"},
    {"aw", "au"}, {"er", "ur"},  {"o", "ow"},  {"ai", "ay"}, {"a", "ai"},  {"o", "oa"},
};

bool EndsWith(std::u16string_view text, std::size_t end, std::string_view part) {
  if (part.size() > end) return false;
  for (std::size_t k = 0; k < part.size(); ++k) {
    if (text[end - part.size() + k] != static_cast<unsigned char>(part[k])) return false;
  }
  return true;
}

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
  return TypingMeter(typed, costs).AtMost(word, std::numeric_limits<float>::infinity());
}

TypingMeter::TypingMeter(std::u16string_view typed, const TypingCosts& costs)
    : typed_(typed), costs_(costs), typed_single_(typed.size()) {
  SingleCosts(typed, costs, typed_single_.data());
  for (std::size_t end = 1; end <= typed.size(); ++end) {
    for (const auto& [one, other] : kSpellingConfusions) {
      if (EndsWith(typed, end, one)) confusions_.push_back({end, one.size(), other});
      if (EndsWith(typed, end, other)) confusions_.push_back({end, other.size(), one});
    }
  }
}

float TypingMeter::AtMost(std::u16string_view word, float limit) {
  const std::u16string_view typed = typed_;
  const TypingCosts& costs = costs_;
  const std::size_t n = typed.size(), m = word.size();
  // d[i][j]: the cost of turning typed[0, i) into word[0, j).
  table_.resize((n + 1) * (m + 1));
  word_single_.resize(m);
  float* const d = table_.data();
  const auto at = [&](std::size_t i, std::size_t j) -> float& { return d[i * (m + 1) + j]; };
  SingleCosts(word, costs, word_single_.data());
  const float* const typed_single = typed_single_.data();
  const float* const word_single = word_single_.data();
  const float substitute_costs[] = {costs.substitute, costs.vowel_for_vowel, costs.neighbour_key};
  auto confusion = confusions_.cbegin();
  const auto first = [&](bool at_start) { return at_start ? costs.first_letter : 0.0f; };

  at(0, 0) = 0;
  for (std::size_t j = 1; j <= m; ++j) at(0, j) = at(0, j - 1) + word_single[j - 1];
  // An edit leaps back at most this many rows (a swap two, a confusion its typed side), so as
  // many rows in a row above the limit rule out every alignment.
  constexpr std::size_t kLongestLeap = std::max<std::size_t>(2, kLongestConfusion);
  std::size_t rows_above = 0;
  for (std::size_t i = 1; i <= n; ++i) {
    const char16_t a = typed[i - 1];
    const float deleted = typed_single[i - 1];
    at(i, 0) = at(i - 1, 0) + deleted;
    float row_least = at(i, 0);
    const auto confusions_here = confusion;
    while (confusion != confusions_.cend() && confusion->end == i) ++confusion;
    for (std::size_t j = 1; j <= m; ++j) {
      const char16_t b = word[j - 1];
      float substitute = 0;
      if (a != b) substitute = substitute_costs[KindOf(a, b)] + first(i == 1 || j == 1);
      float best = std::min({at(i - 1, j - 1) + substitute, at(i - 1, j) + deleted,
                             at(i, j - 1) + word_single[j - 1]});
      if (i > 1 && j > 1 && a == word[j - 2] && typed[i - 2] == b && a != b) {
        best = std::min(best, at(i - 2, j - 2) + costs.swap + first(i == 2));
      }
      for (auto c = confusions_here; c != confusion; ++c) {
        if (b != static_cast<unsigned char>(c->word_side.back()) || !EndsWith(word, j, c->word_side))
          continue;
        const std::size_t from_i = i - c->typed_length, from_j = j - c->word_side.size();
        best = std::min(best,
                        at(from_i, from_j) + costs.confusion + first(from_i == 0 || from_j == 0));
      }
      at(i, j) = best;
      row_least = std::min(row_least, best);
    }
    rows_above = row_least > limit ? rows_above + 1 : 0;
    if (rows_above >= kLongestLeap) return row_least;
  }
  return at(n, m);
}

}  // namespace lexivane
