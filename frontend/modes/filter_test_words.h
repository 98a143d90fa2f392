// For the filters' tests: the words the running-word rule finds in a text, space-separated.
#pragma once

#include <string>
#include <string_view>

#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {

inline std::string JoinedRunningWords(std::u16string_view text) {
  std::string words;
  ForEachRunningWord(text, [&](const RunningWord& word) {
    if (!words.empty()) words += ' ';
    words += ToUtf8(word.word);
  });
  return words;
}

}  // namespace lexivane::frontend
