// Speller: the word-level side of an engine object (check a word, suggest, add a custom word)
// with a suggestion threshold of its own, over one thread's dictionaries.
//
// The public SpellCheck makes one for each call from the calling thread's dictionaries and its
// own threshold; the suggestions dialog keeps one for as long as it lives (its `oSpell`), which
// is how the dialog works on the thread's shared word lists while its threshold stays 0.8
// whatever a host sets on its own engine object. A Speller does not own the dictionaries and must
// not outlive them. Used on the dictionaries' own thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane {

struct Dictionaries;

// The threshold of a new engine object: the 32-bit float nearest 0.8.
inline constexpr float kDefaultSimilarityThreshold = 0.8f;

// A requested threshold as an engine object stores it: above 1 becomes 1, below 0 becomes 0,
// and NaN, which is no threshold at all, keeps `current`.
float ClampedThreshold(float requested, float current);

class Speller {
 public:
  explicit Speller(Dictionaries& dictionaries,
                   float similarity_threshold = kDefaultSimilarityThreshold)
      : dictionaries_(dictionaries), SimilarityThreshold(similarity_threshold) {}

  bool CheckWord(std::u16string_view sWord, bool bCheckCustom) const;
  std::int32_t GetSuggestions(std::u16string_view sWord, std::vector<std::u16string>& SuggOut,
                              bool bCheckCustom) const;
  void AddToCustom(std::u16string_view sWord) const;

 private:
  Dictionaries& dictionaries_;
  float SimilarityThreshold;
};

}  // namespace lexivane
