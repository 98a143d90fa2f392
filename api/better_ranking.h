// The two halves of BetterSuggestions, apart so that a tuner can rank the same candidates under
// other weights (bench/suggestion_quality.cc): the candidates of a word, gathered once, and
// their ranking by a weighted cost. Same threads as the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/spell_check.h"
#include "suggest/typing_distance.h"

namespace lexivane {

struct BetterCandidate {
  std::u16string word;    // as the list or the custom dictionary holds it
  std::u16string folded;  // in lower case
  std::size_t place;      // the engine's order: its own search's first, then the edits'
  bool one_edit;          // within one edit of the misspelling
  int sound_edits;        // its sound key's edits from the misspelling's: 0, 1, or 2 for more
  std::uint8_t level;     // its WordLevel (suggest/word_level.h); 0 for no main-list word
};

// Every candidate once; none for a word too short to suggest for or a number. The custom
// dictionary's words are among them when `check_custom`.
std::vector<BetterCandidate> GatherCandidates(const SpellCheck& engine, std::u16string_view word,
                                              bool check_custom = true);

// The cost of a candidate is its TypingDistance less `similarity` times the engine's similarity
// ratio, plus `sound` when their sound keys differ, `length` for each character of difference
// in length, `far` when it lies beyond one edit and `split` for two words, `sound_one` and
// `sound_far` when its English sound key (suggest/sound_key.h) is one edit or more away, and
// `rare` for each step of its word level above the commonest (10, 20, 35, 40, 50, 55, more; a
// custom word counts as the rarest). Lowest first; equal costs keep the engine's order. The
// defaults are fitted on the tuning set alone (`lexivane_suggestion_quality --tune`).
struct RankingWeights {
  TypingCosts typing = {1.0f, 0.3f, 0.65f, 1.3f, 0.6f, 1.3f, 0.25f, 0.9f};
  float similarity = 1.3f;
  float sound = 0.7f;
  float length = 0.0f;
  float far = 0.95f;
  float split = 2.15f;
  float sound_one = 0.8f;
  float sound_far = -0.4f;
  float rare = 0.8f;
};

// The first `most` candidates by cost, in the letter case of `word`, each once.
std::vector<std::u16string> RankCandidates(std::vector<BetterCandidate> candidates,
                                           std::u16string_view word, std::size_t most,
                                           const RankingWeights& weights = {});

}  // namespace lexivane
