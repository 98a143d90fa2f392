#include "suggest/typing_distance.h"
#include "support/ascii.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>
#include <mutex>
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
    {"f", "ph"},  {"f", "gh"},  {"k", "ch"},  {"k", "ck"},  {"c", "ck"},  {"k", "c"},
    {"s", "c"},   {"s", "sc"},  {"j", "g"},   {"j", "dg"},  {"g", "dg"},  {"ch", "tch"},
    {"sh", "ti"}, {"sh", "ci"}, {"x", "ks"},  {"x", "cks"}, {"kw", "qu"}, {"z", "s"},
    {"w", "wh"},  {"n", "kn"},  {"n", "gn"},  {"r", "wr"},  {"m", "mb"},  {"i", "igh"},
    {"u", "oo"},  {"ee", "ea"}, {"ee", "ie"}, {"i", "ee"},  {"i", "y"},   {"ou", "ow"},
    {"aw", "au"}, {"er", "ur"}, {"o", "ow"},  {"ai", "ay"}, {"a", "ai"},  {"o", "oa"},
};

// Each side of a confusion with the other side, by the side's last letter: a meter looks up
// the confusions that may end at each letter of its text instead of trying them all.
struct ConfusionSide {
  std::string_view side, other;
};
using ConfusionSides = std::array<std::vector<ConfusionSide>, 26>;

const ConfusionSides& ConfusionsByLastLetter() {
  static const ConfusionSides sides = [] {
    ConfusionSides by_last;
    for (const auto& [one, other] : kSpellingConfusions) {
      by_last[static_cast<std::size_t>(one.back() - 'a')].push_back({one, other});
      by_last[static_cast<std::size_t>(other.back() - 'a')].push_back({other, one});
    }
    return by_last;
  }();
  return sides;
}

bool EndsWith(std::u16string_view text, std::size_t end, std::string_view part) {
  if (part.size() > end) return false;
  for (std::size_t k = 0; k < part.size(); ++k) {
    if (text[end - part.size() + k] != static_cast<unsigned char>(part[k])) return false;
  }
  return true;
}

// How unlikely each slip of one letter is, in hundredths of a nat, learned from misspellings:
// a letter typed for the intended one, [intended][typed]; a letter left out; a letter put in.
constexpr std::int16_t kSlipHundredths[] = {
#include LEXIVANE_SLIP_COSTS_FILE
};
constexpr std::size_t kLeftOutRow = 26, kPutInRow = 27;
static_assert(std::size(kSlipHundredths) == (kPutInRow + 1) * 26);
using LetterCosts = std::array<float, 26>;

// A row of the learned costs, times `weight`.
LetterCosts LearnedCosts(std::size_t row, float weight) {
  LetterCosts costs;
  for (std::size_t c = 0; c < 26; ++c) costs[c] = weight * kSlipHundredths[row * 26 + c] / 100.0f;
  return costs;
}

// Where a character's costs are in a table of one letter's costs: a to z, then anything else.
constexpr std::size_t kOtherCharacter = 26;
constexpr std::uint8_t SlotOf(char16_t c) {
  return static_cast<std::uint8_t>(support::IsAsciiLower(c) ? c - u'a' : kOtherCharacter);
}

// The costs of each character coming or going, with a neighbour the same and without, before
// the first letter's extra; each a kind's cost plus the learned part, never below 0.
struct SingleCosts {
  std::array<float, 27> alone, doubled;

  SingleCosts(const TypingCosts& costs, const LetterCosts& learned) {
    for (std::size_t slot = 0; slot <= kOtherCharacter; ++slot) {
      const bool letter = slot < kOtherCharacter;
      const float extra = letter ? learned[slot] : 0.0f;
      const float kind = letter && IsVowel(static_cast<char16_t>(u'a' + slot))
                             ? costs.vowel
                             : costs.insert_or_delete;
      alone[slot] = std::max(0.0f, kind + extra);
      doubled[slot] = std::max(0.0f, costs.doubled_letter + extra);
    }
  }

  // The cost of each character of `text` coming or going, more at the first position.
  void Of(std::u16string_view text, float first_letter, float* out) const {
    for (std::size_t position = 0; position < text.size(); ++position) {
      const char16_t c = text[position];
      const bool beside_same = (position > 0 && text[position - 1] == c) ||
                               (position + 1 < text.size() && text[position + 1] == c);
      out[position] = (beside_same ? doubled : alone)[SlotOf(c)];
    }
    if (!text.empty()) out[0] += first_letter;
  }
};

}  // namespace

struct SlipTable {
  explicit SlipTable(const TypingCosts& costs)
      : costs(costs),
        put_in(costs, LearnedCosts(kPutInRow, costs.learned_put_in)),
        left_out(costs, LearnedCosts(kLeftOutRow, costs.learned_left_out)) {
    const float kinds[] = {costs.substitute, costs.vowel_for_vowel, costs.neighbour_key};
    for (std::size_t word = 0; word < 26; ++word) {
      const LetterCosts learned = LearnedCosts(word, costs.learned_typed_for);
      for (std::size_t typed = 0; typed < 26; ++typed) {
        typed_for[typed][word] =
            std::max(0.0f, kinds[kSubstitutionKinds[typed][word]] + learned[typed]);
      }
      typed_for[kOtherCharacter][word] = typed_for[word][kOtherCharacter] = costs.substitute;
    }
    typed_for[kOtherCharacter][kOtherCharacter] = costs.substitute;
    least_letter = LeastLetter();
    least_edit = LeastEdit();
  }

  // The table for `costs`: one of the few the process worked out last, or a new one. Shared by
  // the process rather than kept per thread: in the Windows component a thread_local with a
  // destructor runs it on storage that is already freed when the thread ends (HACKING.md).
  static std::shared_ptr<const SlipTable> For(const TypingCosts& costs) {
    static std::mutex guard;
    static std::array<std::shared_ptr<const SlipTable>, 4> recent;  // the newest first
    const std::lock_guard<std::mutex> locked(guard);
    const auto kept = std::find_if(recent.begin(), recent.end(), [&](const auto& table) {
      return table && table->costs == costs;
    });
    if (kept != recent.end()) return *kept;
    std::rotate(recent.begin(), recent.end() - 1, recent.end());
    recent.front() = std::make_shared<const SlipTable>(costs);
    return recent.front();
  }

  TypingCosts costs;
  SingleCosts put_in;    // a typed character that the word lacks
  SingleCosts left_out;  // a character of the word that the typed text lacks
  std::array<std::array<float, 27>, 27> typed_for;  // [typed][word]
  // LeastLetterCost and LeastEditCost, worked out with the table: a ranking asks for them with
  // every word it ranks.
  float least_letter, least_edit;

 private:
  float LeastLetter() const {
    float least = std::numeric_limits<float>::infinity();
    for (const SingleCosts* single : {&put_in, &left_out}) {
      for (const auto* costs_of : {&single->alone, &single->doubled})
        least = std::min(least, *std::min_element(costs_of->begin(), costs_of->end()));
    }
    // A confusion of groups of one and kLongestConfusion letters changes the length by all but
    // one.
    least = std::min(least, costs.confusion / static_cast<float>(kLongestConfusion - 1));
    return std::max(0.0f, least + std::min(0.0f, costs.first_letter));
  }
  float LeastEdit() const {
    // A confusion may mend as many letters as a group has, at once.
    float least = std::min(least_letter, costs.confusion / static_cast<float>(kLongestConfusion));
    for (const auto& row : typed_for)
      least = std::min(least, *std::min_element(row.begin(), row.end()));
    return std::max(0.0f, least + std::min(0.0f, costs.first_letter));
  }
};

float LeastLetterCost(const TypingCosts& costs) {
  return SlipTable::For(costs)->least_letter;
}

float LeastEditCost(const TypingCosts& costs) {
  return SlipTable::For(costs)->least_edit;
}

float TypingDistance(std::u16string_view typed, std::u16string_view word,
                     const TypingCosts& costs) {
  return TypingMeter(typed, costs).AtMost(word, std::numeric_limits<float>::infinity());
}

TypingMeter::TypingMeter(std::u16string_view typed, const TypingCosts& costs)
    : typed_(typed), slips_(SlipTable::For(costs)), typed_single_(typed.size()) {
  slips_->put_in.Of(typed, costs.first_letter, typed_single_.data());
  const ConfusionSides& by_last_letter = ConfusionsByLastLetter();
  for (std::size_t end = 1; end <= typed.size(); ++end) {
    if (!support::IsAsciiLower(typed[end - 1])) continue;
    for (const auto& [side, other] : by_last_letter[typed[end - 1] - u'a']) {
      if (EndsWith(typed, end, side)) confusions_.push_back({end, side.size(), other});
    }
  }
}

TypingMeter::~TypingMeter() = default;

float TypingMeter::AtMost(std::u16string_view word, float limit) {
  const std::u16string_view typed = typed_;
  const SlipTable& slips = *slips_;
  const TypingCosts& costs = slips.costs;
  const std::size_t n = typed.size(), m = word.size();
  // d[i][j]: the cost of turning typed[0, i) into word[0, j).
  table_.resize((n + 1) * (m + 1));
  word_single_.resize(m);
  word_slots_.resize(m);
  float* const d = table_.data();
  const auto at = [&](std::size_t i, std::size_t j) -> float& { return d[i * (m + 1) + j]; };
  slips.left_out.Of(word, costs.first_letter, word_single_.data());
  std::transform(word.begin(), word.end(), word_slots_.begin(), SlotOf);
  const std::uint8_t* const word_slots = word_slots_.data();
  const float* const typed_single = typed_single_.data();
  const float* const word_single = word_single_.data();
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
    const auto& typed_for = slips.typed_for[SlotOf(a)];
    at(i, 0) = at(i - 1, 0) + deleted;
    float row_least = at(i, 0);
    // The confusions whose typed side ends here, and the letters their word sides end in.
    const auto confusions_here = confusion;
    std::uint32_t word_side_ends = 0;
    for (; confusion != confusions_.cend() && confusion->end == i; ++confusion) {
      word_side_ends |= std::uint32_t{1}
                        << SlotOf(static_cast<unsigned char>(confusion->word_side.back()));
    }
    for (std::size_t j = 1; j <= m; ++j) {
      const char16_t b = word[j - 1];
      float substitute = 0;
      if (a != b) substitute = typed_for[word_slots[j - 1]] + first(i == 1 || j == 1);
      float best = std::min({at(i - 1, j - 1) + substitute, at(i - 1, j) + deleted,
                             at(i, j - 1) + word_single[j - 1]});
      if (i > 1 && j > 1 && a == word[j - 2] && typed[i - 2] == b && a != b) {
        best = std::min(best, at(i - 2, j - 2) + costs.swap + first(i == 2));
      }
      if ((word_side_ends >> word_slots[j - 1]) & 1) {
        for (auto c = confusions_here; c != confusion; ++c) {
          if (b != static_cast<unsigned char>(c->word_side.back()) ||
              !EndsWith(word, j, c->word_side))
            continue;
          const std::size_t from_i = i - c->typed_length, from_j = j - c->word_side.size();
          best = std::min(best,
                          at(from_i, from_j) + costs.confusion + first(from_i == 0 || from_j == 0));
        }
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
