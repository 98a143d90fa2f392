// How the code filters keep a comment or a string literal as prose (code_prose.h).
#include "frontend/modes/code_prose.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "frontend/modes/find_units.h"
#include "frontend/modes/mode_filters.h"

namespace lexivane::frontend::code_prose {

using namespace std::string_view_literals;

namespace {

bool IsCamelCase(std::u16string_view word) {
  for (std::size_t i = 1; i < word.size(); ++i) {
    if (IsAsciiLower(word[i - 1]) && IsAsciiUpper(word[i])) return true;  // getValue, HashMap
    if (i >= 2 && i + 1 < word.size() && IsAsciiUpper(word[i - 1]) && IsAsciiUpper(word[i]) &&
        IsAsciiLower(word[i + 1]) && IsAsciiLower(word[i + 2 < word.size() ? i + 2 : i + 1])) {
      return true;  // HTTPServer, but not URLs
    }
  }
  return false;
}

// `@param name`, `\brief`, `{@link Name}`: the tags of doc comments, and the name a tag names.
void HideDocTags(TextCursor text, std::size_t begin, std::size_t end) {
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
    if (!IsAsciiLetter(UnitAt(text, i + 1)) || (i > begin && IsIdentifierCharacter(text[i - 1]))) {
      continue;
    }
    std::size_t j = i + 1;
    while (j < end && IsAsciiLetter(text[j])) ++j;
    const std::u16string_view tag = std::u16string_view(text).substr(i + 1, j - i - 1);
    if (i > begin && text[i - 1] == u'{') {  // {@link Foo}
      if (link_stop < j) link_stop = FindAnyOf(part, j, u'}', u'\n');
      if (link_stop < end && text[link_stop] == u'}') {
        text.Hide(i - 1, link_stop + 1);
        i = link_stop;
        continue;
      }
    }
    bool naming = false;
    for (std::u16string_view name : kNaming) naming = naming || tag == name;
    if (naming) {
      if (UnitAt(text, j) == u'[') {  // \param[in]
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
      while (k < end && !IsBlankOrLineBreak(text[k])) ++k;
      j = k;
    }
    text.Hide(i, j);
    i = j - 1;
  }
}

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

// Just past the first end command `name` (after `@` or `\`) in [from, end), or kNoPosition.
std::size_t DocCommandEnd(std::u16string_view text, std::size_t from, std::size_t end,
                          std::u16string_view name) {
  const std::u16string_view part = text.substr(0, end);
  for (std::size_t found = part.find(name, from); found != kNoPosition;
       found = part.find(name, found + 1)) {
    const bool letters_end =
        !IsAsciiLetter(name.back()) || !IsAsciiLetter(UnitAt(part, found + name.size()));
    if (found > from && (text[found - 1] == u'@' || text[found - 1] == u'\\') && letters_end) {
      return found + name.size();
    }
  }
  return kNoPosition;
}

// The end of the HTML tag at text[at] == '<' (`<li>`, `</p>`, `<a href="x">`), or kNoPosition. A
// tag stays on its line; the scan stops at the next `<`, so no character is read twice.
std::size_t HtmlTagEnd(std::u16string_view text, std::size_t at, std::size_t end,
                       std::u16string_view& name) {
  std::size_t i = at + 1 + (UnitAt(text, at + 1) == u'/' ? 1 : 0);
  const std::size_t name_begin = i;
  while (i < end && (IsAsciiLetter(text[i]) || (i > name_begin && IsAsciiDigit(text[i])))) ++i;
  if (i == name_begin) return kNoPosition;
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
  return kNoPosition;
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
void HideDocMarkup(TextCursor text, std::size_t begin, std::size_t end, Fence& fence) {
  const std::u16string_view part(text.data(), end);
  std::size_t i = begin;
  while (i < end) {
    if (!fence.awaited.empty()) {
      const std::size_t close = DocCommandEnd(text, i, end, fence.awaited);
      if (close == kNoPosition) return text.Hide(i, end);
      text.Hide(i, close);
      fence.awaited = {};
      i = close;
      continue;
    }
    const std::size_t next = fence.code_elements > 0 ? FindAnyOf(part, i, u'<')
                                                     : FindAnyOf(part, i, u'@', u'\\', u'<', u'&');
    if (fence.code_elements > 0) text.Hide(i, next);
    if (next == end) return;
    i = next;
    const char16_t c = text[i];
    if (c == u'<') {
      std::u16string_view name;
      const std::size_t tag_end = HtmlTagEnd(text, i, end, name);
      if (tag_end == kNoPosition) {
        if (fence.code_elements > 0) text.Hide(i, i + 1);
        ++i;
        continue;
      }
      if (IsHtmlCodeElement(name) && text[tag_end - 2] != u'/') {
        fence.code_elements =
            text[i + 1] == u'/' ? std::max(fence.code_elements - 1, 0) : fence.code_elements + 1;
      }
      text.Hide(i, tag_end);
      i = tag_end;
    } else if (c == u'&') {  // &lt; &amp; &#8212;
      std::size_t j = i + 1;
      while (j < end && j < i + 32 && (IsAsciiAlnum(text[j]) || text[j] == u'#')) ++j;
      if (j < end && text[j] == u';' && j > i + 1) {
        text.Hide(i, j + 1);
        i = j;
      }
      ++i;
    } else if (i > begin && IsIdentifierCharacter(text[i - 1])) {  // user@example.org, a\b
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
      text.Hide(i, j);
      fence.awaited = block->close;
      i = j;
    }
  }
}

// Escapes (`\n`, `\x41`, `\u{1F600}`) and format placeholders (`%-8.3lf`, `%(name)s`, `{0}`,
// `{:>8}`, `{name}`) in a string literal's content.
void HideEscapesAndPlaceholders(TextCursor text, std::size_t begin, std::size_t end, bool raw) {
  const std::u16string_view part(text.data(), end);
  for (std::size_t i = FindAnyOf(part, begin, u'\\', u'%', u'{'); i < end;
       i = FindAnyOf(part, i + 1, u'\\', u'%', u'{')) {
    const char16_t c = text[i];
    if (c == u'\\' && !raw && i + 1 < end) {
      std::size_t j = i + 2;
      const char16_t kind = text[i + 1];
      if (kind == u'x') {
        while (j < end && j < i + 4 && IsAsciiHexDigit(text[j])) ++j;
      } else if ((kind == u'u' || kind == u'U') && UnitAt(text, j) == u'{') {
        while (j < end && text[j] != u'}' && j < i + 12) ++j;
        if (j < end && text[j] == u'}') ++j;
      } else if (kind == u'u' || kind == u'U') {
        while (j < end && j < i + (kind == u'u' ? 6 : 10) && IsAsciiHexDigit(text[j])) ++j;
      } else if (kind >= u'0' && kind <= u'7') {
        while (j < end && j < i + 4 && text[j] >= u'0' && text[j] <= u'7') ++j;
      }
      text.Hide(i, j);
      i = j - 1;
    } else if (c == u'%' && i + 1 < end) {
      std::size_t j = i + 1;
      if (text[j] == u'(') {  // %(name)s
        std::size_t k = j + 1;
        while (k < end && IsIdentifierCharacter(text[k])) ++k;
        if (k < end && text[k] == u')') j = k + 1;
      }
      while (j < end && (text[j] == u'-' || text[j] == u'+' || text[j] == u'#' || text[j] == u'0'))
        ++j;
      while (j < end && (IsAsciiDigit(text[j]) || text[j] == u'.' || text[j] == u'*')) ++j;
      while (j < end && (text[j] == u'h' || text[j] == u'l' || text[j] == u'L' || text[j] == u'z' ||
                         text[j] == u'j' || text[j] == u't' || text[j] == u'q'))
        ++j;
      if (j < end && u"diouxXeEfFgGaAcspn%vTqwb"sv.find(text[j]) != kNoPosition &&
          !(j + 1 < end && IsAsciiLetter(text[j + 1]) && j == i + 1 && text[j] != u'%')) {
        text.Hide(i, j + 1);
        i = j;
      }
    } else if (c == u'{') {
      std::size_t j = i + 1;
      while (j < end && j < i + 40 &&
             (IsIdentifierCharacter(text[j]) || u":.<>^+#?!*,=-"sv.find(text[j]) != kNoPosition))
        ++j;
      if (j < end && text[j] == u'}') {
        text.Hide(i, j + 1);
        i = j;
      }
    }
  }
}

// A literal's content once escapes are gone: a string of one token that is not a capitalised
// word (`"rb"`, `'utf-8'`, `"HOME"`) is a key, a mode or a name, not prose.
void HideTokenString(TextCursor text, std::size_t begin, std::size_t end) {
  if (HasInnerBlank(text, begin, end)) return;
  std::size_t first = begin;
  while (first < end && IsBlankOrLineBreak(text[first])) ++first;
  std::size_t last = end;
  while (last > first && IsBlankOrLineBreak(text[last - 1])) --last;
  if (first < last && IsAsciiUpper(text[first])) {  // "Cancel", "Done."
    std::size_t i = first + 1;
    while (i < last && IsAsciiLower(text[i])) ++i;
    while (i < last && u".,:;!?"sv.find(text[i]) != kNoPosition) ++i;
    if (i == last) return;
  }
  text.Hide(first, last);
}

}  // namespace

// `code` and ``code`` on one line, backticks included: a string of backticks opens a span that
// the next string of at least as many on the line closes (with as many of its own), and a
// string that none closes is text. A line's strings that are longer than every one after them
// are listed first, from its end: the longest string after any place is the first of them after
// it, so a string that nothing closes is known at once rather than by a search to the line's end.
void HideBackticked(TextCursor text, std::size_t begin, std::size_t end) {
  const std::u16string_view part(text.data(), end);
  struct Backticks {
    std::size_t start;
    std::size_t length;
  };
  std::vector<Backticks> longer;  // from the line's end back, so each longer than the one before
  for (std::size_t line = FindAnyOf(part, begin, u'`'); line < end;) {
    const std::size_t line_end = NextLineFeed(part, line);
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
      text.Hide(i, close + ticks);
      i = close + ticks;
    }
    line = FindAnyOf(part, line_end, u'`');
  }
}

// Identifiers in prose: names with `_`, digits or inner capitals, and names that stand in a
// call or a member access (`run()`, `os.path`, `std::move`, `p->next`).
void HideCodeWords(TextCursor text, std::size_t begin, std::size_t end) {
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
        return k > begin && (IsIdentifierCharacter(part[k - 1]) || part[k - 1] == u'\'');
      };
      const auto next_mark = [&](std::size_t from) {
        return FindAnyOf(part, from, UnitRange{u'0', u'9'}, UnitRange{u'A', u'Z'}, u'_', u'(', u'.',
                         u':', u'-', u'>');
      };
      std::size_t mark = next_mark(i > begin ? i - 1 : i);
      while (mark < end && IsAsciiUpper(part[mark]) && !in_word(mark)) mark = next_mark(mark + 1);
      if (mark == end) break;
      std::size_t from = mark;
      while (from > i && in_word(from)) --from;
      i = std::max(i, from);
      marks_end = mark + 2;
    }
    if (!IsIdentifierCharacter(text[i])) {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    unsigned char roles = RolesOf(text[i]) & kCodeMark;  // a capital first is no camelCase
    while (j < end && (IsIdentifierCharacter(text[j]) ||
                       (text[j] == u'\'' && j + 1 < end && IsIdentifierCharacter(text[j + 1])))) {
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
                    (after[1] == u')' || (after[1] != u's' && after.substr(0, 3) != u"(es"sv)));
    code = code || (after.size() >= 2 && after[0] == u'.' && IsIdentifierCharacter(after[1]) &&
                    !(word.size() == 1 && after.size() == 3 && after[2] == u'.'));  // not e.g.
    code = code || (before1 == u'.' && IsIdentifierCharacter(before2) && word.size() > 1);
    code = code || after.substr(0, 2) == u"::"sv || after.substr(0, 2) == u"->"sv ||
           (before1 == u':' && before2 == u':') || (before1 == u'>' && before2 == u'-');
    if (code) text.Hide(i, j);
    i = j;
  }
}

// Hides the comment's markers and what inside it is code; `begin` is the marker's start.
void KeepComment(TextCursor text, std::size_t begin, std::size_t end, Fence& fence) {
  if (fence.Holds() && !fence.GoesOnAt(text, begin)) fence = Fence{};
  fence.comment_end = end;
  // Decoration: the markers (`//`, `/*`, `#`) and the `*` and `!` of doc-comment lines.
  const std::u16string_view comment(text.data(), end);
  std::size_t line = begin;
  while (line < end) {
    const std::size_t line_end = NextLineFeed(comment, line);
    std::size_t content = line;
    while (content < line_end &&
           (text[content] == u' ' || text[content] == u'\t' || text[content] == u'/' ||
            text[content] == u'*' || text[content] == u'!' || text[content] == u'#')) {
      ++content;
    }
    if (std::u16string_view(text).substr(content, 3) == u"```"sv) {
      fence.open = !fence.open;
      text.Hide(line, line_end);
    } else if (fence.open) {
      text.Hide(line, line_end);
    } else {
      text.Hide(line, content);
    }
    line = line_end + 1;
  }
  HideDocMarkup(text, begin, end, fence);
  HideUrls(text.text(), begin, end);
  HideDocTags(text, begin, end);
  HideBackticked(text, begin, end);
  HideCodeWords(text, begin, end);
}

// Whether text[begin, end) holds a blank between two other characters.
bool HasInnerBlank(std::u16string_view text, std::size_t begin, std::size_t end) {
  std::size_t first = begin;
  while (first < end && IsBlankOrLineBreak(text[first])) ++first;
  std::size_t last = end;
  while (last > first && IsBlankOrLineBreak(text[last - 1])) --last;
  return FindAnyOf(text.substr(0, last), first, u' ', u'\t', u'\n', u'\r') < last;
}

// Hides what inside a string literal's content [begin, end) is not prose. `written_spaced`: the
// content held a blank between two other characters before its interpolations or expansions
// were hidden (HasInnerBlank); such a string is a message, never a one-token key, even when
// placeholders leave a single word of it ("%d files", "{} necessary {}", "$n files").
void KeepStringContent(TextCursor text, std::size_t begin, std::size_t end, bool raw,
                       bool written_spaced) {
  // Blanks alone, as most often in a shell's "$1" once its expansion is hidden: nothing to read.
  if (std::all_of(text.data() + begin, text.data() + end, IsBlankOrLineBreak)) return;
  written_spaced = written_spaced || HasInnerBlank(text, begin, end);
  HideEscapesAndPlaceholders(text, begin, end, raw);
  HideUrls(text.text(), begin, end);
  HideCodeWords(text, begin, end);
  if (!written_spaced) HideTokenString(text, begin, end);
}

// Hides `${…}` (template literals) or `{…}` (f-strings, `{{` being a brace) in [begin, end).
void HideInterpolations(TextCursor text, std::size_t begin, std::size_t end, bool dollar) {
  const std::u16string_view part(text.data(), end);
  const char16_t opening = dollar ? u'$' : u'{';
  for (std::size_t i = FindAnyOf(part, begin, opening); i < end;
       i = FindAnyOf(part, i + 1, opening)) {
    if (dollar && UnitAt(text, i + 1) != u'{') continue;
    if (!dollar && UnitAt(text, i + 1) == u'{') {
      ++i;
      continue;
    }
    std::size_t j = i + (dollar ? 2 : 1);
    int depth = 1;
    for (; j < end && depth > 0; ++j) {
      if (text[j] == u'{') ++depth;
      if (text[j] == u'}') --depth;
    }
    text.Hide(i, j);
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

}  // namespace lexivane::frontend::code_prose
