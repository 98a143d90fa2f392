// The word check's verdicts on the words of running text, each distinct word judged once.
//
// Running text repeats its words (a long English text has a few tens of thousands of distinct
// words among millions), so a lookup among the words already judged saves the word check's
// lower-casing, conversion and lookup in the main list. The table is flat (open addressing over
// one array of slots, short words in their slots, longer ones side by side in one buffer)
// because a node per word made the lookup cost more than the check it saves. It keeps at most
// kMaxRemembered words of at most kLongestRemembered code units, so that a text of endless
// distinct words, or of endless long tokens, cannot exhaust memory; other words are judged each
// time. The verdicts hold until Forget, which a caller whose judge changes (a
// word added to the dictionaries) must call. One object per engine and thread, like the engine.
//
// WordVerdicts is keyed by the word in UTF-16, as the engine takes it; Utf8WordVerdicts by its
// UTF-8 bytes, for text read as bytes, and widens only a word it has not judged yet. Its words
// must be valid UTF-8 (what ToUtf8 makes of text without unpaired surrogates), so that the
// widened word is the one meant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "lexivane/spell_check.h"
#include "support/word_bytes.h"

namespace lexivane::frontend {

template <typename Char>
class BasicWordVerdicts {
 public:
  static constexpr std::size_t kMaxRemembered = std::size_t{1} << 20;
  // No word of a language comes near this length; a longer token is garbage or data, met once.
  static constexpr std::size_t kLongestRemembered = 64;

  // What a word not judged yet is asked: engine.CheckWord, or that and a front end's own words.
  using Judge = std::function<bool(std::u16string_view word)>;

  explicit BasicWordVerdicts(const SpellCheck& engine);
  explicit BasicWordVerdicts(Judge judge);

  // Where a word is to be looked for. Finding the slot mostly waits for memory, so a caller
  // with many words at hand can Find several first (which starts fetching their slots) and
  // then ask Accepts for each, the waits overlapping.
  struct Place {
    std::uint64_t key;
    std::uint32_t hash;
  };
  Place Find(std::basic_string_view<Char> word) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
    const std::size_t byte_count = word.size() * sizeof(Char);
    Place place{0, 0};
    if (byte_count > 8) {
      place.hash = static_cast<std::uint32_t>(support::LongHash(bytes, byte_count));
    } else if (byte_count > 0) {
      place.key = support::ShortKey(bytes, byte_count);
      place.hash = static_cast<std::uint32_t>(support::ShortHash(place.key, byte_count));
    }
    __builtin_prefetch(&slots_[place.hash & (capacity_ - 1)]);
    return place;
  }

  // The judge's verdict on the word (engine.CheckWord(word), the custom dictionary included).
  // `place` is Find(word), computed after the last Forget.
  bool Accepts(std::basic_string_view<Char> word, Place place);
  bool Accepts(std::basic_string_view<Char> word) { return Accepts(word, Find(word)); }

  // Makes room for `words` words more than the table holds, so that a caller about to walk a
  // long text spares the table its growth a step at a time. At most kMaxRemembered are kept
  // whatever is reserved.
  void Reserve(std::size_t words);

  // Drops every verdict: the judge would answer otherwise now.
  void Forget();

 private:
  static constexpr std::uint32_t kAccepted = std::uint32_t{1} << 31;

  // 16 bytes, so that four share a cache line. A word of at most 8 bytes is held in the slot
  // itself (most words of a text are that short), so that finding it reads one cache line and
  // not two.
  struct Slot {
    std::uint32_t hash;
    std::uint32_t length_and_verdict;  // the length in Char | kAccepted; 0: empty
    std::uint64_t key;                 // ShortKey of a short word, the start in words_ of another
  };
  struct FreeSlots {
    void operator()(Slot* slots) const;
  };
  using Slots = std::unique_ptr<Slot[], FreeSlots>;

  // Zeroed (empty) slots from calloc, whose pages the system maps as they are first touched.
  static Slots NewSlots(std::size_t count);
  bool Check(std::basic_string_view<Char> word) const;
  void Grow() { Rehash(capacity_ * 2); }
  void Rehash(std::size_t capacity);

  Judge judge_;
  Slots slots_;
  std::size_t capacity_;  // a power of two, at most three quarters full
  std::size_t used_ = 0;
  std::basic_string<Char> words_;  // the words longer than 8 bytes, side by side
};

// About how many distinct words a text of `bytes` bytes holds, guessed low for prose (some 30
// times the square root of its words, a word and what follows it about six bytes: 31,000 for
// big.txt's 6.5 MB, which hold 37,700) and at most 65,536, for Reserve.
std::size_t DistinctWordsToExpect(std::size_t bytes);

using WordVerdicts = BasicWordVerdicts<char16_t>;
using Utf8WordVerdicts = BasicWordVerdicts<char>;

extern template class BasicWordVerdicts<char16_t>;
extern template class BasicWordVerdicts<char>;

}  // namespace lexivane::frontend
