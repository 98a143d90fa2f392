// The word check's verdicts on the words of running text, each distinct word judged once.
//
// Running text repeats its words (a long English text has a few tens of thousands of distinct
// words among millions), so a lookup among the words already judged saves the word check's
// lower-casing, conversion and lookup in the main list. The table is flat (open addressing over
// one array of slots, the words side by side in one buffer) because a node per word made the
// lookup cost more than the check it saves. It keeps at most kMaxRemembered words, so that a
// text of endless distinct words cannot exhaust memory; later words are judged each time. The
// verdicts hold as long as the dictionaries are not changed. One object per engine and thread,
// like the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/spell_check.h"

namespace lexivane::cli {

class WordVerdicts {
 public:
  static constexpr std::size_t kMaxRemembered = std::size_t{1} << 20;

  explicit WordVerdicts(const SpellCheck& engine);

  // engine.CheckWord(word), the custom dictionary included.
  bool Accepts(std::u16string_view word);

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t length = 0;  // 0: empty
    std::size_t start = 0;     // in words_
    bool accepted = false;
  };

  void Grow();

  const SpellCheck& engine_;
  std::vector<Slot> slots_;  // a power of two, at most half full
  std::size_t used_ = 0;
  std::u16string words_;
};

}  // namespace lexivane::cli
