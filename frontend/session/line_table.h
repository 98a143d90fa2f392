// Where the lines of an entry of a word list built into the front ends start (the lists of
// sorted_word_list.h, name_words.h), found in a table that data/make_line_tables.py made from
// the list when the program was built: no run pays for indexing a list, and a question costs a
// hash and a probe or two.
//
// The table's slots are 32-bit, little-endian, a power of two of them: 0 for an empty one, or
// the byte offset of an entry's first line in the list's text shifted left by 8 and the
// entry's length. An entry's key is its section's name, a line feed and the entry in small
// letters, hashed with FNV-1a. Read-only; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace lexivane::frontend {

class LineTable {
 public:
  LineTable() = default;  // finds nothing
  // `list`: the whole text the table was made from; `section`: the name of the section asked
  // ("" for a list without sections) and `section_text`, that section's lines, a part of
  // `list`.
  LineTable(std::span<const std::uint8_t> slots, std::string_view list, std::string_view section,
            std::string_view section_text);

  // Where in the section's text the first line of the entry spelt `key` in small letters
  // starts; npos when the section has none.
  std::size_t Find(std::string_view key) const;

 private:
  std::span<const std::uint8_t> slots_;
  std::string_view list_;
  std::uint32_t section_hash_ = 0;  // of the section's name and the line feed, the keys' start
  std::size_t section_start_ = 0;   // where the section's lines are in `list`
  std::size_t section_end_ = 0;
};

}  // namespace lexivane::frontend
