// Identifier parts written as one small-letter run of words (`filedir`, `tilesource`,
// `baseclass`): code runs words together where prose would not, so in the words of identifiers
// such a run is no misspelling. Each of its words must have three letters or more, so that the
// slips prose makes by losing a blank (`alot`, `infact`, `aswell`) are not taken for one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "support/ascii.h"

namespace lexivane::frontend {

inline constexpr std::size_t kShortestCompoundPart = 3;

// Whether `word`, small ASCII letters only, is two or three words that `accepts` takes, each
// of kShortestCompoundPart letters or more.
template <typename Accepts>
bool IsCompoundOfWords(std::string_view word, Accepts&& accepts) {
  constexpr std::size_t kShortest = kShortestCompoundPart;
  if (word.size() < 2 * kShortest ||
      !std::all_of(word.begin(), word.end(), support::IsAsciiLower<char>)) {
    return false;
  }
  for (std::size_t first = kShortest; first + kShortest <= word.size(); ++first) {
    if (!accepts(word.substr(0, first))) continue;
    const std::string_view rest = word.substr(first);
    if (accepts(rest)) return true;
    for (std::size_t second = kShortest; second + kShortest <= rest.size(); ++second) {
      if (accepts(rest.substr(0, second)) && accepts(rest.substr(second))) return true;
    }
  }
  return false;
}

}  // namespace lexivane::frontend
