// The reStructuredText filter: the text a reader of the rendered page reads. Two walks: the
// first reads the blocks a line at a time (directives and their bodies, comments, literal
// blocks, targets, field names, section adornments and table borders); the second reads the
// inline markup of what is left (literals, roles, references, substitutions) a paragraph at a
// time, where a span may run over lines but never past a blank line.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "frontend/modes/code_prose.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

namespace {

using code_prose::IsIdentifierCharacter;

// Directives whose body (and argument) is code, data or a path, not prose.
constexpr std::array<std::u16string_view, 27> kCodeDirectives = {u"code",
                                                                 u"code-block",
                                                                 u"sourcecode",
                                                                 u"literalinclude",
                                                                 u"highlight",
                                                                 u"math",
                                                                 u"raw",
                                                                 u"include",
                                                                 u"parsed-literal",
                                                                 u"productionlist",
                                                                 u"toctree",
                                                                 u"autosummary",
                                                                 u"doctest",
                                                                 u"testcode",
                                                                 u"testoutput",
                                                                 u"testsetup",
                                                                 u"testcleanup",
                                                                 u"ipython",
                                                                 u"jupyter-execute",
                                                                 u"code-cell",
                                                                 u"graphviz",
                                                                 u"graph",
                                                                 u"digraph",
                                                                 u"uml",
                                                                 u"mermaid",
                                                                 u"plot",
                                                                 u"prompt"};
// Directives whose argument is prose (a title, the start of the body); the others' argument is
// a name, a path or a signature.
constexpr std::array<std::u16string_view, 17> kProseArgumentDirectives = {
    u"note",   u"warning", u"tip",       u"hint",       u"important", u"caution",
    u"danger", u"error",   u"attention", u"admonition", u"topic",     u"sidebar",
    u"rubric", u"seealso", u"todo",      u"replace",    u"container"};
// Roles whose text is prose (an explicit title, a term, a label on the screen); the text of any
// other role is a name, a path or code.
constexpr std::array<std::u16string_view, 17> kProseRoles = {u"ref",
                                                             u"doc",
                                                             u"term",
                                                             u"abbr",
                                                             u"emphasis",
                                                             u"strong",
                                                             u"title-reference",
                                                             u"title",
                                                             u"t",
                                                             u"dfn",
                                                             u"guilabel",
                                                             u"menuselection",
                                                             u"numref",
                                                             u"sub",
                                                             u"sup",
                                                             u"subscript",
                                                             u"superscript"};

template <std::size_t N>
bool IsIn(const std::array<std::u16string_view, N>& names, std::u16string_view name) {
  for (const std::u16string_view known : names) {
    if (known == name) return true;
  }
  return false;
}

// A character of a directive's or role's name (with its domain: `py:func`, `code-block`).
bool IsNameCharacter(char16_t c) {
  return IsAsciiAlnum(c) || c == u'-' || c == u'_' || c == u'.' || c == u'+' || c == u':';
}

// Whether [from, end) is an adornment: one punctuation character repeated (blanks allowed
// between runs, as a simple table's borders have them), or a grid table's border (`+--+==+`).
bool IsAdornment(TextCursor text, std::size_t from, std::size_t end) {
  while (end > from && IsBlankOrLineBreak(text[end - 1])) --end;
  if (end - from < 2) return false;
  const char16_t c = text[from];
  if (c >= 0x80 || IsAsciiAlnum(c) || IsBlank(c)) return false;
  bool grid = c == u'+';
  for (std::size_t i = from; i < end; ++i) {
    const char16_t u = text[i];
    if (u == c || (c == u'=' && IsBlank(u))) continue;
    if (grid && (u == u'-' || u == u'=' || u == u'+' || u == u':')) continue;
    return false;
  }
  return !(end - from == 2 && (c == u':' || c == u'.'));  // `::` and `..` are markup
}

// Where the text of a line starts: after a list item's bullet (`*`, `-`, `+`) or enumerator
// (`1.`, `#.`, `a)`, `(ii)`) and the blanks after it, or at `first`, the line's first character.
std::size_t TextColumn(TextCursor text, std::size_t first, std::size_t end) {
  std::size_t marker = first;
  if (text[first] == u'*' || text[first] == u'-' || text[first] == u'+') {
    marker = first + 1;
  } else {
    std::size_t i = text[first] == u'(' ? first + 1 : first;
    const std::size_t label = i;
    while (i < end && i - label < 8 && (IsAsciiAlnum(text[i]) || text[i] == u'#')) ++i;
    if (i > label && (text.At(i) == u'.' || text.At(i) == u')')) marker = i + 1;
  }
  if (marker == first || marker >= end || !IsBlank(text[marker])) return first;
  return text.SkipBlanks(marker, end);
}

// The block walk's state: a block to hide (a code directive's body, a comment, a literal
// block) over the lines indented deeper than `indent`, and a literal block that `::` announced.
struct HiddenBlock {
  bool open = false;
  std::size_t indent = 0;
};

// An explicit markup line `.. …` at `at` (its indent `indent`): hides its markup, and opens a
// hidden block when its body is code or a comment.
void ReadExplicitMarkup(TextCursor text, std::size_t at, std::size_t line_end, std::size_t indent,
                        HiddenBlock& hidden) {
  std::size_t pos = text.SkipBlanks(at + 2, line_end);
  const char16_t c = text.At(pos);
  if (c == u'_') {  // a hyperlink target: `.. _name: url`
    text.Hide(at, line_end);
    return;
  }
  if (c == u'[') {  // a footnote or citation: its label hidden, its text prose
    const std::size_t close = text.FindAnyOf(pos, line_end, u']');
    text.Hide(at, close + 1);
    return;
  }
  if (c == u'|') {  // a substitution definition: `.. |name| directive:: …`
    const std::size_t close = text.FindAnyOf(pos + 1, line_end, u'|');
    pos = text.SkipBlanks(close + 1, line_end);
  }
  std::size_t name_end = pos;
  while (name_end < line_end && IsNameCharacter(text[name_end]) &&
         !text.StartsWith(name_end, line_end, u"::")) {
    ++name_end;
  }
  const bool directive = name_end > pos && text.StartsWith(name_end, line_end, u"::");
  if (!directive) {  // a comment, with the lines indented under it
    text.Hide(at, line_end);
    hidden = {true, indent};
    return;
  }
  const std::u16string_view name = text.substr(pos, name_end - pos);
  const std::size_t argument = name_end + 2;
  if (IsIn(kCodeDirectives, name)) {
    text.Hide(at, line_end);
    hidden = {true, indent};
  } else {
    text.Hide(at, IsIn(kProseArgumentDirectives, name) ? argument : line_end);
  }
}

void HideBlocks(TextCursor text) {
  const std::size_t n = text.size();
  HiddenBlock hidden;
  bool literal_next = false;  // the paragraph before ended with `::`
  std::size_t literal_indent = 0;
  std::size_t doctest = kNoPosition;  // the indent of an open doctest block
  for (std::size_t line = 0; line < n;) {
    const std::size_t line_end = text.LineEnd(line);
    const std::size_t first = text.SkipBlanks(line, line_end);
    const bool blank = first == line_end || text[first] == u'\r';
    const std::size_t indent = first - line;
    std::size_t content_end = line_end;
    while (content_end > first && IsBlankOrLineBreak(text[content_end - 1])) --content_end;
    if (blank) {
      doctest = kNoPosition;
      line = line_end + 1;
      continue;
    }
    if (hidden.open && indent > hidden.indent) {
      text.Hide(line, line_end);
      line = line_end + 1;
      continue;
    }
    hidden.open = false;
    if (literal_next) {
      literal_next = false;
      if (indent > literal_indent) {
        hidden = {true, literal_indent};
        continue;  // this line is the block's first
      }
    }
    if (doctest != kNoPosition || text.StartsWith(first, line_end, u">>>")) {
      doctest = indent;
      text.Hide(line, line_end);
    } else if (text.StartsWith(first, line_end, u"..") &&
               (first + 2 == content_end || IsBlank(text[first + 2]))) {
      ReadExplicitMarkup(text, first, line_end, indent, hidden);
    } else if (IsAdornment(text, first, line_end)) {
      text.Hide(first, line_end);
    } else {
      if (text[first] == u':') {  // a field: `:name: text`
        const std::size_t close = text.FindAnyOf(first + 1, line_end, u':');
        if (close < line_end && close > first + 1 &&
            (close + 1 == content_end || IsBlank(text.At(close + 1)))) {
          text.Hide(first, close + 1);
        }
      }
      // A paragraph that ends with `::` announces a literal block.
      if (content_end - first >= 2 && text.substr(content_end - 2, 2) == u"::"sv) {
        literal_next = true;
        literal_indent = TextColumn(text, first, content_end) - line;
        text.Hide(content_end - 2, content_end);
      }
    }
    line = line_end + 1;
  }
}

// The end of the paragraph from `from`: the next blank line, or the text's end.
class ParagraphEnds {
 public:
  explicit ParagraphEnds(TextCursor text) : text_(text) {}
  std::size_t Of(std::size_t i) {
    if (i >= end_) {
      std::size_t line = text_.LineEnd(i);
      while (line < text_.size()) {
        const std::size_t next = text_.LineEnd(line + 1);
        const std::size_t first = text_.SkipBlanks(line + 1, next);
        if (first == next || text_[first] == u'\r') break;
        line = next;
      }
      end_ = line;
    }
    return end_;
  }

 private:
  TextCursor text_;
  std::size_t end_ = 0;
};

// Interpreted text at `open` (a backtick) up to its closing backtick at `close`, with the role
// [role, open) before it (empty for none): hides what a reader does not read.
void ReadInterpreted(TextCursor text, std::size_t role, std::size_t open, std::size_t close) {
  std::size_t end = close + 1;
  const bool reference = text.At(end) == u'_';
  if (reference) end += text.At(end + 1) == u'_' ? 2 : 1;
  const bool target = open > 0 && text[open - 1] == u'_' && role == open;  // _`inline target`
  const std::u16string_view role_name =
      role < open ? text.substr(role + 1, open - role - 2) : std::u16string_view();
  const std::size_t role_colon = role_name.rfind(u':');
  const std::u16string_view bare_role =
      role_colon == role_name.npos ? role_name : role_name.substr(role_colon + 1);
  if (!reference && !target && (role == open || !IsIn(kProseRoles, bare_role))) {
    text.Hide(role, end);  // code, a name or a path
    return;
  }
  text.Hide(target ? open - 1 : role, open + 1);
  text.Hide(close, end);
  // `title <target>`: the target is hidden, the title read.
  if (close > open + 1 && text[close - 1] == u'>') {
    const std::size_t angle = text.substr(open, close - open).rfind(u'<');
    if (angle != kNoPosition) text.Hide(open + angle, close);
  }
}

void HideInlineMarkup(TextCursor text) {
  const std::size_t n = text.size();
  ParagraphEnds paragraph_ends(text);
  code_prose::LineEnds line_ends(text);  // each line searched once, however many marks it holds
  constexpr std::size_t kLongestRole = 64;
  for (std::size_t i = text.FindAnyOf(0, n, u'`', u':', u'|', u'[', u'_'); i < n;
       i = text.FindAnyOf(i, n, u'`', u':', u'|', u'[', u'_')) {
    const char16_t c = text[i];
    const char16_t before = i > 0 ? text[i - 1] : u' ';
    const std::size_t line_end = line_ends.Of(i);
    if (c == u'`' && text.At(i + 1) == u'`') {  // ``literal``
      const std::size_t close = text.Find(u"``", i + 2, paragraph_ends.Of(i));
      if (close == kNoPosition) {
        i += 2;
        continue;
      }
      text.Hide(i, close + 2);
      i = close + 2;
    } else if (c == u'`' || c == u':') {
      // `:role:` is read forward, up to the backtick it must touch; a long name is no role.
      std::size_t open = i;
      if (c == u':') {
        if (IsIdentifierCharacter(before)) {
          ++i;
          continue;
        }
        std::size_t j = i + 1;
        while (j < line_end && j - i < kLongestRole && IsNameCharacter(text[j])) ++j;
        if (text.At(j) != u'`' || text[j - 1] != u':' || j < i + 3) {
          ++i;
          continue;
        }
        open = j;
      }
      const std::size_t close = text.FindAnyOf(open + 1, paragraph_ends.Of(open), u'`');
      if (close >= paragraph_ends.Of(open)) {
        if (open > i) text.Hide(i, open + 1);  // a role whose text never ends
        i = open + 1;
        continue;
      }
      ReadInterpreted(text, i, open, close);
      i = close + 1;
    } else if (c == u'|' && !IsBlankOrLineBreak(text.At(i + 1))) {  // |substitution|
      const std::size_t close = text.FindAnyOf(i + 1, line_end, u'|');
      if (close == line_end || IsBlank(text[close - 1])) {
        i = close;
        continue;
      }
      std::size_t end = close + 1;
      while (end < close + 3 && text.At(end) == u'_') ++end;
      text.Hide(i, end);
      i = end;
    } else if (c == u'[') {  // a footnote or citation reference: [1]_, [#note]_, [CIT2002]_
      const std::size_t limit = std::min(line_end, i + kLongestRole);
      const std::size_t close = text.FindAnyOf(i + 1, limit, u']');
      if (close < limit && text.At(close + 1) == u'_') text.Hide(i, close + 2);
      i = close < limit ? close + 1 : i + 1;
    } else {  // `name_` and `name__`: a reference's underscores
      std::size_t end = i + 1;
      if (text.At(end) == u'_') ++end;
      if (IsAsciiAlnum(before) && !IsIdentifierCharacter(text.At(end))) text.Hide(i, end);
      i = end;
    }
  }
}

}  // namespace

void HideRestructuredTextMarkup(std::u16string& original) {
  const TextCursor text(original);
  HideBlocks(text);
  HideInlineMarkup(text);
  HideUrls(original);
}

}  // namespace lexivane::frontend
