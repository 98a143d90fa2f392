#include "lexivane/better_suggestions.h"

#include <algorithm>
#include <unordered_map>

#include "lexivane/letter_case.h"
#include "suggest/case_style.h"
#include "suggest/typing_distance.h"

namespace lexivane {
namespace {

// The threshold of the wider specified search that brings candidates beyond one edit.
constexpr float kWideThreshold = 0.7f;

constexpr std::u16string_view kInsertable = u"abcdefghijklmnopqrstuvwxyz'-";

// Calls `take` for every string one edit away from `word`: a unit deleted, two adjacent ones
// swapped, one replaced by or one inserted from kInsertable.
template <typename Take>
void ForEachEdit(std::u16string_view word, Take&& take) {
  std::u16string edit;
  for (std::size_t i = 0; i < word.size(); ++i) {
    edit.assign(word.substr(0, i)).append(word.substr(i + 1));
    take(edit);
    if (i + 1 < word.size() && word[i] != word[i + 1]) {
      edit.assign(word);
      std::swap(edit[i], edit[i + 1]);
      take(edit);
    }
    for (const char16_t c : kInsertable) {
      if (c == word[i]) continue;
      edit.assign(word);
      edit[i] = c;
      take(edit);
    }
  }
  for (std::size_t i = 0; i <= word.size(); ++i) {
    for (const char16_t c : kInsertable) {
      edit.assign(word.substr(0, i)).append(1, c).append(word.substr(i));
      take(edit);
    }
  }
}

}  // namespace

std::vector<std::u16string> BetterSuggestions(const SpellCheck& engine, std::u16string_view word,
                                              std::size_t most) {
  // The wider search shares the thread's dictionaries; it is the engine's own search.
  thread_local SpellCheck wide;
  wide.SetSuggestionSimilarity(kWideThreshold);
  // The search leaves its list alone for a word too short or a number, and no list it makes
  // holds exactly one empty string: such a word gets nothing here either.
  std::vector<std::u16string> found(1);
  wide.GetSuggestions(word, found, true);
  if (found.size() == 1 && found.front().empty()) return {};
  const std::u16string lower = FoldCase(word);
  // Each candidate once, with the place the specified search gave it (ties keep that order).
  std::unordered_map<std::u16string, std::size_t> places;
  for (std::size_t i = 0; i < found.size(); ++i) places.emplace(FoldCase(found[i]), i);
  std::vector<std::u16string> candidates = found;
  if (lower.size() >= 2) {
    ForEachEdit(lower, [&](const std::u16string& edit) {
      if (places.count(edit) == 0 && engine.CheckWord(edit, true)) {
        places.emplace(edit, found.size() + places.size());
        candidates.push_back(edit);
      }
    });
  }
  struct Ranked {
    float cost;
    std::size_t place;
    std::u16string word;
  };
  std::vector<Ranked> ranked;
  ranked.reserve(candidates.size());
  for (std::u16string& candidate : candidates) {
    const std::u16string folded = FoldCase(candidate);
    ranked.push_back({TypingDistance(lower, folded), places[folded], std::move(candidate)});
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    return a.cost != b.cost ? a.cost < b.cost : a.place < b.place;
  });
  const CaseStyle style = CaseStyleOf(word);
  std::vector<std::u16string> suggestions;
  for (const Ranked& candidate : ranked) {
    if (suggestions.size() == most) break;
    std::u16string shown = InCaseStyle(candidate.word, style);
    if (std::find(suggestions.begin(), suggestions.end(), shown) == suggestions.end())
      suggestions.push_back(std::move(shown));
  }
  return suggestions;
}

}  // namespace lexivane
