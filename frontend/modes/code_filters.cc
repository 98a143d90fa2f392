// The filters of source code: only comments and string literals are prose, and inside them
// what is still code (escapes, format placeholders, doc-comment tags, code in backticks,
// identifiers, addresses) is hidden too.
//
// Each filter is one walk over the text that finds where comments and literals begin and end
// as the language's own scanner would, and hides the code between them. Nothing ever goes back
// further than the start of the token being read, so the walk is linear. A comment or string
// that is never closed runs to the end of the text (block comments, multi-line strings) or of
// the line (one-line strings), as a compiler reads it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/modes/code_identifiers.h"
#include "frontend/modes/find_units.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend {

namespace {

constexpr std::size_t kNone = std::u16string::npos;

using filter::Hide;
using filter::IsAsciiDigit;
using filter::IsAsciiLetter;

bool IsUpper(char16_t c) {
  return c >= u'A' && c <= u'Z';
}
bool IsLower(char16_t c) {
  return c >= u'a' && c <= u'z';
}
bool IsHexDigit(char16_t c) {
  return IsAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
// What an ASCII character is in a word, looked up once per character by the walks over words.
enum AsciiRole : unsigned char {
  kInWord = 1,    // a letter, a digit or `_`
  kCodeMark = 2,  // a digit or `_`: a word with one is an identifier
  kCapital = 4,
};

constexpr std::array<unsigned char, 128> kAsciiRoles = [] {
  std::array<unsigned char, 128> roles{};
  for (char16_t c = u'a'; c <= u'z'; ++c) roles[c] = kInWord;
  for (char16_t c = u'A'; c <= u'Z'; ++c) roles[c] = kInWord | kCapital;
  for (char16_t c = u'0'; c <= u'9'; ++c) roles[c] = kInWord | kCodeMark;
  roles[u'_'] = kInWord | kCodeMark;
  return roles;
}();

// A character of an identifier, or of a word: letters outside ASCII count as such.
bool IsWordCharacter(char16_t c) {
  return c < 0x80 ? (kAsciiRoles[c] & kInWord) != 0 : c != kWordJoiner;
}
// The roles of a character of a word (IsWordCharacter) outside ASCII: none but being in it.
unsigned char RolesOf(char16_t c) {
  return c < 0x80 ? kAsciiRoles[c] : static_cast<unsigned char>(kInWord);
}
bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

std::size_t LineEnd(std::u16string_view text, std::size_t from) {
  return FindAnyOf(text, from, u'\n');
}

// The end of the line of a position that only moves forward: each line is searched once, so a
// file of one long line with many literals on it stays linear.
class LineEnds {
 public:
  explicit LineEnds(std::u16string_view text) : text_(text) {}
  std::size_t Of(std::size_t i) {
    if (i < start_ || i > end_) {
      start_ = i;
      end_ = LineEnd(text_, i);
    }
    return end_;
  }

 private:
  std::u16string_view text_;
  std::size_t start_ = 1;
  std::size_t end_ = 0;
};

char16_t At(std::u16string_view text, std::size_t i) {
  return i < text.size() ? text[i] : 0;
}

// Code: blanked whole, or but for its identifiers when they are checked.
void HideCode(std::u16string& text, std::size_t from, std::size_t to, CodeIdentifiers identifiers,
              CodeLanguage language) {
  if (identifiers == CodeIdentifiers::kChecked) {
    HideCodeButIdentifiers(text, from, to, language);
  } else {
    Hide(text, from, to);
  }
}

// ---- What is code inside prose ----

// `code` and ``code`` on one line, backticks included: a string of backticks opens a span that
// the next string of at least as many on the line closes (with as many of its own), and a
// string that none closes is text. A line's strings that are longer than every one after them
// are listed first, from its end: the longest string after any place is the first of them after
// it, so a string that nothing closes is known at once rather than by a search to the line's end.
void HideBackticked(std::u16string& text, std::size_t begin, std::size_t end) {
  const std::u16string_view part(text.data(), end);
  struct Backticks {
    std::size_t start;
    std::size_t length;
  };
  std::vector<Backticks> longer;  // from the line's end back, so each longer than the one before
  for (std::size_t line = FindAnyOf(part, begin, u'`'); line < end;) {
    const std::size_t line_end = LineEnd(part, line);
    longer.clear();
    for (std::size_t i = line_end; i > line;) {
      if (text[i - 1] != u'`') {
        --i;
        continue;
      }
      const std::size_t run_end = i;
      while (i > line && text[i - 1] == u'`') --i;
      if (longer.empty() || run_end - i > longer.back().length) longer.push_back({i, run_end - i});
    }
    std::size_t after_count = longer.size();  // how many of them start after the opening string
    for (std::size_t i = line; i < line_end; i = FindAnyOf(part, i, u'`')) {
      std::size_t after = i;
      while (after < line_end && text[after] == u'`') ++after;
      const std::size_t ticks = after - i;
      while (after_count > 0 && longer[after_count - 1].start < after) --after_count;
      if (after_count == 0 || longer[after_count - 1].length < ticks) {
        i = after;
        continue;
      }
      std::size_t close = after;  // the first string of at least as many, which is there
      for (;;) {
        close = FindAnyOf(part, close, u'`');
        std::size_t run_end = close;
        while (run_end < line_end && text[run_end] == u'`') ++run_end;
        if (run_end - close >= ticks) break;
        close = run_end;
      }
      Hide(text, i, close + ticks);
      i = close + ticks;
    }
    line = FindAnyOf(part, line_end, u'`');
  }
}

bool IsCamelCase(std::u16string_view word) {
  for (std::size_t i = 1; i < word.size(); ++i) {
    if (IsLower(word[i - 1]) && IsUpper(word[i])) return true;  // getValue, HashMap
    if (i >= 2 && i + 1 < word.size() && IsUpper(word[i - 1]) && IsUpper(word[i]) &&
        IsLower(word[i + 1]) && IsLower(word[i + 2 < word.size() ? i + 2 : i + 1])) {
      return true;  // HTTPServer, but not URLs
    }
  }
  return false;
}

// Identifiers in prose: names with `_`, digits or inner capitals, and names that stand in a
// call or a member access (`run()`, `os.path`, `std::move`, `p->next`).
void HideCodeWords(std::u16string& text, std::size_t begin, std::size_t end) {
  const std::u16string_view part(text.data(), end);
  std::size_t i = begin;
  std::size_t marks_end = begin;  // the walk reads word by word up to here
  while (i < end) {
    if (i >= marks_end) {
      // A word is code only with one of these in it, right before it or right after it, so up
      // to the next one the walk would hide none. It goes on from the start of the word that
      // holds or precedes it, where it would have stood too. A capital that starts a word is
      // none: it makes no camelCase.
      const auto in_word = [&](std::size_t k) {
        return k > begin && (IsWordCharacter(part[k - 1]) || part[k - 1] == u'\'');
      };
      const auto next_mark = [&](std::size_t from) {
        return FindAnyOf(part, from, UnitRange{u'0', u'9'}, UnitRange{u'A', u'Z'}, u'_', u'(', u'.',
                         u':', u'-', u'>');
      };
      std::size_t mark = next_mark(i > begin ? i - 1 : i);
      while (mark < end && IsUpper(part[mark]) && !in_word(mark)) mark = next_mark(mark + 1);
      if (mark == end) break;
      std::size_t from = mark;
      while (from > i && in_word(from)) --from;
      i = std::max(i, from);
      marks_end = mark + 2;
    }
    if (!IsWordCharacter(text[i])) {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    unsigned char roles = RolesOf(text[i]) & kCodeMark;  // a capital first is no camelCase
    while (j < end && (IsWordCharacter(text[j]) ||
                       (text[j] == u'\'' && j + 1 < end && IsWordCharacter(text[j + 1])))) {
      roles |= RolesOf(text[j]);
      ++j;
    }
    bool code = (roles & kCodeMark) != 0;
    const bool inner_capital = (roles & kCapital) != 0;
    const std::u16string_view word = std::u16string_view(text).substr(i, j - i);
    const std::u16string_view after =
        std::u16string_view(text).substr(j, std::min<std::size_t>(3, end - j));
    const char16_t before1 = i > begin ? text[i - 1] : 0;
    const char16_t before2 = i > begin + 1 ? text[i - 2] : 0;
    code = code || (inner_capital && IsCamelCase(word));
    code = code || (after.size() >= 2 && after[0] == u'(' &&
                    (after[1] == u')' || (after[1] != u's' && after.substr(0, 3) != u"(es")));
    code = code || (after.size() >= 2 && after[0] == u'.' && IsWordCharacter(after[1]) &&
                    !(word.size() == 1 && after.size() == 3 && after[2] == u'.'));  // not e.g.
    code = code || (before1 == u'.' && IsWordCharacter(before2) && word.size() > 1);
    code = code || after.substr(0, 2) == u"::" || after.substr(0, 2) == u"->" ||
           (before1 == u':' && before2 == u':') || (before1 == u'>' && before2 == u'-');
    if (code) Hide(text, i, j);
    i = j;
  }
}

// `@param name`, `\brief`, `{@link Name}`: the tags of doc comments, and the name a tag names.
void HideDocTags(std::u16string& text, std::size_t begin, std::size_t end) {
  static constexpr std::u16string_view kNaming[] = {
      u"param",    u"tparam",   u"throws",  u"throw",     u"exception",  u"see",     u"link",
      u"ref",      u"p",        u"c",       u"a",         u"b",          u"e",       u"em",
      u"sa",       u"class",    u"struct",  u"fn",        u"var",        u"def",     u"file",
      u"retval",   u"copydoc",  u"ingroup", u"defgroup",  u"addtogroup", u"typedef", u"property",
      u"callback", u"template", u"module",  u"namespace", u"enum",       u"type"};
  const std::u16string_view part(text.data(), end);
  // The first `}` or line break from where it was last sought: the same for every `{@` before
  // it, so that a line of them with no `}` is searched once.
  std::size_t link_stop = begin;
  for (std::size_t i = FindAnyOf(part, begin, u'@', u'\\'); i < end;
       i = FindAnyOf(part, i + 1, u'@', u'\\')) {
    if (!IsAsciiLetter(At(text, i + 1)) || (i > begin && IsWordCharacter(text[i - 1]))) {
      continue;
    }
    std::size_t j = i + 1;
    while (j < end && IsAsciiLetter(text[j])) ++j;
    const std::u16string_view tag = std::u16string_view(text).substr(i + 1, j - i - 1);
    if (i > begin && text[i - 1] == u'{') {  // {@link Foo}
      if (link_stop < j) link_stop = FindAnyOf(part, j, u'}', u'\n');
      if (link_stop < end && text[link_stop] == u'}') {
        Hide(text, i - 1, link_stop + 1);
        i = link_stop;
        continue;
      }
    }
    bool naming = false;
    for (std::u16string_view name : kNaming) naming = naming || tag == name;
    if (naming) {
      if (At(text, j) == u'[') {  // \param[in]
        while (j < end && text[j] != u']' && text[j] != u'\n') ++j;
        if (j < end) ++j;
      }
      std::size_t k = j;
      while (k < end && (text[k] == u' ' || text[k] == u'\t')) ++k;
      if (k < end && text[k] == u'{') {  // @param {Type} name
        while (k < end && text[k] != u'}' && text[k] != u'\n') ++k;
        if (k < end && text[k] == u'}') ++k;
        while (k < end && (text[k] == u' ' || text[k] == u'\t')) ++k;
      }
      while (k < end && !IsBlank(text[k])) ++k;
      j = k;
    }
    Hide(text, i, j);
    i = j - 1;
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

// Doxygen's commands that open a block of code, a diagram or a formula, and the command that
// ends each; either is written after `@` or `\`.
struct DocBlock {
  std::u16string_view open;
  std::u16string_view close;
};
constexpr DocBlock kDocBlocks[] = {
    {u"code", u"endcode"},
    {u"verbatim", u"endverbatim"},
    {u"dot", u"enddot"},
    {u"msc", u"endmsc"},
    {u"startuml", u"enduml"},
    {u"latexonly", u"endlatexonly"},
    {u"htmlonly", u"endhtmlonly"},
    {u"xmlonly", u"endxmlonly"},
    {u"f$", u"f$"},
    {u"f[", u"f]"},
    {u"f{", u"f}"},
    {u"f(", u"f)"},
};

// Just past the first end command `name` (after `@` or `\`) in [from, end), or kNone.
std::size_t DocCommandEnd(std::u16string_view text, std::size_t from, std::size_t end,
                          std::u16string_view name) {
  const std::u16string_view part = text.substr(0, end);
  for (std::size_t found = part.find(name, from); found != kNone;
       found = part.find(name, found + 1)) {
    const bool letters_end =
        !IsAsciiLetter(name.back()) || !IsAsciiLetter(At(part, found + name.size()));
    if (found > from && (text[found - 1] == u'@' || text[found - 1] == u'\\') && letters_end) {
      return found + name.size();
    }
  }
  return kNone;
}

// The end of the HTML tag at text[at] == '<' (`<li>`, `</p>`, `<a href="x">`), or kNone. A tag
// stays on its line; the scan stops at the next `<`, so no character is read twice.
std::size_t HtmlTagEnd(std::u16string_view text, std::size_t at, std::size_t end,
                       std::u16string_view& name) {
  std::size_t i = at + 1 + (At(text, at + 1) == u'/' ? 1 : 0);
  const std::size_t name_begin = i;
  while (i < end && (IsAsciiLetter(text[i]) || (i > name_begin && IsAsciiDigit(text[i])))) ++i;
  if (i == name_begin) return kNone;
  name = text.substr(name_begin, i - name_begin);
  for (char16_t quote = 0; i < end && text[i] != u'\n' && text[i] != u'<'; ++i) {
    if (quote != 0) {
      if (text[i] == quote) quote = 0;
    } else if (text[i] == u'"' || text[i] == u'\'') {
      quote = text[i];
    } else if (text[i] == u'>') {
      return i + 1;
    }
  }
  return kNone;
}

bool IsHtmlCodeElement(std::u16string_view name) {
  for (std::u16string_view code : {u"code", u"pre", u"tt", u"kbd", u"samp", u"var"}) {
    if (name.size() == code.size() &&
        std::equal(name.begin(), name.end(), code.begin(),
                   [](char16_t a, char16_t b) { return (a | 0x20) == b; })) {
      return true;
    }
  }
  return false;
}

// The markup of doc comments in [begin, end): Doxygen's blocks of code and formulas
// (`@code`…`@endcode`, `\f$`…`\f$`), HTML tags (`<ul>`, `</p>`) with the text of elements of
// code (`<pre>`, `<tt>`), and character references (`&lt;`).
void HideDocMarkup(std::u16string& text, std::size_t begin, std::size_t end, Fence& fence) {
  const std::u16string_view part(text.data(), end);
  std::size_t i = begin;
  while (i < end) {
    if (!fence.awaited.empty()) {
      const std::size_t close = DocCommandEnd(text, i, end, fence.awaited);
      if (close == kNone) return Hide(text, i, end);
      Hide(text, i, close);
      fence.awaited = {};
      i = close;
      continue;
    }
    const std::size_t next = fence.code_elements > 0 ? FindAnyOf(part, i, u'<')
                                                     : FindAnyOf(part, i, u'@', u'\\', u'<', u'&');
    if (fence.code_elements > 0) Hide(text, i, next);
    if (next == end) return;
    i = next;
    const char16_t c = text[i];
    if (c == u'<') {
      std::u16string_view name;
      const std::size_t tag_end = HtmlTagEnd(text, i, end, name);
      if (tag_end == kNone) {
        if (fence.code_elements > 0) Hide(text, i, i + 1);
        ++i;
        continue;
      }
      if (IsHtmlCodeElement(name) && text[tag_end - 2] != u'/') {
        fence.code_elements =
            text[i + 1] == u'/' ? std::max(fence.code_elements - 1, 0) : fence.code_elements + 1;
      }
      Hide(text, i, tag_end);
      i = tag_end;
    } else if (c == u'&') {  // &lt; &amp; &#8212;
      std::size_t j = i + 1;
      while (j < end && j < i + 32 && (filter::IsAsciiAlnum(text[j]) || text[j] == u'#')) ++j;
      if (j < end && text[j] == u';' && j > i + 1) {
        Hide(text, i, j + 1);
        i = j;
      }
      ++i;
    } else if (i > begin && IsWordCharacter(text[i - 1])) {  // user@example.org, a\b
      ++i;
    } else {
      std::size_t j = i + 1;
      while (j < end && IsAsciiLetter(text[j])) ++j;
      if (j == i + 2 && text[i + 1] == u'f' && j < end) ++j;  // \f$, \f[
      const std::u16string_view command = part.substr(i + 1, j - i - 1);
      const DocBlock* block = nullptr;
      for (const DocBlock& known : kDocBlocks) {
        if (known.open == command) block = &known;
      }
      if (block == nullptr) {
        i = j;
        continue;
      }
      Hide(text, i, j);
      fence.awaited = block->close;
      i = j;
    }
  }
}

// Hides the comment's markers and what inside it is code; `begin` is the marker's start.
void KeepComment(std::u16string& text, std::size_t begin, std::size_t end, Fence& fence) {
  if (fence.Holds() && !fence.GoesOnAt(text, begin)) fence = Fence{};
  fence.comment_end = end;
  // Decoration: the markers (`//`, `/*`, `#`) and the `*` and `!` of doc-comment lines.
  const std::u16string_view comment(text.data(), end);
  std::size_t line = begin;
  while (line < end) {
    const std::size_t line_end = LineEnd(comment, line);
    std::size_t content = line;
    while (content < line_end &&
           (text[content] == u' ' || text[content] == u'\t' || text[content] == u'/' ||
            text[content] == u'*' || text[content] == u'!' || text[content] == u'#')) {
      ++content;
    }
    if (std::u16string_view(text).substr(content, 3) == u"```") {
      fence.open = !fence.open;
      Hide(text, line, line_end);
    } else if (fence.open) {
      Hide(text, line, line_end);
    } else {
      Hide(text, line, content);
    }
    line = line_end + 1;
  }
  HideDocMarkup(text, begin, end, fence);
  HideUrls(text, begin, end);
  HideDocTags(text, begin, end);
  HideBackticked(text, begin, end);
  HideCodeWords(text, begin, end);
}

// Escapes (`\n`, `\x41`, `\u{1F600}`) and format placeholders (`%-8.3lf`, `%(name)s`, `{0}`,
// `{:>8}`, `{name}`) in a string literal's content.
void HideEscapesAndPlaceholders(std::u16string& text, std::size_t begin, std::size_t end,
                                bool raw) {
  const std::u16string_view part(text.data(), end);
  for (std::size_t i = FindAnyOf(part, begin, u'\\', u'%', u'{'); i < end;
       i = FindAnyOf(part, i + 1, u'\\', u'%', u'{')) {
    const char16_t c = text[i];
    if (c == u'\\' && !raw && i + 1 < end) {
      std::size_t j = i + 2;
      const char16_t kind = text[i + 1];
      if (kind == u'x') {
        while (j < end && j < i + 4 && IsHexDigit(text[j])) ++j;
      } else if ((kind == u'u' || kind == u'U') && At(text, j) == u'{') {
        while (j < end && text[j] != u'}' && j < i + 12) ++j;
        if (j < end && text[j] == u'}') ++j;
      } else if (kind == u'u' || kind == u'U') {
        while (j < end && j < i + (kind == u'u' ? 6 : 10) && IsHexDigit(text[j])) ++j;
      } else if (kind >= u'0' && kind <= u'7') {
        while (j < end && j < i + 4 && text[j] >= u'0' && text[j] <= u'7') ++j;
      }
      Hide(text, i, j);
      i = j - 1;
    } else if (c == u'%' && i + 1 < end) {
      std::size_t j = i + 1;
      if (text[j] == u'(') {  // %(name)s
        std::size_t k = j + 1;
        while (k < end && IsWordCharacter(text[k])) ++k;
        if (k < end && text[k] == u')') j = k + 1;
      }
      while (j < end && (text[j] == u'-' || text[j] == u'+' || text[j] == u'#' || text[j] == u'0'))
        ++j;
      while (j < end && (IsAsciiDigit(text[j]) || text[j] == u'.' || text[j] == u'*')) ++j;
      while (j < end && (text[j] == u'h' || text[j] == u'l' || text[j] == u'L' || text[j] == u'z' ||
                         text[j] == u'j' || text[j] == u't' || text[j] == u'q'))
        ++j;
      if (j < end && std::u16string_view(u"diouxXeEfFgGaAcspn%vTqwb").find(text[j]) != kNone &&
          !(j + 1 < end && IsAsciiLetter(text[j + 1]) && j == i + 1 && text[j] != u'%')) {
        Hide(text, i, j + 1);
        i = j;
      }
    } else if (c == u'{') {
      std::size_t j = i + 1;
      while (j < end && j < i + 40 &&
             (IsWordCharacter(text[j]) ||
              std::u16string_view(u":.<>^+#?!*,=-").find(text[j]) != kNone))
        ++j;
      if (j < end && text[j] == u'}') {
        Hide(text, i, j + 1);
        i = j;
      }
    }
  }
}

// Whether text[begin, end) holds a blank between two other characters.
bool HasInnerBlank(std::u16string_view text, std::size_t begin, std::size_t end) {
  std::size_t first = begin;
  while (first < end && IsBlank(text[first])) ++first;
  std::size_t last = end;
  while (last > first && IsBlank(text[last - 1])) --last;
  return FindAnyOf(text.substr(0, last), first, u' ', u'\t', u'\n', u'\r') < last;
}

// A literal's content once escapes are gone: a string of one token that is not a capitalised
// word (`"rb"`, `'utf-8'`, `"HOME"`) is a key, a mode or a name, not prose.
void HideTokenString(std::u16string& text, std::size_t begin, std::size_t end) {
  if (HasInnerBlank(text, begin, end)) return;
  std::size_t first = begin;
  while (first < end && IsBlank(text[first])) ++first;
  std::size_t last = end;
  while (last > first && IsBlank(text[last - 1])) --last;
  if (first < last && IsUpper(text[first])) {  // "Cancel", "Done."
    std::size_t i = first + 1;
    while (i < last && IsLower(text[i])) ++i;
    while (i < last && std::u16string_view(u".,:;!?").find(text[i]) != kNone) ++i;
    if (i == last) return;
  }
  Hide(text, first, last);
}

// Hides what inside a string literal's content [begin, end) is not prose. `written_spaced`: the
// content held a blank between two other characters before its interpolations or expansions
// were hidden (HasInnerBlank); such a string is a message, never a one-token key, even when
// placeholders leave a single word of it ("%d files", "{} necessary {}", "$n files").
void KeepStringContent(std::u16string& text, std::size_t begin, std::size_t end, bool raw,
                       bool written_spaced) {
  // Blanks alone, as most often in a shell's "$1" once its expansion is hidden: nothing to read.
  if (std::all_of(text.begin() + begin, text.begin() + end, IsBlank)) return;
  written_spaced = written_spaced || HasInnerBlank(text, begin, end);
  HideEscapesAndPlaceholders(text, begin, end, raw);
  HideUrls(text, begin, end);
  HideCodeWords(text, begin, end);
  if (!written_spaced) HideTokenString(text, begin, end);
}

// Hides `${…}` (template literals) or `{…}` (f-strings, `{{` being a brace) in [begin, end).
void HideInterpolations(std::u16string& text, std::size_t begin, std::size_t end, bool dollar) {
  const std::u16string_view part(text.data(), end);
  const char16_t opening = dollar ? u'$' : u'{';
  for (std::size_t i = FindAnyOf(part, begin, opening); i < end;
       i = FindAnyOf(part, i + 1, opening)) {
    if (dollar && At(text, i + 1) != u'{') continue;
    if (!dollar && At(text, i + 1) == u'{') {
      ++i;
      continue;
    }
    std::size_t j = i + (dollar ? 2 : 1);
    int depth = 1;
    for (; j < end && depth > 0; ++j) {
      if (text[j] == u'{') ++depth;
      if (text[j] == u'}') --depth;
    }
    Hide(text, i, j);
    i = j - 1;
  }
}

// The end of a quoted literal from `from` (just past its opening quote): just past the
// closing `close`, or `limit` (the end of the line or of the text) when there is none.
// `escapes`: a backslash takes the next character with it.
std::size_t LiteralEnd(std::u16string_view text, std::size_t from, std::u16string_view close,
                       bool escapes, std::size_t limit) {
  const std::u16string_view part = text.substr(0, limit);
  for (std::size_t i = from; i < limit; ++i) {
    i = escapes ? FindAnyOf(part, i, u'\\', close.front()) : FindAnyOf(part, i, close.front());
    if (i >= part.size()) break;
    if (escapes && text[i] == u'\\') {
      ++i;
      continue;
    }
    if (text[i] == close.front() && text.substr(i, close.size()) == close) {
      return i + close.size();
    }
  }
  return limit;
}

// What a preprocessor line does with its text: most lines are code, strings and all, but some
// show a message: `#pragma message("…")` (and `#pragma GCC warning "…"`) its strings, `#error`
// and `#warning` the rest of their line, quoted or not.
enum class Directive { kCode, kMessageStrings, kMessageLine };

// The kind of the preprocessor line whose `#` is at `hash`; `rest` gets where the text of an
// `#error` or `#warning` starts.
Directive ReadDirective(std::u16string_view text, std::size_t hash, std::size_t line_end,
                        std::size_t& rest) {
  std::size_t at = hash + 1;
  const auto next_word = [&] {
    while (at < line_end && (text[at] == u' ' || text[at] == u'\t')) ++at;
    const std::size_t start = at;
    while (at < line_end && IsAsciiLetter(text[at])) ++at;
    return text.substr(start, at - start);
  };
  std::u16string_view name = next_word();
  if (name == u"error" || name == u"warning") {
    while (at < line_end && (text[at] == u' ' || text[at] == u'\t')) ++at;
    rest = at;
    return Directive::kMessageLine;
  }
  if (name != u"pragma") return Directive::kCode;
  name = next_word();
  if (name == u"GCC" || name == u"clang") name = next_word();
  return name == u"message" || name == u"warning" || name == u"error" ? Directive::kMessageStrings
                                                                      : Directive::kCode;
}

// The end of a C-family character literal from `from` (just past its quote) on a line that ends
// at `limit`, as LiteralEnd finds it. A quote left open on its line is passed over rather than
// read to its end, and after a search that found no closing quote, a later quote that search
// passed over (escaped: `'\' \' \'`) finds none either: it reads on from a character that search
// read too (the one after a quote, which no backslash escapes) up to the same limit. So a line
// of such quotes costs one search, not one each. The text from the last search on must not
// change between calls.
class CharacterLiteralEnds {
 public:
  explicit CharacterLiteralEnds(std::u16string_view text) : text_(text) {}

  std::size_t Of(std::size_t from, std::size_t limit) {
    if (limit == unclosed_limit_ && from > unclosed_from_) return limit;
    const std::size_t end = LiteralEnd(text_, from, u"'", true, limit);
    if (end == limit && (end == from || text_[end - 1] != u'\'')) {
      unclosed_from_ = from;
      unclosed_limit_ = limit;
    }
    return end;
  }

 private:
  std::u16string_view text_;
  std::size_t unclosed_from_ = 0;  // the last search that found no closing quote
  std::size_t unclosed_limit_ = kNone;
};

// Whether one of the characters that may start something in a line of C-family code does: a
// `r` only before `#` or a quote (Rust raw strings), a `@` only before a quote (C# verbatim).
bool StartsCFamilyToken(std::u16string_view text, std::size_t i) {
  const char16_t c = text[i];
  if (c == u'r') return At(text, i + 1) == u'#' || At(text, i + 1) == u'"';
  if (c == u'@') return At(text, i + 1) == u'"';
  return true;
}

}  // namespace

void KeepCFamilyCommentsAndStrings(std::u16string& text, CodeIdentifiers identifiers) {
  const auto hide_code = [&](std::size_t from, std::size_t to) {
    HideCode(text, from, to, identifiers, CodeLanguage::kCFamily);
  };
  const std::size_t n = text.size();
  Fence fence;
  LineEnds line_ends(text);
  CharacterLiteralEnds character_ends(text);
  std::size_t code = 0;  // the start of the code not hidden yet
  bool line_start = true;
  bool directive = false;  // in a preprocessor line that shows no message: its strings are code
  // Keeps [open_end, close_begin) as a literal's content; the rest of [code, end) is code.
  const auto keep_string = [&](std::size_t content, std::size_t content_end, std::size_t end,
                               bool raw, bool written_spaced = false) {
    content_end = std::max(content, content_end);
    hide_code(code, content);
    Hide(text, content_end, end);
    if (directive) {
      Hide(text, content, content_end);
    } else {
      KeepStringContent(text, content, content_end, raw, written_spaced);
    }
    code = end;
  };
  std::size_t i = 0;
  while (i < n) {
    if (!line_start) {  // inside a line, only these characters may start something
      while ((i = FindAnyOf(text, i, u'\n', u'/', u'"', u'\'', u'`', u'r', u'@')) < n &&
             !StartsCFamilyToken(text, i)) {
        ++i;
      }
      if (i == n) break;
    }
    const char16_t c = text[i];
    const char16_t next = At(text, i + 1);
    const char16_t before = i > 0 ? text[i - 1] : 0;
    if (c == u'\n') {
      const bool continued =
          (before == u'\\') || (before == u'\r' && i > 1 && text[i - 2] == u'\\');
      directive = directive && continued;
      line_start = true;
      ++i;
      while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r')) ++i;
      continue;
    }
    if (line_start && c == u'#') {
      std::size_t rest = i;
      const Directive kind = ReadDirective(text, i, line_ends.Of(i), rest);
      directive = kind == Directive::kCode;
      if (kind == Directive::kMessageLine && At(text, rest) != u'"') {  // #error Not supported
        line_start = false;
        keep_string(rest, line_ends.Of(i), line_ends.Of(i), false);
        i = line_ends.Of(i);
        continue;
      }
    }
    if (c != u' ' && c != u'\t' && c != u'\r') line_start = false;

    if (c == u'/' && (next == u'/' || next == u'*')) {
      std::size_t content_end;
      std::size_t end;
      if (next == u'*') {  // only to its `*/`: many such comments may share one line
        std::size_t close = i + 2;
        while ((close = FindAnyOf(text, close, u'*')) + 1 < n && text[close + 1] != u'/') ++close;
        if (close + 1 >= n) close = kNone;
        content_end = close == kNone ? n : close;
        end = close == kNone ? n : close + 2;
      } else {
        content_end = end = LineEnd(text, i);
      }
      hide_code(code, i);
      Hide(text, content_end, end);
      KeepComment(text, i, content_end, fence);
      code = i = end;
      continue;
    }
    if (c != u'"' && c != u'\'' && c != u'`' && c != u'r' && c != u'@') {
      ++i;
      continue;
    }
    if ((c == u'r' && next != u'#' && next != u'"') || (c == u'@' && next != u'"')) {
      ++i;
      continue;
    }
    // The letters right before a quote: R (C++ raw), u8, L...
    std::size_t prefix = i;
    while (prefix > code && (IsAsciiLetter(text[prefix - 1]) || IsAsciiDigit(text[prefix - 1])))
      --prefix;
    const bool prefix_free = prefix == 0 || !IsWordCharacter(text[prefix - 1]);
    const std::u16string_view letters = std::u16string_view(text).substr(prefix, i - prefix);

    if (c == u'r' && prefix_free && (letters.empty() || letters == u"b" || letters == u"c") &&
        (next == u'#' || next == u'"')) {  // Rust r"…", r#"…"#, br#"…"#
      std::size_t j = i + 1;
      while (j < n && text[j] == u'#') ++j;
      if (j < n && text[j] == u'"') {
        std::u16string close(j - i, u'#');  // a quote, as many "#" as opened
        close.front() = u'"';
        const std::size_t end = LiteralEnd(text, j + 1, close, false, n);
        const bool closed = text.compare(end - close.size(), close.size(), close) == 0 && end > j;
        keep_string(j + 1, closed ? end - close.size() : end, end, true);
        i = end;
        continue;
      }
      ++i;
      continue;
    }
    if (c == u'@' && next == u'"') {  // C# verbatim: "" is a quote
      std::size_t j = i + 2;
      while (j < n && !(text[j] == u'"' && At(text, j + 1) != u'"')) j += text[j] == u'"' ? 2 : 1;
      const std::size_t end = j < n ? j + 1 : n;
      keep_string(i + 2, j < n ? j : n, end, true);
      i = end;
      continue;
    }
    if (c == u'"') {
      std::size_t quotes = 0;
      while (i + quotes < n && text[i + quotes] == u'"') ++quotes;
      if (quotes >= 3) {  // """…""" (C#, Java, Kotlin, Swift): to as many quotes
        const std::u16string close(quotes, u'"');
        const std::size_t end = LiteralEnd(text, i + quotes, close, false, n);
        const bool closed = end >= i + 2 * quotes && text.compare(end - quotes, quotes, close) == 0;
        keep_string(i + quotes, closed ? end - quotes : end, end, false);
        i = end;
        continue;
      }
      const bool cpp_raw = prefix_free && !letters.empty() && letters.back() == u'R' &&
                           (letters == u"R" || letters == u"u8R" || letters == u"uR" ||
                            letters == u"UR" || letters == u"LR");
      if (cpp_raw) {  // R"delim(…)delim"
        const std::size_t paren =
            std::u16string_view(text).substr(0, std::min(n, i + 18)).find(u'(', i);
        if (paren != kNone) {
          std::u16string close(1, u')');  // ")", the delimiter, a quote
          close.append(text, i + 1, paren - i - 1).push_back(u'"');
          const std::size_t end = LiteralEnd(text, paren + 1, close, false, n);
          const bool closed = text.compare(end - close.size(), close.size(), close) == 0 &&
                              end >= paren + 1 + close.size();
          keep_string(paren + 1, closed ? end - close.size() : end, end, true);
          i = end;
          continue;
        }
      }
      const std::size_t end = LiteralEnd(text, i + 1, u"\"", true, line_ends.Of(i));
      const bool closed = end > i + 1 && text[end - 1] == u'"';
      keep_string(i + 1, closed ? end - 1 : end, end, false);
      i = end;
      continue;
    }
    if (c == u'`') {  // template literals (JS, TS), raw strings (Go)
      const std::size_t end = LiteralEnd(text, i + 1, u"`", true, n);
      const bool closed = end > i + 1 && text[end - 1] == u'`';
      const bool spaced = HasInnerBlank(text, i + 1, closed ? end - 1 : end);
      HideInterpolations(text, i + 1, closed ? end - 1 : end, true);
      keep_string(i + 1, closed ? end - 1 : end, end, false, spaced);
      i = end;
      continue;
    }
    // A single quote: a digit separator (1'000), a Rust lifetime or label ('a, 'static,
    // 'outer:), a character literal, or a string (JavaScript).
    if (IsAsciiDigit(before) ||
        (IsWordCharacter(before) && letters.size() != 1 && letters != u"u8")) {
      ++i;
      continue;
    }
    std::size_t name_end = i + 1;
    while (name_end < n && IsWordCharacter(text[name_end])) ++name_end;
    const char16_t after_name = At(text, name_end);
    if (name_end > i + 1 && after_name != u'\'' &&
        (before == u'&' || before == u'<' ||
         std::u16string_view(u">,:;)+{=").find(after_name) != kNone)) {
      ++i;
      continue;
    }
    const std::size_t line_end = line_ends.Of(i);
    const std::size_t end = character_ends.Of(i + 1, line_end);
    if (end == line_end && (end == i + 1 || text[end - 1] != u'\'')) {
      ++i;  // no closing quote on the line: not a literal
      continue;
    }
    const std::u16string_view content = std::u16string_view(text).substr(i + 1, end - i - 2);
    const bool character =
        content.size() <= 1 ||
        (content.size() == 2 && content[0] >= 0xd800 && content[0] < 0xdc00) ||
        (content[0] == u'\\' && content.find(u' ') == kNone && content.size() <= 12);
    if (character) {
      i = end;  // code: hidden with what follows
      continue;
    }
    keep_string(i + 1, end - 1, end, false);
    i = end;
  }
  hide_code(code, n);
}

void KeepHashComments(std::u16string& text, CodeIdentifiers identifiers) {
  const auto hide_code = [&](std::size_t from, std::size_t to) {
    HideCode(text, from, to, identifiers, CodeLanguage::kHash);
  };
  const std::size_t n = text.size();
  Fence fence;
  LineEnds line_ends(text);  // a line may go on after a bracket comment
  std::size_t line = 0;
  if (std::u16string_view(text).substr(0, 2) == u"#!") {
    line = LineEnd(text, 0);
    Hide(text, 0, line);
  }
  while (line < n) {
    const std::size_t line_end = line_ends.Of(line);
    std::size_t comment = kNone;
    char16_t quote = 0;
    for (std::size_t i = line; i < line_end; ++i) {
      const char16_t c = text[i];
      const char16_t before = i > line ? text[i - 1] : u' ';
      if (quote != 0) {
        if (c == u'\\' && quote == u'"') {
          ++i;
        } else if (c == quote) {
          quote = 0;
        }
        continue;
      }
      if ((c == u'"' || c == u'\'') && !IsWordCharacter(before) && before != u'\\') {
        // A quote that is not closed on the line (an apostrophe, a string that goes on) is
        // left alone, so that a comment after it is still found.
        const std::size_t close =
            LiteralEnd(text, i + 1, std::u16string(1, c), c == u'"', line_end);
        if (close > i + 1 && text[close - 1] == c && close <= line_end) {
          quote = c;
        }
        continue;
      }
      if (c == u'#' && (IsBlank(before) || before == u';' || i == line)) {
        comment = i;
        break;
      }
    }
    if (comment == kNone) {
      hide_code(line, line_end);
      line = line_end + 1;
      continue;
    }
    hide_code(line, comment);
    std::size_t end = line_end;
    // CMake's #[[…]] and #[=[…]=]: bracket comments over lines.
    if (At(text, comment + 1) == u'[') {
      std::size_t j = comment + 2;
      while (j < n && text[j] == u'=') ++j;
      if (j < n && text[j] == u'[') {
        std::u16string close(j - comment, u'=');  // "]", as many "=" as opened, "]"
        close.front() = close.back() = u']';
        const std::size_t found = std::u16string_view(text).find(close, j + 1);
        end = found == kNone ? n : found + close.size();
        Hide(text, comment, j + 1);
        if (found != kNone) Hide(text, found, end);
        KeepComment(text, j + 1, found == kNone ? n : found, fence);
        line = end;
        continue;
      }
    }
    KeepComment(text, comment, end, fence);
    line = end + 1;
  }
}

namespace {

// ---- Shell ----

// Nesting deeper than this (`$($($(…)))`) is read as flat text, so that a hostile file cannot
// exhaust the stack.
constexpr int kMaxShellNesting = 32;

std::size_t ShellSubstitutionEnd(std::u16string_view text, std::size_t i, int depth);

// One past the `"` closing the double-quoted string whose content starts at `from`, or the end
// of the text; `$(…)`, `${…}` and `` `…` `` inside it may hold quotes of their own.
std::size_t DoubleQuotedEnd(std::u16string_view text, std::size_t from, int depth) {
  std::size_t i = from;
  while ((i = FindAnyOf(text, i, u'\\', u'"', u'`', u'$')) < text.size()) {
    const char16_t c = text[i];
    if (c == u'\\') {
      i += 2;
    } else if (c == u'"') {
      return i + 1;
    } else if (c == u'`' || (c == u'$' && (At(text, i + 1) == u'(' || At(text, i + 1) == u'{'))) {
      i = ShellSubstitutionEnd(text, i, depth + 1);
    } else {
      ++i;
    }
  }
  return text.size();
}

// One past the end of the substitution at `i`: `$(…)` and `$((…))`, `${…}`, or `` `…` ``.
std::size_t ShellSubstitutionEnd(std::u16string_view text, std::size_t i, int depth) {
  if (text[i] == u'`') {
    std::size_t j = i + 1;
    while (j < text.size() && text[j] != u'`') j += text[j] == u'\\' ? 2 : 1;
    return std::min(j + 1, text.size());
  }
  const char16_t open = text[i + 1];
  const char16_t close = open == u'(' ? u')' : u'}';
  int level = 0;
  std::size_t j = i + 1;
  while (j < text.size()) {
    const char16_t c = text[j];
    if (c == u'\\') {
      j += 2;
    } else if (c == u'\'' && open == u'(') {  // in ${…}, a quote may stand alone: ${x#'}
      const std::size_t close_quote = text.find(u'\'', j + 1);
      j = close_quote == kNone ? text.size() : close_quote + 1;
    } else if (c == u'"' && depth < kMaxShellNesting) {
      j = DoubleQuotedEnd(text, j + 1, depth);
    } else if (c == u'`' && depth < kMaxShellNesting) {
      j = ShellSubstitutionEnd(text, j, depth + 1);
    } else {
      if (c == open) ++level;
      if (c == close && --level == 0) return j + 1;
      ++j;
    }
  }
  return text.size();
}

// Hides the expansions in [begin, end) of a double-quoted string or a here-document: `$name`,
// `$1`, `$?`, `${…}`, `$(…)`, `$((…))` and `` `…` ``.
void HideShellExpansions(std::u16string& text, std::size_t begin, std::size_t end) {
  const std::u16string_view part(text.data(), end);
  for (std::size_t i = FindAnyOf(part, begin, u'\\', u'`', u'$'); i < end;
       i = FindAnyOf(part, i + 1, u'\\', u'`', u'$')) {
    const char16_t c = text[i];
    const char16_t next = At(text, i + 1);
    if (c == u'\\') {
      ++i;
      continue;
    }
    std::size_t j = i;
    if (c == u'`' || (c == u'$' && (next == u'(' || next == u'{'))) {
      j = std::min(end, ShellSubstitutionEnd(text, i, 0));
    } else if (c == u'$' && (IsAsciiLetter(next) || next == u'_')) {
      j = i + 1;
      while (j < end && (IsAsciiLetter(text[j]) || IsAsciiDigit(text[j]) || text[j] == u'_')) ++j;
    } else if (c == u'$' && i + 1 < end &&
               (IsAsciiDigit(next) || std::u16string_view(u"@*#?$!-").find(next) != kNone)) {
      j = i + 2;
    } else {
      continue;
    }
    Hide(text, i, j);
    i = j - 1;
  }
}

// A here-document announced by `<<WORD` or `<<-WORD` and read from the next line on.
struct HereDocument {
  std::u16string delimiter;
  bool expands;     // an unquoted delimiter: `$` and backquotes expand in the body
  bool strip_tabs;  // <<-: leading tabs are dropped, also before the delimiter
};

// Reads the redirection at `i` (the first `<`) when it opens a here-document; returns where the
// code goes on.
std::size_t ReadHereDocument(std::u16string_view text, std::size_t i,
                             std::vector<HereDocument>& pending) {
  std::size_t j = i + 2;
  if (At(text, j) == u'<') return j + 1;  // <<<: a here-string
  HereDocument doc{{}, true, false};
  if (At(text, j) == u'-') {
    doc.strip_tabs = true;
    ++j;
  }
  while (At(text, j) == u' ' || At(text, j) == u'\t') ++j;
  // A shift in arithmetic (`$((1 << n))`, `(( x <<= 2 ))`) is no here-document: a delimiter
  // starts with a letter, `_`, a quote or a backslash, and no `)` closes right after it.
  const char16_t first = At(text, j);
  if (!IsAsciiLetter(first) && first != u'_' && first != u'\'' && first != u'"' && first != u'\\') {
    return j;
  }
  while (j < text.size() && !IsBlank(text[j]) &&
         std::u16string_view(u";&|()<>").find(text[j]) == kNone) {
    const char16_t c = text[j];
    if (c == u'\'' || c == u'"') {
      doc.expands = false;
      const std::size_t close = text.find(c, j + 1);
      const std::size_t stop = close == kNone ? text.size() : close;
      doc.delimiter.append(text.substr(j + 1, stop - j - 1));
      j = close == kNone ? stop : close + 1;
    } else if (c == u'\\') {
      doc.expands = false;
      if (j + 1 < text.size()) doc.delimiter += text[j + 1];
      j += 2;
    } else {
      doc.delimiter += c;
      ++j;
    }
  }
  std::size_t after = j;
  while (At(text, after) == u' ' || At(text, after) == u'\t') ++after;
  if (!doc.delimiter.empty() && At(text, after) != u')') pending.push_back(std::move(doc));
  return std::min(j, text.size());
}

// The simple command the walk stands in, read word by word from the code between strings: the
// strings given to `trap`, `eval` or `ssh`, or right after a `-c` (`bash -c`, `su -c`), are
// commands to run, code rather than prose. Each unit of code is read once.
class ShellCommand {
 public:
  // Reads the code up to `to`, where a string starts, and tells whether that string is code.
  bool StringAtIsCode(std::u16string_view text, std::size_t to) {
    for (std::size_t k = read_; k < to; ++k) {
      const char16_t c = text[k];
      if (c == u' ' || c == u'\t' || c == u'\r' || (c == u'\\' && At(text, k + 1) == u'\n')) {
        EndWord(text, k);
        if (c == u'\\') ++k;  // a line continued
      } else if (c == u';' || c == u'&' || c == u'|' || c == u'(' || c == u')' || c == u'\n' ||
                 c == u'`') {
        EndWord(text, k);
        named_ = runs_code_ = after_dash_c_ = false;
      } else if (word_ == kNone) {
        word_ = k;
      }
      if (c == u'\\' && At(text, k + 1) != u'\n') ++k;
    }
    read_ = std::max(read_, to);
    return named_ && (runs_code_ || (after_dash_c_ && word_ == kNone));
  }
  // The string that started where the code was read to ends at `end`: it is (part of) a word.
  void Word(std::size_t end) {
    if (word_ == kNone) word_ = read_;
    read_ = end;
  }
  // A comment, or the bodies of here-documents, up to `at`: a command starts after them.
  void Restart(std::size_t at) {
    word_ = kNone;
    named_ = runs_code_ = after_dash_c_ = false;
    read_ = at;
  }

 private:
  void EndWord(std::u16string_view text, std::size_t end) {
    if (word_ == kNone) return;
    const std::u16string_view word = text.substr(word_, end - word_);
    word_ = kNone;
    if (named_) {  // `-c`, or options ending in it: `-lc`, `-ec`
      after_dash_c_ = word.size() >= 2 && word.size() <= 5 && word[0] == u'-' &&
                      word.back() == u'c' &&
                      std::all_of(word.begin() + 1, word.end(), IsAsciiLetter);
      return;
    }
    static constexpr std::u16string_view kPrefixes[] = {
        u"if", u"then", u"elif", u"else", u"do",      u"while",   u"until",
        u"!",  u"{",    u"time", u"exec", u"command", u"builtin", u"nohup"};
    const std::size_t equals = word.find(u'=');
    const bool assignment = equals != kNone && equals > 0 &&
                            std::all_of(word.begin(), word.begin() + equals, IsWordCharacter);
    if (assignment ||
        std::find(std::begin(kPrefixes), std::end(kPrefixes), word) != std::end(kPrefixes)) {
      return;
    }
    named_ = true;
    const std::u16string_view name = word.substr(word.rfind(u'/') + 1);  // /usr/bin/ssh
    runs_code_ = name == u"trap" || name == u"eval" || name == u"ssh";
  }

  std::size_t read_ = 0;       // the code before this is read
  std::size_t word_ = kNone;   // the start of the word being read
  bool named_ = false;         // the command's name is read
  bool runs_code_ = false;     // it is trap, eval or ssh
  bool after_dash_c_ = false;  // the last word read was `-c`
};

}  // namespace

void KeepShellCommentsAndStrings(std::u16string& text, CodeIdentifiers identifiers) {
  const auto hide_code = [&](std::size_t from, std::size_t to) {
    HideCode(text, from, to, identifiers, CodeLanguage::kHash);
  };
  const std::size_t n = text.size();
  Fence fence;
  std::vector<HereDocument> pending;
  ShellCommand command;
  std::size_t code = 0;
  // Keeps [content, content_end) as prose; the rest of [code, end) is code.
  const auto keep = [&](std::size_t content, std::size_t content_end, std::size_t end,
                        bool expands) {
    hide_code(code, content);
    Hide(text, content_end, end);
    const bool spaced = HasInnerBlank(text, content, content_end);
    if (expands) HideShellExpansions(text, content, content_end);
    KeepStringContent(text, content, content_end, false, spaced);
    code = end;
  };
  std::size_t i = 0;
  if (std::u16string_view(text).substr(0, 2) == u"#!") i = LineEnd(text, 0);
  while (i < n) {
    // Only these characters may start something; a line's end only when here-documents wait.
    i = pending.empty() ? FindAnyOf(text, i, u'\\', u'#', u'\'', u'"', u'$', u'<')
                        : FindAnyOf(text, i, u'\n', u'\\', u'#', u'\'', u'"', u'$', u'<');
    if (i == n) break;
    const char16_t c = text[i];
    const char16_t next = At(text, i + 1);
    const char16_t before = i > 0 ? text[i - 1] : u'\n';
    if (c == u'\n' && !pending.empty()) {  // the bodies of the here-documents on this line
      std::size_t line = i + 1;
      for (const HereDocument& doc : pending) {
        const std::size_t body = line;
        std::size_t body_end = n;
        while (line < n) {
          const std::size_t line_end = LineEnd(text, line);
          std::size_t first = line;
          while (doc.strip_tabs && first < line_end && text[first] == u'\t') ++first;
          std::u16string_view content = std::u16string_view(text).substr(first, line_end - first);
          if (!content.empty() && content.back() == u'\r') content.remove_suffix(1);
          if (content == doc.delimiter) {
            body_end = line;
            line = line_end + 1;
            break;
          }
          line = line_end + 1;
        }
        keep(body, body_end, std::min(line, n), doc.expands);
      }
      pending.clear();
      i = std::min(line, n);
      command.Restart(i);
      continue;
    }
    if (c == u'\\') {
      i += 2;
    } else if (c == u'#' &&
               (IsBlank(before) || std::u16string_view(u";&|()").find(before) != kNone)) {
      const std::size_t end = LineEnd(text, i);
      hide_code(code, i);
      KeepComment(text, i, end, fence);
      code = i = end;
      command.Restart(end);
    } else if (c == u'\'' || (c == u'$' && next == u'\'')) {  // '…' and ANSI-C $'…'
      const bool ansi = c == u'$';
      const std::size_t open_end = i + (ansi ? 2 : 1);
      const std::size_t end = LiteralEnd(text, open_end, u"'", ansi, n);
      const bool closed = end > open_end && text[end - 1] == u'\'';
      if (!command.StringAtIsCode(text, i)) keep(open_end, closed ? end - 1 : end, end, false);
      command.Word(end);
      i = end;
    } else if (c == u'"' || (c == u'$' && next == u'"')) {  // "…" and the translated $"…"
      const std::size_t open_end = i + (c == u'$' ? 2 : 1);
      const std::size_t end = DoubleQuotedEnd(text, open_end, 0);
      const bool closed = end > open_end && text[end - 1] == u'"';
      if (!command.StringAtIsCode(text, i)) keep(open_end, closed ? end - 1 : end, end, true);
      command.Word(end);
      i = end;
    } else if (c == u'$' && next == u'{') {  // ${#list[@]}, ${x#'*'}: code throughout
      i = ShellSubstitutionEnd(text, i, 0);
    } else if (c == u'$') {  // $#, $'; $( and $(( are read on as code, strings and all
      i += 2;
    } else if (c == u'<' && next == u'<') {
      i = ReadHereDocument(text, i, pending);
    } else {
      ++i;
    }
  }
  hide_code(code, n);
}

namespace {

// ---- Python ----

// The end of the names a docstring's parameter entry starts with, at `i`: `name`, `*args`, or
// more names after commas (`x, y`); `i` when there is none.
std::size_t ParameterNamesEnd(std::u16string_view text, std::size_t i, std::size_t end) {
  for (std::size_t start = i;;) {
    while (i < end && i < start + 2 && text[i] == u'*') ++i;
    if (i == end || !(IsAsciiLetter(text[i]) || text[i] == u'_')) return start;
    while (i < end && (IsWordCharacter(text[i]) || text[i] == u'.')) ++i;
    if (text.substr(i, 2) != u", ") return i;
    start = i;
    i += 2;
  }
}

// Hides the names and types of the entries of a docstring's parameter sections in
// [begin, end): Google's (`Args:` over entries `name (type): text`, one a line, indented) and
// numpy's (`Parameters` over a line of dashes, then entries `name : type` at the same indent,
// each with its text on the lines below). The text of each entry is prose.
void HideDocstringParameters(std::u16string& text, std::size_t begin, std::size_t end) {
  static constexpr std::u16string_view kSections[] = {
      u"Args",    u"Arguments",    u"Parameters",        u"Params",     u"Other Parameters",
      u"Kwargs",  u"Keyword Args", u"Keyword Arguments", u"Attributes", u"Raises",
      u"Returns", u"Yields",       u"Receives",          u"Warns"};
  const std::u16string_view docstring(text.data(), end);
  const auto is_section = [&](std::u16string_view name) {
    return std::find(std::begin(kSections), std::end(kSections), name) != std::end(kSections);
  };
  // The line at `line`, without its indent and trailing blanks.
  const auto content_of = [&](std::size_t line, std::size_t line_end) {
    std::size_t first = line;
    while (first < line_end && (text[first] == u' ' || text[first] == u'\t')) ++first;
    std::size_t last = line_end;
    while (last > first && IsBlank(text[last - 1])) --last;
    return docstring.substr(first, last - first);
  };
  enum class Section { kNone, kGoogle, kNumpy } section = Section::kNone;
  std::size_t section_indent = 0;
  std::size_t entry_indent = kNone;
  for (std::size_t line = begin; line < end;) {
    const std::size_t line_end = FindAnyOf(docstring, line, u'\n');
    const std::u16string_view content = content_of(line, line_end);
    const std::size_t first = content.data() - text.data();
    const std::size_t indent = first - line;
    const std::size_t next = std::min(line_end + 1, end);
    if (content.empty()) {
      line = next;
      continue;
    }
    const std::size_t next_end = FindAnyOf(docstring, next, u'\n');
    const std::u16string_view underline = content_of(next, next_end);
    if (underline.size() >= 3 && underline.find_first_not_of(u'-') == kNone) {  // numpy
      section = is_section(content) ? Section::kNumpy : Section::kNone;
      section_indent = indent;
      line = std::min(next_end + 1, end);
      continue;
    }
    if (content.back() == u':' && is_section(content.substr(0, content.size() - 1))) {
      section = Section::kGoogle;
      section_indent = indent;
      entry_indent = kNone;
      line = next;
      continue;
    }
    if (section == Section::kGoogle && indent <= section_indent) section = Section::kNone;
    if (section == Section::kNumpy && indent < section_indent) section = Section::kNone;
    if (section == Section::kGoogle && entry_indent == kNone) entry_indent = indent;
    const std::size_t names_end = ParameterNamesEnd(text, first, first + content.size());
    if (section == Section::kGoogle && indent == entry_indent && names_end > first) {
      std::size_t colon = names_end;
      if (text.substr(colon, 2) == u" (") {  // name (int, optional): text
        colon = FindAnyOf(docstring.substr(0, line_end), colon, u':');
        while (colon < line_end && text[colon - 1] != u')') {
          colon = FindAnyOf(docstring.substr(0, line_end), colon + 1, u':');
        }
      }
      if (colon < line_end && text[colon] == u':') Hide(text, first, colon + 1);
    } else if (section == Section::kNumpy && indent == section_indent && names_end > first &&
               (names_end == first + content.size() || text.substr(names_end, 3) == u" : ")) {
      Hide(text, first, first + content.size());  // name : int, optional
    }
    line = next;
  }
}

}  // namespace

void KeepPythonCommentsAndStrings(std::u16string& text, CodeIdentifiers identifiers) {
  const auto hide_code = [&](std::size_t from, std::size_t to) {
    HideCode(text, from, to, identifiers, CodeLanguage::kPython);
  };
  const std::size_t n = text.size();
  Fence fence;
  LineEnds line_ends(text);
  std::size_t code = 0;
  std::size_t i = 0;
  while (i < n) {
    // Only a `#` or a quote starts something.
    i = FindAnyOf(text, i, u'#', u'"', u'\'');
    if (i == n) break;
    const char16_t c = text[i];
    if (c == u'#') {
      const std::size_t end = LineEnd(text, i);
      hide_code(code, i);
      KeepComment(text, i, end, fence);
      code = i = end;
      continue;
    }
    if (c != u'"' && c != u'\'') {
      ++i;
      continue;
    }
    std::size_t prefix = i;
    while (prefix > code && i - prefix < 2 && IsAsciiLetter(text[prefix - 1])) --prefix;
    bool raw = false;
    bool formatted = false;
    if (prefix == 0 || !IsWordCharacter(text[prefix - 1])) {
      for (std::size_t p = prefix; p < i; ++p) {
        raw = raw || text[p] == u'r' || text[p] == u'R';
        formatted = formatted || text[p] == u'f' || text[p] == u'F';
      }
    }
    const bool triple = At(text, i + 1) == c && At(text, i + 2) == c;
    const std::u16string close(triple ? 3 : 1, c);
    const std::size_t open_end = i + close.size();
    // A backslash keeps the next character in the string, raw or not.
    const std::size_t end = LiteralEnd(text, open_end, close, true, triple ? n : line_ends.Of(i));
    const bool closed = end >= open_end + close.size() &&
                        text.compare(end - close.size(), close.size(), close) == 0;
    const std::size_t content_end = closed ? end - close.size() : end;
    hide_code(code, open_end);
    Hide(text, content_end, end);
    const bool spaced = HasInnerBlank(text, open_end, content_end);
    if (formatted) HideInterpolations(text, open_end, content_end, false);
    if (triple) {  // docstrings: doctest lines (>>> and ...) and reST roles and fields
      const std::u16string_view docstring(text.data(), content_end);
      for (std::size_t line = open_end; line < content_end;) {
        const std::size_t line_end = LineEnd(docstring, line);
        std::size_t first = line;
        while (first < line_end && (text[first] == u' ' || text[first] == u'\t')) ++first;
        const std::u16string_view start = std::u16string_view(text).substr(first, 3);
        if (start == u">>>" || start == u"...") Hide(text, line, line_end);
        line = line_end + 1;
      }
      for (std::size_t j = FindAnyOf(docstring, open_end, u':'); j < content_end;
           j = FindAnyOf(docstring, j + 1, u':')) {
        if (!IsAsciiLetter(At(text, j + 1)) || (j > open_end && IsWordCharacter(text[j - 1]))) {
          continue;
        }
        std::size_t k = j + 1;
        while (k < content_end && (IsWordCharacter(text[k]) || text[k] == u' ') && k < j + 48 &&
               text[k] != u'\n')
          ++k;
        if (k < content_end && text[k] == u':') {  // :param name:, :func:
          Hide(text, j, k + 1);
          j = k;
        }
      }
      HideDocstringParameters(text, open_end, content_end);
    }
    KeepStringContent(text, open_end, content_end, raw, spaced);
    HideBackticked(text, open_end, content_end);
    code = i = end;
  }
  hide_code(code, n);
}

}  // namespace lexivane::frontend
