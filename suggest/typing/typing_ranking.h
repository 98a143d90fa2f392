// The typing ranking: corrections for a misspelling, the likeliest typing errors first
// (lexivane/typing_suggestions.h gives it to hosts). Its two halves are apart so that a tuner can
// rank the same candidates under other weights (bench/suggestion_quality.cc): the candidates of
// a word, gathered once, and their ranking by a weighted cost.
//
// It reads only the dictionaries it is given. Any thread, as long as no thread changes the custom
// dictionary meanwhile (each thread gathers in a scratch table of its own).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "suggest/typing_distance.h"

namespace lexivane {

class CustomDictionary;
class LetterTriples;
class OfferedWordIndex;
class PreparedTables;
class SoundIndex;

// What the candidates come from: the main list's tables with the data made from the same list,
// its sound index and its letter triples (the word levels and frequency classes of
// suggest/word_level.h are read by the embedded list's indexes, so `main` is that list), the
// custom dictionary whose entries are candidates too, or none, and a host's lists of words it
// offers besides (offered_words.h).
struct TypingDictionaries {
  // The embedded main list's (engine/word_tables.h, suggest/sound_index.h,
  // suggest/letter_triples.h) with `custom` and `offered`. Throws lexivane::Error when an
  // embedded image is unreadable.
  static TypingDictionaries OfEmbeddedList(const CustomDictionary* custom,
                                           std::span<const OfferedWordIndex* const> offered = {});

  const PreparedTables& main;
  const SoundIndex& sounds;
  const LetterTriples& triples;
  const CustomDictionary* custom;  // nullptr: the custom dictionary's words are no candidates
  std::span<const OfferedWordIndex* const> offered;
};

struct TypingCandidate {
  std::int32_t index;      // in the main list, or -1 (a split, "a", "i", an unlisted custom entry)
  std::u16string word;     // as the custom dictionary or the rules give it; "" for a listed word
  std::size_t length;      // of the word
  std::size_t place;       // the order the candidates were gathered in
  bool one_edit;           // within one edit of the misspelling
  bool two_words;          // a split of the misspelling
  bool joined;             // two listed words written as one, one of them slipped
  int sound_edits;         // its sound key's edits from the misspelling's: 0, 1, or 2 for more
  std::uint8_t level;      // its WordLevel (suggest/word_level.h); 0 for no main-list word
  std::uint8_t frequency;  // its WordFrequencyClass (the same); 0 for no main-list word
  std::uint16_t soundex;   // its Soundex key (engine/soundex.h)
  char16_t last_letter;    // of the word in lower case
};

// Every candidate once: the listed words one edit away (and "a" and "i"), the listed words of the
// same first letter two edits away when at most one is within one (suggest/near_words.h), the
// listed words two swaps of adjacent letters away, the two words a split makes ("a" and a word, or
// two words of two letters or more, each listed or a custom entry), custom entries within one edit
// or of a similarity ratio above 0.7, and the listed words whose sound key is within one edit
// (suggest/sound_index.h) and whose length is within three. The custom dictionary's entries are
// among them when `dictionaries` has one, and the offered words near the misspelling
// (OfferedWordIndex::ForEachNear). When no listed word is within one edit, a misspelling of eight
// letters or more is also read as two listed words of three letters or more written as one, one
// of them within one edit of what is written (`postprocesing`: post and processing). None for a
// word too short to suggest for or a number.
std::vector<TypingCandidate> GatherCandidates(const TypingDictionaries& dictionaries,
                                              std::u16string_view word);

// The cost of a candidate is its TypingDistance less `similarity` times the engine's similarity
// ratio, plus `sound` when their sound keys differ, `length` for each character of difference
// in length, `far` when it lies beyond one edit, `split` for two words and `joined` for two
// words written as one, `sound_one` and
// `sound_far` when its English sound key (suggest/sound_key.h) is one edit or more away, and
// `rare` for each step of its word level above the commonest (10, 20, 35, 40, 50, 55, more; a
// custom word counts as the rarest), and `common` for each frequency class (a two-word split
// counts as its rarer word), and `last_letter` when the words end in different letters.
// Lowest first; equal costs keep the order of gathering. The defaults
// are fitted on the tuning set alone (`lexivane_suggestion_quality --tune`).
struct RankingWeights {
  TypingCosts typing;  // its own defaults, fitted with the rest
  float similarity = 7.05f;
  float sound = -0.1f;
  float length = 0.2f;
  float far = 0.15f;
  float split = 5.55f;
  float joined = 8.0f;
  float sound_one = 1.0f;
  float sound_far = 1.25f;
  float rare = 0.4f;
  float common = -0.24f;
  float last_letter = 0.1f;
};

// The first `most` candidates by cost, in the letter case of `word`, each once; `main` is the
// list they were gathered from. `costs`, when given, receives the cost of each in turn.
std::vector<std::u16string> RankCandidates(const PreparedTables& main,
                                           const std::vector<TypingCandidate>& candidates,
                                           std::u16string_view word, std::size_t most,
                                           const RankingWeights& weights = {},
                                           std::vector<float>* costs = nullptr);

// Both halves at the fitted weights: the first `most` corrections of `word`, in its letter case,
// never the word as it is written.
std::vector<std::u16string> RankByTyping(const TypingDictionaries& dictionaries,
                                         std::u16string_view word, std::size_t most,
                                         std::vector<float>* costs = nullptr);

}  // namespace lexivane
