// A word list built into the front ends as a text of sorted lines (support/embed.h), searched in
// place: the extra word list, the English variants' lists, the lists of programming words. A
// binary search finds an entry's lines, or, for a list asked often, a table of them made at build
// time (line_table.h).
//
// Each line is an entry, then optionally a blank and the entry's data (a flagged spelling's
// other spellings). Lines are sorted by the lower-cased entry, then by the entry, in byte order.
// A lower-case entry accepts the word in lower case, Capitalised and in ALL CAPS (`distro`,
// `Distro`, `DISTRO`); an entry with capitals accepts itself and its ALL CAPS form (`GitHub`,
// `GITHUB`, not `github`). Entries are ASCII letters with inner apostrophes; other words are
// never in a list. The possessive of an entry ('s) is held too, as the word check accepts its
// own words' possessives. Any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/session/line_table.h"

namespace lexivane::frontend {

class SortedWordList {
 public:
  // `table`, when given, finds the entries' lines of `text` (line_table.h: a list asked so often
  // that a hash lookup pays over a binary search, code_words.cc), and outlives the list.
  constexpr explicit SortedWordList(std::string_view text, const LineTable* table = nullptr)
      : text_(text), table_(table) {}

  // Whether an entry accepts `word` (as CheckWord is asked it), or `word` is the possessive of
  // a word one accepts.
  bool Holds(std::u16string_view word) const;
  // The same for a word in UTF-8, as the document walk has it.
  bool Holds(std::string_view word) const;
  // The data of the entry that accepts `word` itself ("" when its line has none), or nullopt
  // when no entry does.
  std::optional<std::string_view> Find(std::u16string_view word) const;

  std::string_view text() const { return text_; }

 private:
  // Find for a word of ASCII characters.
  std::optional<std::string_view> FindAscii(std::string_view word) const;

  std::string_view text_;
  const LineTable* table_;
};

}  // namespace lexivane::frontend
