#include "cli/word_verdicts.h"

namespace lexivane::cli {

namespace {

std::uint32_t Hash(std::u16string_view word) {
  std::uint32_t h = 2166136261u;  // FNV-1a over the code units
  for (const char16_t c : word) h = (h ^ c) * 16777619u;
  return h;
}

}  // namespace

WordVerdicts::WordVerdicts(const SpellCheck& engine) : engine_(engine), slots_(1 << 12) {}

bool WordVerdicts::Accepts(std::u16string_view word) {
  // Words too long for a slot are rare enough to judge each time.
  if (word.empty() || word.size() > UINT32_MAX) return engine_.CheckWord(word);
  const std::uint32_t h = Hash(word);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = h & mask;
  for (; slots_[i].length != 0; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.hash == h && slot.length == word.size() &&
        std::u16string_view(words_).substr(slot.start, slot.length) == word)
      return slot.accepted;
  }
  const bool accepted = engine_.CheckWord(word);
  if (used_ < kMaxRemembered) {
    slots_[i] = Slot{h, static_cast<std::uint32_t>(word.size()), words_.size(), accepted};
    words_.append(word);
    if (++used_ * 2 > slots_.size()) Grow();
  }
  return accepted;
}

void WordVerdicts::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.length == 0) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].length != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace lexivane::cli
