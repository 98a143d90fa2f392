// TextCursor: what every document filter does to the text it filters, once. A filter reads the
// text by position and changes it only as HideNonProse allows (document_modes.h): it blanks
// code units (LF and CR stay), or puts a character and word joiners where a sequence stands for
// that character, so the text keeps its length and every position stays valid.
//
// The cursor holds a reference to the text, costs a pointer to copy, and every member is inline
// over the text's units, so a filter's hot loops compile as if they indexed the string. Positions
// past the end are allowed wherever a search may run off the text: At gives 0 there, and the
// searches stop at the end. The character classes of ASCII come from support/ascii.h.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "frontend/modes/find_units.h"
#include "frontend/words/running_words.h"
#include "support/ascii.h"

namespace lexivane::frontend {

using support::AsciiSet;
using support::IsAsciiAlnum;
using support::IsAsciiDigit;
using support::IsAsciiHexDigit;
using support::IsAsciiLetter;
using support::IsAsciiLower;
using support::IsAsciiUpper;

inline constexpr std::size_t kNoPosition = std::u16string::npos;

// A space or a tab: what separates words on a line.
constexpr bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}
constexpr bool IsLineBreak(char16_t c) {
  return c == u'\n' || c == u'\r';
}
constexpr bool IsBlankOrLineBreak(char16_t c) {
  return IsBlank(c) || IsLineBreak(c);
}

// The unit at `i` of a text being read, or 0 past its end.
constexpr char16_t UnitAt(std::u16string_view text, std::size_t i) {
  return i < text.size() ? text[i] : 0;
}
// The position of the next line feed from `from`, or the text's end: a line read as code reads
// it, a CR before it included.
inline std::size_t NextLineFeed(std::u16string_view text, std::size_t from) {
  return FindAnyOf(text, from, u'\n');
}
// NextLineFeed, past every line feed that a backslash right before it (or before its CR) splices
// to the next line, as C reads its lines and Python its one-line strings.
inline std::size_t SplicedLineEnd(std::u16string_view text, std::size_t from) {
  std::size_t end = NextLineFeed(text, from);
  while (end < text.size()) {
    const std::size_t last = end > from && text[end - 1] == u'\r' ? end - 1 : end;
    if (last == from || text[last - 1] != u'\\') break;
    end = NextLineFeed(text, end + 1);
  }
  return end;
}

// The end of a run of line comments from the end of its first, `end`: the end of the last of
// the lines after it that hold nothing but blanks before `marker` (a comment block of `#`
// lines is read as one comment, its markers hidden line by line).
inline std::size_t LineCommentsEnd(std::u16string_view text, std::size_t end, char16_t marker) {
  while (end < text.size()) {
    std::size_t next = end + 1;
    while (next < text.size() && (text[next] == u' ' || text[next] == u'\t')) ++next;
    if (next == text.size() || text[next] != marker) break;
    end = NextLineFeed(text, next);
  }
  return end;
}

class TextCursor {
 public:
  explicit TextCursor(std::u16string& text) : text_(&text) {}

  std::u16string& text() const { return *text_; }
  std::u16string_view view() const { return *text_; }
  operator std::u16string_view() const { return *text_; }  // NOLINT: read as the text it is
  std::size_t size() const { return text_->size(); }
  char16_t operator[](std::size_t i) const { return (*text_)[i]; }
  // The unit at `i`, or 0 past the end.
  char16_t At(std::size_t i) const { return UnitAt(*text_, i); }
  // Read as a string view, as the searches of the standard library read it.
  const char16_t* data() const { return text_->data(); }
  std::u16string_view substr(std::size_t at, std::size_t length = kNoPosition) const {
    return view().substr(at, length);
  }
  int compare(std::size_t at, std::size_t length, std::u16string_view other) const {
    return view().compare(at, length, other);
  }

  // Blanks [from, to) (up to the text's end), LF and CR excepted.
  void Hide(std::size_t from, std::size_t to) const {
    // Every unit written, line breaks with themselves: a loop without branches, which
    // compilers vectorise.
    char16_t* const units = text_->data();
    for (std::size_t i = from, end = std::min(to, text_->size()); i < end; ++i) {
      const char16_t c = units[i];
      units[i] = c == u'\n' || c == u'\r' ? c : u' ';
    }
  }
  // [from, to) stands for `character`: it becomes that character, then word joiners.
  void Decode(std::size_t from, std::size_t to, char16_t character) const {
    (*text_)[from] = character;
    Fill(from + 1, to, kWordJoiner);
  }
  // [from, to) becomes `unit` throughout (word joiners for a sequence that stands for nothing).
  void Fill(std::size_t from, std::size_t to, char16_t unit) const {
    std::fill(text_->begin() + from, text_->begin() + to, unit);
  }
  void Put(std::size_t at, char16_t unit) const { (*text_)[at] = unit; }

  // Whether [at, end) starts with `needle`.
  bool StartsWith(std::size_t at, std::size_t end, std::u16string_view needle) const {
    return end - at >= needle.size() && view().substr(at, needle.size()) == needle;
  }
  // Whether [at, end) starts with `ascii` with the case of ASCII letters ignored.
  bool StartsWithNoCase(std::size_t at, std::size_t end, std::string_view ascii) const {
    return end - at >= ascii.size() &&
           support::EqualsIgnoringAsciiCase(view().substr(at, ascii.size()), ascii);
  }
  // Where `needle` first stands in [from, end), or kNoPosition.
  std::size_t Find(std::u16string_view needle, std::size_t from, std::size_t end) const {
    return view().substr(0, end).find(needle, from);
  }
  // The first position in [from, end) holding one of `units` (FindAnyOf), or `end`.
  template <typename... Units>
  std::size_t FindAnyOf(std::size_t from, std::size_t end, Units... units) const {
    return frontend::FindAnyOf(view().substr(0, end), from, units...);
  }
  // The position of the line feed that ends the line of `from`, or the text's end.
  std::size_t LineEnd(std::size_t from) const { return NextLineFeed(*text_, from); }
  // Where the spaces and tabs from `from` end, at `end` at the latest.
  std::size_t SkipBlanks(std::size_t from, std::size_t end) const {
    while (from < end && IsBlank((*text_)[from])) ++from;
    return from;
  }

 private:
  std::u16string* text_;
};

}  // namespace lexivane::frontend
