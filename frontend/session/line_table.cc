#include "frontend/session/line_table.h"

#include "support/ascii.h"

namespace lexivane::frontend {
namespace {

constexpr std::uint32_t kFnvOffset = 2166136261u;

std::uint32_t Hashed(std::uint32_t hash, std::string_view bytes) {  // FNV-1a
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

}  // namespace

std::size_t LineTable::Find(std::string_view key) const {
  const std::size_t slots = slots_.size() / 4;
  if (slots == 0) return std::string_view::npos;
  const std::size_t section_start = static_cast<std::size_t>(section_text_.data() - list_.data());
  const std::size_t section_end = section_start + section_text_.size();
  const std::uint32_t hash = Hashed(Hashed(Hashed(kFnvOffset, section_), "\n"), key);
  for (std::size_t slot = hash & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
    const std::uint8_t* const bytes = slots_.data() + slot * 4;
    const std::uint32_t place =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    if (place == 0) return std::string_view::npos;
    const std::size_t offset = place >> 8;
    const std::size_t length = place & 0xFF;
    // The same entry may stand in another section, at another place.
    if (length != key.size() || offset < section_start || offset + length > section_end) continue;
    const std::string_view entry = list_.substr(offset, length);
    bool same = true;
    for (std::size_t i = 0; i < length && same; ++i) same = support::AsciiLower(entry[i]) == key[i];
    if (same) return offset - section_start;
  }
}

}  // namespace lexivane::frontend
