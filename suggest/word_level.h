// WordLevel: how common a word of the main list is, as a prior for ranking suggestions. The
// level is the smallest SCOWL size whose lists hold the word: 10 for the most common words
// ("the"), then 20, 35, 40, 50 and 55, the size the list is made of; 60 and above only for the
// few words the list borrowed from larger sizes ("zymurgy"). A smaller level, a commoner word.
//
// WordFrequencyClass: how often a word occurs in a million words of English text (Project
// Gutenberg books and lists of common words): 0 for never, else 1 + floor(log2(count)), at most
// 15. Most of the list's words never occur there; the commonest ("the") is class 15.
//
// data/make_word_levels.py makes the levels from SCOWL and words.dic, and
// data/make_word_frequencies.py the classes from the text; the build embeds both in the
// component, one byte per word read in place, so there is nothing to load and nothing to lock:
// any thread, any time, never throws.
#pragma once

#include <cstdint>

namespace lexivane {

// The level of entry `word_index` of the main word list (the index of WordTables::Word), or 0
// for an index outside the list.
inline constexpr std::uint8_t kCommonestLevel = 10;
inline constexpr std::uint8_t kHighestFrequencyClass = 15;

std::uint8_t WordLevel(std::int32_t word_index);

// The frequency class of entry `word_index`, or 0 for an index outside the list.
std::uint8_t WordFrequencyClass(std::int32_t word_index);

}  // namespace lexivane
