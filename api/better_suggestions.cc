#include "lexivane/better_suggestions.h"

#include <algorithm>
#include <unordered_map>

#include "api/better_ranking.h"
#include "engine/soundex.h"
#include "lexivane/letter_case.h"
#include "suggest/case_style.h"
#include "suggest/similarity.h"

namespace lexivane {
namespace {

// The threshold of the wider search of the engine that brings candidates beyond one edit.
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

// The sound key of a lower-case word (its single-byte form: what is beyond Latin-1 counts as
// no letter).
PackedKey SoundKey(std::u16string_view word) {
  std::string bytes;
  for (const char16_t c : word) bytes += c < 0x100 ? static_cast<char>(c) : '?';
  return PackedSoundex(bytes);
}

}  // namespace

std::vector<BetterCandidate> GatherCandidates(const SpellCheck& engine, std::u16string_view word) {
  // The wider search shares the thread's dictionaries; it is the engine's own search.
  thread_local SpellCheck wide;
  wide.SetSuggestionSimilarity(kWideThreshold);
  // The search leaves its list alone for a word too short or a number, and no list it makes
  // holds exactly one empty string: such a word gets nothing here either.
  std::vector<std::u16string> found(1);
  wide.GetSuggestions(word, found, true);
  if (found.size() == 1 && found.front().empty()) return {};
  const std::u16string lower = FoldCase(word);
  std::vector<BetterCandidate> candidates;
  std::unordered_map<std::u16string, std::size_t> seen;  // folded word -> its candidate
  const auto add = [&](std::u16string candidate, bool one_edit) {
    std::u16string folded = FoldCase(candidate);
    if (const auto it = seen.find(folded); it != seen.end()) {
      candidates[it->second].one_edit = candidates[it->second].one_edit || one_edit;
      return;
    }
    seen.emplace(folded, candidates.size());
    candidates.push_back({std::move(candidate), std::move(folded), candidates.size(), one_edit});
  };
  for (std::u16string& candidate : found) add(std::move(candidate), false);
  ForEachEdit(lower, [&](const std::u16string& edit) {
    if (seen.count(edit) == 0 && engine.CheckWord(edit, true)) add(edit, true);
  });
  // A word of the engine's own search may be one edit away too.
  ForEachEdit(lower, [&](const std::u16string& edit) {
    if (const auto it = seen.find(edit); it != seen.end()) candidates[it->second].one_edit = true;
  });
  return candidates;
}

std::vector<std::u16string> RankCandidates(std::vector<BetterCandidate> candidates,
                                           std::u16string_view word, std::size_t most,
                                           const RankingWeights& weights) {
  const std::u16string lower = FoldCase(word);
  const PackedKey key = SoundKey(lower);
  std::vector<std::pair<float, std::size_t>> costs;  // cost, index of the candidate
  costs.reserve(candidates.size());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const BetterCandidate& candidate = candidates[i];
    float cost = TypingDistance(lower, candidate.folded, weights.typing);
    if (weights.similarity != 0.0f) {
      cost -= weights.similarity * static_cast<float>(SimilarityRatio(candidate.folded, lower));
    }
    if (weights.sound != 0.0f && SoundKey(candidate.folded) != key) cost += weights.sound;
    const auto length_difference = static_cast<float>(
        std::max(candidate.folded.size(), lower.size()) -
        std::min(candidate.folded.size(), lower.size()));
    cost += weights.length * length_difference;
    if (!candidate.one_edit) cost += weights.far;
    if (candidate.folded.find(u' ') != std::u16string::npos) cost += weights.split;
    costs.emplace_back(cost, i);
  }
  std::stable_sort(costs.begin(), costs.end(), [&](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first
                              : candidates[a.second].place < candidates[b.second].place;
  });
  const CaseStyle style = CaseStyleOf(word);
  std::vector<std::u16string> suggestions;
  for (const auto& [cost, index] : costs) {
    if (suggestions.size() == most) break;
    std::u16string shown = InCaseStyle(candidates[index].word, style);
    if (std::find(suggestions.begin(), suggestions.end(), shown) == suggestions.end())
      suggestions.push_back(std::move(shown));
  }
  return suggestions;
}

std::vector<std::u16string> BetterSuggestions(const SpellCheck& engine, std::u16string_view word,
                                              std::size_t most) {
  return RankCandidates(GatherCandidates(engine, word), word, most);
}

}  // namespace lexivane
