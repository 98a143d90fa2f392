// The filter of Python: comments, docstrings and string literals are prose; inside docstrings
// doctest lines, reST roles and fields and the names of parameter sections are code, and so are
// the replacement fields of f-strings. A one-pass walk, as the other code filters.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/modes/code_prose.h"
#include "frontend/modes/find_units.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

using namespace code_prose;  // NOLINT: the pieces every code filter is made of

namespace {

// The end of the names a docstring's parameter entry starts with, at `i`: `name`, `*args`, or
// more names after commas (`x, y`); `i` when there is none.
std::size_t ParameterNamesEnd(std::u16string_view text, std::size_t i, std::size_t end) {
  for (std::size_t start = i;;) {
    while (i < end && i < start + 2 && text[i] == u'*') ++i;
    if (i == end || !(IsAsciiLetter(text[i]) || text[i] == u'_')) return start;
    while (i < end && (IsIdentifierCharacter(text[i]) || text[i] == u'.')) ++i;
    if (text.substr(i, 2) != u", "sv) return i;
    start = i;
    i += 2;
  }
}

// Hides the names and types of the entries of a docstring's parameter sections in
// [begin, end): Google's (`Args:` over entries `name (type): text`, one a line, indented) and
// numpy's (`Parameters` over a line of dashes, then entries `name : type` at the same indent,
// each with its text on the lines below). The text of each entry is prose.
void HideDocstringParameters(TextCursor text, std::size_t begin, std::size_t end) {
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
    while (last > first && IsBlankOrLineBreak(text[last - 1])) --last;
    return docstring.substr(first, last - first);
  };
  enum class Section { kNoPosition, kGoogle, kNumpy } section = Section::kNoPosition;
  std::size_t section_indent = 0;
  std::size_t entry_indent = kNoPosition;
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
    if (underline.size() >= 3 && underline.find_first_not_of(u'-') == kNoPosition) {  // numpy
      section = is_section(content) ? Section::kNumpy : Section::kNoPosition;
      section_indent = indent;
      line = std::min(next_end + 1, end);
      continue;
    }
    if (content.back() == u':' && is_section(content.substr(0, content.size() - 1))) {
      section = Section::kGoogle;
      section_indent = indent;
      entry_indent = kNoPosition;
      line = next;
      continue;
    }
    if (section == Section::kGoogle && indent <= section_indent) section = Section::kNoPosition;
    if (section == Section::kNumpy && indent < section_indent) section = Section::kNoPosition;
    if (section == Section::kGoogle && entry_indent == kNoPosition) entry_indent = indent;
    const std::size_t names_end = ParameterNamesEnd(text, first, first + content.size());
    if (section == Section::kGoogle && indent == entry_indent && names_end > first) {
      std::size_t colon = names_end;
      if (text.substr(colon, 2) == u" ("sv) {  // name (int, optional): text
        colon = FindAnyOf(docstring.substr(0, line_end), colon, u':');
        while (colon < line_end && text[colon - 1] != u')') {
          colon = FindAnyOf(docstring.substr(0, line_end), colon + 1, u':');
        }
      }
      if (colon < line_end && text[colon] == u':') text.Hide(first, colon + 1);
    } else if (section == Section::kNumpy && indent == section_indent && names_end > first &&
               (names_end == first + content.size() || text.substr(names_end, 3) == u" : "sv)) {
      text.Hide(first, first + content.size());  // name : int, optional
    }
    line = next;
  }
}

}  // namespace

void KeepPythonCommentsAndStrings(std::u16string& original, CodeIdentifiers identifiers) {
  const TextCursor text(original);
  const auto hide_code = [&](std::size_t from, std::size_t to) {
    HideCode(text, from, to, identifiers, CodeLanguage::kPython);
  };
  const std::size_t n = text.size();
  Fence fence;
  LineEnds line_ends(text, LineSplices::kJoin);  // for one-line strings
  std::size_t code = 0;
  std::size_t i = 0;
  while (i < n) {
    // Only a `#` or a quote starts something.
    i = FindAnyOf(text, i, u'#', u'"', u'\'');
    if (i == n) break;
    const char16_t c = text[i];
    if (c == u'#') {
      const std::size_t end = NextLineFeed(text, i);
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
    if (prefix == 0 || !IsIdentifierCharacter(text[prefix - 1])) {
      for (std::size_t p = prefix; p < i; ++p) {
        raw = raw || text[p] == u'r' || text[p] == u'R';
        formatted = formatted || text[p] == u'f' || text[p] == u'F';
      }
    }
    const bool triple = UnitAt(text, i + 1) == c && UnitAt(text, i + 2) == c;
    const std::u16string close(triple ? 3 : 1, c);
    const std::size_t open_end = i + close.size();
    // A backslash keeps the next character in the string, raw or not.
    const std::size_t end = LiteralEnd(text, open_end, close, true, triple ? n : line_ends.Of(i));
    const bool closed = end >= open_end + close.size() &&
                        text.compare(end - close.size(), close.size(), close) == 0;
    const std::size_t content_end = closed ? end - close.size() : end;
    hide_code(code, open_end);
    text.Hide(content_end, end);
    const bool spaced = HasInnerBlank(text, open_end, content_end);
    if (formatted) HideInterpolations(text, open_end, content_end, false);
    if (triple) {  // docstrings: doctest lines (>>> and ...) and reST roles and fields
      const std::u16string_view docstring(text.data(), content_end);
      for (std::size_t line = open_end; line < content_end;) {
        const std::size_t line_end = NextLineFeed(docstring, line);
        std::size_t first = line;
        while (first < line_end && (text[first] == u' ' || text[first] == u'\t')) ++first;
        const std::u16string_view start = std::u16string_view(text).substr(first, 3);
        if (start == u">>>"sv || start == u"..."sv) text.Hide(line, line_end);
        line = line_end + 1;
      }
      for (std::size_t j = FindAnyOf(docstring, open_end, u':'); j < content_end;
           j = FindAnyOf(docstring, j + 1, u':')) {
        if (!IsAsciiLetter(UnitAt(text, j + 1)) ||
            (j > open_end && IsIdentifierCharacter(text[j - 1]))) {
          continue;
        }
        std::size_t k = j + 1;
        while (k < content_end && (IsIdentifierCharacter(text[k]) || text[k] == u' ') &&
               k < j + 48 && text[k] != u'\n')
          ++k;
        if (k < content_end && text[k] == u':') {  // :param name:, :func:
          text.Hide(j, k + 1);
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
