// What the code filters share: how a comment or a string literal is kept as prose, with what
// inside it is still code hidden (escapes and format placeholders, doc-comment tags and blocks,
// code in backticks, identifiers, addresses), and the pieces of a walk over code. Internal to
// the filters of c_family_filter.cc, hash_comment_filter.cc, shell_filter.cc and
// python_filter.cc.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "frontend/modes/code_identifiers.h"
#include "frontend/modes/document_modes.h"
#include "frontend/modes/text_cursor.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend::code_prose {

// What an ASCII character is in a word, looked up once per character by the walks over words.
enum AsciiRole : unsigned char {
  kInWord = 1,    // a letter, a digit or `_`
  kCodeMark = 2,  // a digit or `_`: a word with one is an identifier
  kCapital = 4,
};

inline constexpr std::array<unsigned char, 128> kAsciiRoles = [] {
  std::array<unsigned char, 128> roles{};
  for (char16_t c = u'a'; c <= u'z'; ++c) roles[c] = kInWord;
  for (char16_t c = u'A'; c <= u'Z'; ++c) roles[c] = kInWord | kCapital;
  for (char16_t c = u'0'; c <= u'9'; ++c) roles[c] = kInWord | kCodeMark;
  roles[u'_'] = kInWord | kCodeMark;
  return roles;
}();

// A character of an identifier, or of a word: letters outside ASCII count as such.
inline bool IsIdentifierCharacter(char16_t c) {
  return c < 0x80 ? (kAsciiRoles[c] & kInWord) != 0 : c != kWordJoiner;
}
// The roles of a character of a word (IsIdentifierCharacter) outside ASCII: none but being in it.
inline unsigned char RolesOf(char16_t c) {
  return c < 0x80 ? kAsciiRoles[c] : static_cast<unsigned char>(kInWord);
}

// Whether a backslash at the end of a line joins the next line to it (SplicedLineEnd).
enum class LineSplices { kIgnored, kJoin };

// The end of the line of a position that only moves forward: each line is searched once, so a
// file of one long line with many literals on it stays linear.
class LineEnds {
 public:
  explicit LineEnds(std::u16string_view text, LineSplices splices = LineSplices::kIgnored)
      : text_(text), splices_(splices) {}
  std::size_t Of(std::size_t i) {
    if (i < start_ || i > end_) {
      start_ = i;
      end_ = splices_ == LineSplices::kJoin ? SplicedLineEnd(text_, i) : NextLineFeed(text_, i);
    }
    return end_;
  }

 private:
  std::u16string_view text_;
  LineSplices splices_;
  std::size_t start_ = 1;
  std::size_t end_ = 0;
};

// Code: blanked whole, or but for its identifiers when they are checked.
inline void HideCode(TextCursor text, std::size_t from, std::size_t to, CodeIdentifiers identifiers,
                     CodeLanguage language) {
  if (identifiers == CodeIdentifiers::kChecked) {
    HideCodeButIdentifiers(text.text(), from, to, language);
  } else {
    text.Hide(from, to);
  }
}

// What a doc comment opens and a later line closes, across the lines of one block comment or
// of consecutive line comments: a fence of ``` opens a code example that runs to the next fence,
// a Doxygen block (`@code`, `\verbatim`, `\f[`) runs to its end command, and an HTML element of
// code (`<pre>`, `<code>`, `<tt>`) to its end tag. A comment further on starts afresh.
struct Fence {
  bool open = false;
  std::u16string_view awaited;  // the end command of an open Doxygen block (`endcode`), or none
  int code_elements = 0;        // HTML elements of code open
  std::size_t comment_end = 0;  // where the last comment read ends

  bool Holds() const { return open || !awaited.empty() || code_elements > 0; }
  // Whether a comment at `begin` goes on from the last one: only blanks and one line break lie
  // between them. Each gap is read once, so the walk stays linear.
  bool GoesOnAt(std::u16string_view text, std::size_t begin) const {
    bool line_break = false;
    for (std::size_t i = comment_end; i < begin; ++i) {
      if (text[i] == u'\n' && !line_break) {
        line_break = true;
      } else if (text[i] != u' ' && text[i] != u'\t' && text[i] != u'\r') {
        return false;
      }
    }
    return true;
  }
};

// `code` and ``code`` on one line, backticks included: a string of backticks opens a span that
// the next string of at least as many on the line closes (with as many of its own), and a
// string that none closes is text. A line's strings that are longer than every one after them
// are listed first, from its end: the longest string after any place is the first of them after
// it, so a string that nothing closes is known at once rather than by a search to the line's end.
void HideBackticked(TextCursor text, std::size_t begin, std::size_t end);

// Identifiers in prose: names with `_`, digits or inner capitals, and names that stand in a
// call or a member access (`run()`, `os.path`, `std::move`, `p->next`).
void HideCodeWords(TextCursor text, std::size_t begin, std::size_t end);

// Hides the comment's markers and what inside it is code; `begin` is the marker's start.
void KeepComment(TextCursor text, std::size_t begin, std::size_t end, Fence& fence);

// Whether text[begin, end) holds a blank between two other characters.
bool HasInnerBlank(std::u16string_view text, std::size_t begin, std::size_t end);

// Hides what inside a string literal's content [begin, end) is not prose. `written_spaced`: the
// content held a blank between two other characters before its interpolations or expansions
// were hidden (HasInnerBlank); such a string is a message, never a one-token key, even when
// placeholders leave a single word of it ("%d files", "{} necessary {}", "$n files").
void KeepStringContent(TextCursor text, std::size_t begin, std::size_t end, bool raw,
                       bool written_spaced);

// Hides `${…}` (template literals) or `{…}` (f-strings, `{{` being a brace) in [begin, end).
void HideInterpolations(TextCursor text, std::size_t begin, std::size_t end, bool dollar);

// The end of a quoted literal from `from` (just past its opening quote): just past the
// closing `close`, or `limit` (the end of the line or of the text) when there is none.
// `escapes`: a backslash takes the next character with it.
std::size_t LiteralEnd(std::u16string_view text, std::size_t from, std::u16string_view close,
                       bool escapes, std::size_t limit);

}  // namespace lexivane::frontend::code_prose
