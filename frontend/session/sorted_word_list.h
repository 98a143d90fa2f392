// A word list built into the front ends as a text of sorted lines (support/embed.h), searched in
// place, without an index: the extra word list, the English variants' lists.
//
// Each line is an entry, then optionally a blank and the entry's data (a flagged spelling's
// other spellings). Lines are sorted by the lower-cased entry, then by the entry, in byte order.
// A lower-case entry accepts the word in lower case, Capitalised and in ALL CAPS (`distro`,
// `Distro`, `DISTRO`); an entry with capitals accepts itself and its ALL CAPS form (`GitHub`,
// `GITHUB`, not `github`). Entries are ASCII letters with inner apostrophes; other words are
// never in a list. The possessive of an entry ('s) is held too, as the word check accepts its
// own words' possessives. Any thread.
#pragma once

#include <optional>
#include <string_view>

namespace lexivane::frontend {

class SortedWordList {
 public:
  constexpr explicit SortedWordList(std::string_view text) : text_(text) {}

  // Whether an entry accepts `word` (as CheckWord is asked it), or `word` is the possessive of
  // a word one accepts.
  bool Holds(std::u16string_view word) const;
  // The data of the entry that accepts `word` itself ("" when its line has none), or nullopt
  // when no entry does.
  std::optional<std::string_view> Find(std::u16string_view word) const;

  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
};

}  // namespace lexivane::frontend
