#include "lexivane/better_suggestions.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "api/better_ranking.h"
#include "engine/soundex.h"
#include "engine/word_tables.h"
#include "lexivane/letter_case.h"
#include "suggest/case_style.h"
#include "suggest/similarity.h"
#include "suggest/sound_index.h"
#include "suggest/sound_key.h"
#include "suggest/word_level.h"

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

// A sound neighbour whose length differs more than this is not worth ranking.
constexpr std::size_t kSoundLengthSpread = 3;

// The single-byte form of a lower-case word, as the main list holds it (what is beyond Latin-1
// counts as no letter).
std::string SingleByte(std::u16string_view word) {
  std::string bytes;
  for (const char16_t c : word) bytes += c < 0x100 ? static_cast<char>(c) : '?';
  return bytes;
}

PackedKey SoundexKey(std::u16string_view word) {
  return PackedSoundex(SingleByte(word));
}

// The index of a main-list word in lower case, or -1: a walk over its two-letter block.
std::int32_t IndexOfWord(const PreparedTables& tables, const std::string& word) {
  if (word.size() < 2) return -1;
  const std::int32_t slot =
      static_cast<unsigned char>(word[0]) * 256 + static_cast<unsigned char>(word[1]);
  const std::int32_t first = tables.StartIdx(slot), last = tables.EndIdx(slot);
  if (first == 0) return -1;  // no word starts so
  for (std::int32_t i = first; i <= last; ++i) {
    if (tables.Word(i) == word) return i;
  }
  return -1;
}

// The steps of a word level, commonest first (0) to custom words (7).
int RarenessOf(std::uint8_t level) {
  constexpr std::uint8_t kLevels[] = {10, 20, 35, 40, 50, 55};
  for (int step = 0; step < 6; ++step) {
    if (level != 0 && level <= kLevels[step]) return step;
  }
  return level == 0 ? 7 : 6;
}

}  // namespace

std::vector<BetterCandidate> GatherCandidates(const SpellCheck& engine, std::u16string_view word,
                                              bool check_custom) {
  // The wider search shares the thread's dictionaries; it is the engine's own search.
  thread_local SpellCheck wide;
  wide.SetSuggestionSimilarity(kWideThreshold);
  // The search leaves its list alone for a word too short or a number, and no list it makes
  // holds exactly one empty string: such a word gets nothing here either.
  std::vector<std::u16string> found(1);
  wide.GetSuggestions(word, found, check_custom);
  if (found.size() == 1 && found.front().empty()) return {};
  const std::u16string lower = FoldCase(word);
  std::vector<BetterCandidate> candidates;
  std::unordered_map<std::u16string, std::size_t> seen;  // folded word -> its candidate
  const auto add = [&](std::u16string candidate, bool one_edit) -> BetterCandidate& {
    std::u16string folded = FoldCase(candidate);
    if (const auto it = seen.find(folded); it != seen.end()) {
      candidates[it->second].one_edit = candidates[it->second].one_edit || one_edit;
      return candidates[it->second];
    }
    seen.emplace(folded, candidates.size());
    candidates.push_back(
        {std::move(candidate), std::move(folded), candidates.size(), one_edit, 2, 0});
    return candidates.back();
  };
  for (std::u16string& candidate : found) add(std::move(candidate), false);
  // Words of the engine's own search one edit away are marked as such.
  ForEachEdit(lower, [&](const std::u16string& edit) {
    if (seen.count(edit) != 0 || engine.CheckWord(edit, check_custom)) add(edit, true);
  });
  // Words that sound alike, and how common each candidate is.
  const PreparedTables& tables = SharedMainTables();
  const std::string sound = SoundKey(lower);
  SharedSoundIndex().ForEachWordNearSound(sound, [&](std::int32_t index, int key_edits) {
    const std::string_view listed = tables.Word(index);
    const std::size_t longer = std::max(listed.size(), lower.size());
    if (longer - std::min(listed.size(), lower.size()) > kSoundLengthSpread) return;
    std::u16string candidate(listed.begin(), listed.end());
    for (char16_t& c : candidate) c = static_cast<unsigned char>(c);
    BetterCandidate& added = add(std::move(candidate), false);
    added.sound_edits = std::min(added.sound_edits, key_edits);
    added.level = WordLevel(index);
  });
  // What the index did not bring (custom words, splits, words far in length): its level where
  // it is a main-list word, and whether its sound key is the misspelling's.
  for (BetterCandidate& candidate : candidates) {
    if (candidate.level == 0) {
      candidate.level = WordLevel(IndexOfWord(tables, SingleByte(candidate.folded)));
    }
    if (candidate.sound_edits == 2 && SoundKey(candidate.folded) == sound)
      candidate.sound_edits = 0;
  }
  return candidates;
}

std::vector<std::u16string> RankCandidates(std::vector<BetterCandidate> candidates,
                                           std::u16string_view word, std::size_t most,
                                           const RankingWeights& weights) {
  const std::u16string lower = FoldCase(word);
  const PackedKey key = SoundexKey(lower);
  // The terms that cost nothing to know, and the least the rest can add (the similarity ratio
  // is at most 1, the typing distance at least 0): a candidate whose least cost is above the
  // cost of the `most`th best so far can never be among them, and is not measured. Candidates
  // are measured in the order of that least cost, so the bar falls early.
  const float least_rest = -std::max(weights.similarity, 0.0f);
  const auto known_terms = [&](const BetterCandidate& candidate) {
    float known = 0;
    if (weights.sound != 0.0f && SoundexKey(candidate.folded) != key) known += weights.sound;
    const auto length_difference =
        static_cast<float>(std::max(candidate.folded.size(), lower.size()) -
                           std::min(candidate.folded.size(), lower.size()));
    known += weights.length * length_difference;
    if (!candidate.one_edit) known += weights.far;
    if (candidate.folded.find(u' ') != std::u16string::npos) known += weights.split;
    if (candidate.sound_edits == 1) known += weights.sound_one;
    if (candidate.sound_edits == 2) known += weights.sound_far;
    known += weights.rare * static_cast<float>(RarenessOf(candidate.level));
    return known;
  };
  std::vector<std::pair<float, std::size_t>> order;  // least cost, index of the candidate
  std::vector<float> known(candidates.size());
  order.reserve(candidates.size());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    known[i] = known_terms(candidates[i]);
    order.emplace_back(known[i] + least_rest, i);
  }
  std::sort(order.begin(), order.end());
  // A margin for rounding: the bar only ever leaves out what is clearly worse.
  constexpr float kMargin = 1e-3f;
  std::vector<float> best_costs;                     // a max-heap of the `most` lowest costs so far
  std::vector<std::pair<float, std::size_t>> costs;  // cost, index of the candidate
  for (const auto& [least, i] : order) {
    const bool full = most > 0 && best_costs.size() == most;
    const float bar = full ? best_costs.front() + kMargin : std::numeric_limits<float>::infinity();
    if (least > bar) break;
    const BetterCandidate& candidate = candidates[i];
    float cost = TypingDistanceAtMost(lower, candidate.folded, weights.typing, bar - least);
    if (least + cost > bar) continue;
    if (weights.similarity != 0.0f) {
      cost -= weights.similarity * static_cast<float>(SimilarityRatio(candidate.folded, lower));
    }
    cost += known[i];
    costs.emplace_back(cost, i);
    if (most == 0) continue;
    best_costs.push_back(cost);
    std::push_heap(best_costs.begin(), best_costs.end());
    if (best_costs.size() > most) {
      std::pop_heap(best_costs.begin(), best_costs.end());
      best_costs.pop_back();
    }
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
                                              std::size_t most, bool check_custom) {
  return RankCandidates(GatherCandidates(engine, word, check_custom), word, most);
}

}  // namespace lexivane
