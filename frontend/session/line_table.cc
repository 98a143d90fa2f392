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

LineTable::LineTable(std::span<const std::uint8_t> slots, std::string_view list,
                     std::string_view section, std::string_view section_text)
    : slots_(slots),
      list_(list),
      section_hash_(Hashed(Hashed(kFnvOffset, section), "\n")),
      section_start_(static_cast<std::size_t>(section_text.data() - list.data())),
      section_end_(section_start_ + section_text.size()) {}

std::size_t LineTable::Find(std::string_view key) const {
  const std::size_t slots = slots_.size() / 4;
  if (slots == 0) return std::string_view::npos;
  for (std::size_t slot = Hashed(section_hash_, key) & (slots - 1);;
       slot = (slot + 1) & (slots - 1)) {
    const std::uint8_t* const bytes = slots_.data() + slot * 4;
    const std::uint32_t place =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    if (place == 0) return std::string_view::npos;
    const std::size_t offset = place >> 8;
    const std::size_t length = place & 0xFF;
    // The same entry may stand in another section, at another place.
    if (length == key.size() && offset >= section_start_ && offset + length <= section_end_ &&
        support::EqualsIgnoringAsciiCase(list_.substr(offset, length), key)) {
      return offset - section_start_;
    }
  }
}

}  // namespace lexivane::frontend
