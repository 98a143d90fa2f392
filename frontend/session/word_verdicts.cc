#include "frontend/session/word_verdicts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

#include "lexivane/utf8.h"
#include "support/word_bytes.h"

namespace lexivane::frontend {

namespace {

// Small, so that a short text touches few pages: the hash spreads even a few hundred words
// over every page of the table, and each page is a fault the first time. Growing by doubling
// costs a long text less than those faults cost a short one, and a caller that knows a text's
// length reserves its room at once.
constexpr std::size_t kFirstCapacity = std::size_t{1} << 10;

}  // namespace

template <typename Char>
void BasicWordVerdicts<Char>::FreeSlots::operator()(Slot* slots) const {
  std::free(slots);
}

template <typename Char>
typename BasicWordVerdicts<Char>::Slots BasicWordVerdicts<Char>::NewSlots(std::size_t count) {
  void* memory = std::calloc(count, sizeof(Slot));
  if (memory == nullptr) throw std::bad_alloc();
  return Slots(static_cast<Slot*>(memory));
}

template <typename Char>
BasicWordVerdicts<Char>::BasicWordVerdicts(const SpellCheck& engine)
    : BasicWordVerdicts([&engine](std::u16string_view word) { return engine.CheckWord(word); }) {}

template <typename Char>
BasicWordVerdicts<Char>::BasicWordVerdicts(Judge judge)
    : judge_(std::move(judge)), slots_(NewSlots(kFirstCapacity)), capacity_(kFirstCapacity) {}

template <typename Char>
void BasicWordVerdicts<Char>::Forget() {
  slots_ = NewSlots(kFirstCapacity);
  capacity_ = kFirstCapacity;
  used_ = 0;
  words_.clear();
}

template <typename Char>
bool BasicWordVerdicts<Char>::Check(std::basic_string_view<Char> word) const {
  if constexpr (std::is_same_v<Char, char>) {
    // A word of ASCII, most, is widened on the stack: the judge is asked about every distinct
    // word of a text, and a string of its own would be allocated for most.
    char16_t ascii[kLongestRemembered];
    if (word.size() <= kLongestRemembered && std::all_of(word.begin(), word.end(), [](char c) {
          return static_cast<unsigned char>(c) < 0x80;
        })) {
      std::copy(word.begin(), word.end(), ascii);
      return judge_(std::u16string_view(ascii, word.size()));
    }
    return judge_(FromUtf8(word));
  } else {
    return judge_(word);
  }
}

template <typename Char>
bool BasicWordVerdicts<Char>::Accepts(std::basic_string_view<Char> word, Place place) {
  if (word.empty() || word.size() > kLongestRemembered) return Check(word);
  const auto* bytes = reinterpret_cast<const unsigned char*>(word.data());
  const std::size_t byte_count = word.size() * sizeof(Char);
  const bool is_short = byte_count <= 8;
  const std::uint64_t key = place.key;
  const std::uint32_t h = place.hash;
  const auto length = static_cast<std::uint32_t>(word.size());
  const std::size_t mask = capacity_ - 1;
  std::size_t i = h & mask;
  for (; slots_[i].length_and_verdict != 0; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.hash != h || (slot.length_and_verdict & ~kAccepted) != length) continue;
    if (is_short ? slot.key == key
                 : support::EqualBytes(words_.data() + slot.key, bytes, byte_count)) {
      return (slot.length_and_verdict & kAccepted) != 0;
    }
  }
  const bool accepted = Check(word);
  if (used_ < kMaxRemembered) {
    slots_[i] = Slot{h, length | (accepted ? kAccepted : 0), is_short ? key : words_.size()};
    if (!is_short) words_.append(word);
    // Three quarters full at most (Reserve keeps to it too): a text's words then take half
    // the memory they take at half full (fewer pages touched, more of the table in the cache),
    // and a probe rarely leaves the slot's cache line, since most probes are for words already
    // there.
    if (++used_ * 4 > capacity_ * 3) Grow();
  }
  return accepted;
}

template <typename Char>
void BasicWordVerdicts<Char>::Reserve(std::size_t words) {
  const std::size_t kept = std::min(used_ + words, kMaxRemembered);
  std::size_t capacity = capacity_;
  while (kept * 4 > capacity * 3) capacity *= 2;
  if (capacity > capacity_) Rehash(capacity);
}

template <typename Char>
void BasicWordVerdicts<Char>::Rehash(std::size_t capacity) {
  Slots old = NewSlots(capacity);
  old.swap(slots_);
  const std::size_t old_capacity = capacity_;
  capacity_ = capacity;
  const std::size_t mask = capacity_ - 1;
  for (std::size_t j = 0; j < old_capacity; ++j) {
    const Slot& slot = old[j];
    if (slot.length_and_verdict == 0) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].length_and_verdict != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

std::size_t DistinctWordsToExpect(std::size_t bytes) {
  constexpr double kPerRootOfWords = 30;
  constexpr double kBytesPerWord = 6;
  constexpr double kMost = 65'536;
  return static_cast<std::size_t>(
      std::min(kMost, kPerRootOfWords * std::sqrt(static_cast<double>(bytes) / kBytesPerWord)));
}

template class BasicWordVerdicts<char16_t>;
template class BasicWordVerdicts<char>;

}  // namespace lexivane::frontend
