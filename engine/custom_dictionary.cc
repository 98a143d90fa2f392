#include "engine/custom_dictionary.h"

#include <functional>
#include <stdexcept>

#include "platform/files.h"
#include "platform/text.h"

namespace lexivane {

namespace {

constexpr std::size_t kMostEntries = 0xFFFFFFFEu;  // positions plus one fit in a slot

std::uint32_t HashOf(const std::u16string& lowered) {
  return static_cast<std::uint32_t>(std::hash<std::u16string>{}(lowered));
}

// The index's length for `entries` distinct forms: a power of two at most 70% full.
std::size_t IndexLengthFor(std::size_t entries) {
  std::size_t length = 16;
  while (entries * 10 > length * 7) length *= 2;
  return length;
}

void CheckCount(std::size_t entries) {
  if (entries > kMostEntries) throw std::length_error("too many custom dictionary entries");
}

}  // namespace

std::size_t CustomDictionary::SlotFor(const std::u16string& lowered, std::uint32_t hash) const {
  const std::size_t mask = index_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = index_[at];
    if (slot.entry == 0 ||
        (slot.hash == hash && platform::ToLower(words_[slot.entry - 1]) == lowered)) {
      return at;
    }
  }
}

void CustomDictionary::Index(std::size_t position, const std::u16string& lowered) {
  if (IndexLengthFor(indexed_ + 1) > index_.size()) {
    std::vector<Slot> old(IndexLengthFor(indexed_ + 1));
    old.swap(index_);
    const std::size_t mask = index_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.entry == 0) continue;
      std::size_t at = slot.hash & mask;
      while (index_[at].entry != 0) at = (at + 1) & mask;
      index_[at] = slot;
    }
  }
  const std::uint32_t hash = HashOf(lowered);
  Slot& slot = index_[SlotFor(lowered, hash)];
  if (slot.entry != 0) return;  // an earlier entry has this form
  slot = {hash, static_cast<std::uint32_t>(position + 1)};
  ++indexed_;
}

void CustomDictionary::Add(std::u16string_view word) {
  CheckCount(words_.size() + 1);
  words_.emplace_back(word);
  entry_lengths_.insert(word.size());
  Index(words_.size() - 1, platform::ToLower(word));
}

bool CustomDictionary::Contains(std::u16string_view word) const {
  if (indexed_ == 0) return false;
  const std::u16string lowered = platform::ToLower(word);
  return index_[SlotFor(lowered, HashOf(lowered))].entry != 0;
}

void CustomDictionary::Save(std::u16string_view path) const {
  std::string content;
  for (const std::u16string& word : words_) {
    content += platform::ToSingleByte(word);
    content += "\r\n";
  }
  platform::WriteFileBytes(path, content);
}

void CustomDictionary::Load(std::u16string_view path) {
  const std::vector<std::uint8_t> bytes = platform::ReadFileBytes(path);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  std::vector<std::u16string> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\r', begin);
    if (end == std::string_view::npos) end = text.size();
    if (end - begin >= 2)
      lines.push_back(platform::FromSingleByte(text.substr(begin, end - begin)));
    begin = end + 1;
    if (begin < text.size() && text[begin] == '\n') ++begin;
  }
  if (lines.empty()) return;
  CheckCount(lines.size());

  words_ = std::move(lines);
  // Sized once for every entry, so that loading never moves the index.
  index_.assign(IndexLengthFor(words_.size()), Slot{});
  indexed_ = 0;
  entry_lengths_.clear();
  for (std::size_t i = 0; i < words_.size(); ++i) {
    entry_lengths_.insert(words_[i].size());
    Index(i, platform::ToLower(words_[i]));
  }
}

}  // namespace lexivane
