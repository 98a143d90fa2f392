// The filters of data files (YAML, TOML, JSON): keys, table names, numbers, booleans and
// punctuation are code; comments are prose, and so is a string value written as a message. A
// value is judged as the code modes judge a string literal (code_prose.h): one with a blank
// inside is prose, one token is a name or a setting and is hidden unless it is a capitalised
// word (`"Cancel"`), and escapes, placeholders, identifiers and addresses inside are hidden.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "frontend/modes/code_prose.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"

namespace lexivane::frontend {

using namespace code_prose;  // NOLINT: the pieces every code filter is made of

namespace {

// A string literal's content [begin, end) with its quotes at [quote, begin) and [end, close).
void KeepValue(TextCursor text, std::size_t quote, std::size_t begin, std::size_t end,
               std::size_t close, bool raw, bool key) {
  text.Hide(quote, begin);
  text.Hide(end, close);
  if (key) {
    text.Hide(begin, end);
  } else {
    KeepStringContent(text, begin, end, raw, false);
  }
}

// A quoted literal from its opening quote at `at`, with `quotes` units of quote (1, or 3 for
// TOML's strings over lines), over lines up to `limit`: where its content ends and it ends.
struct Literal {
  std::size_t content_end;
  std::size_t end;
};
Literal ReadLiteral(TextCursor text, std::size_t at, std::size_t quotes, bool escapes,
                    std::size_t limit) {
  const std::u16string close(quotes, text[at]);
  const std::size_t end = LiteralEnd(text, at + quotes, close, escapes, limit);
  const bool closed = end >= at + 2 * quotes && text.substr(end - quotes, quotes) == close;
  return {closed ? end - quotes : end, end};
}

// TOML and JSON: a walk over tokens. A string that a key separator follows (TOML's `=` or the
// `.` of a dotted key, JSON's `:`), or that stands in a TOML table's name, is a key.
void KeepTokenValues(std::u16string& original, bool toml) {
  const TextCursor text(original);
  const std::size_t n = text.size();
  Fence fence;
  int depth = 0;       // open brackets and braces of values: a `[` then starts no table name
  bool table = false;  // in a TOML table's name, up to the end of its line
  bool line_start = true;
  std::size_t code = 0;  // the start of the code not yet hidden
  LineEnds line_ends(text);
  const auto keep_comment = [&](std::size_t marker_end, std::size_t to) {
    text.Hide(code, marker_end);
    KeepComment(text, marker_end, to, fence);
    code = to;
  };
  std::size_t i = 0;
  while (i < n) {
    const char16_t c = text[i];
    if (c == u'\n') {
      table = false;
      line_start = true;
      ++i;
      continue;
    }
    if (line_start && !IsBlankOrLineBreak(c)) {
      line_start = false;
      table = toml && depth == 0 && c == u'[';
    }
    const char16_t next = text.At(i + 1);
    if (toml ? c == u'#' : c == u'/' && next == u'/') {
      const std::size_t end = text.LineEnd(i);
      keep_comment(i + (toml ? 1 : 2), end);
      i = end;
      continue;
    }
    if (!toml && c == u'/' && next == u'*') {
      const std::size_t close = text.Find(u"*/", i + 2, n);
      keep_comment(i + 2, close == kNoPosition ? n : close);
      i = close == kNoPosition ? n : close + 2;
      continue;
    }
    if (c == u'"' || (toml && c == u'\'')) {
      const bool triple = toml && text.StartsWith(i, n, std::u16string(3, c));
      const std::size_t quotes = triple ? 3 : 1;
      const Literal literal = ReadLiteral(text, i, quotes, c == u'"', triple ? n : line_ends.Of(i));
      std::size_t after = literal.end;
      while (after < n && (IsBlank(text[after]) || (!toml && IsLineBreak(text[after])))) ++after;
      const char16_t separator = text.At(after);
      const bool key = table || (toml ? separator == u'=' || separator == u'.' : separator == u':');
      text.Hide(code, i);
      KeepValue(text, i, i + quotes, literal.content_end, literal.end, c == u'\'', key);
      i = code = literal.end;
      continue;
    }
    if (!table && (c == u'[' || c == u'{')) ++depth;
    if (!table && (c == u']' || c == u'}') && depth > 0) --depth;
    ++i;
  }
  text.Hide(code, n);
}

// Keys whose values are commands (CI jobs, containers), hidden as code.
constexpr std::array<std::u16string_view, 9> kCommandKeys = {
    u"run",      u"script", u"before_script", u"after_script", u"command",
    u"commands", u"cmd",    u"entrypoint",    u"shell"};

bool IsCommandKey(std::u16string_view key) {
  for (const std::u16string_view known : kCommandKeys) {
    if (key == known) return true;
  }
  return false;
}

// Where a comment starts in [from, end) of a YAML line: a `#` at its start or after a blank.
std::size_t YamlCommentIn(TextCursor text, std::size_t from, std::size_t end) {
  for (std::size_t i = text.FindAnyOf(from, end, u'#'); i < end;
       i = text.FindAnyOf(i + 1, end, u'#')) {
    if (i == from || IsBlank(text[i - 1])) return i;
  }
  return end;
}

// The `:` that ends a plain key starting at `from` (a `:` before a blank or the line's end,
// before any comment), or kNoPosition.
std::size_t PlainKeyEnd(TextCursor text, std::size_t from, std::size_t end) {
  for (std::size_t i = from; i < end; ++i) {
    if (text[i] == u'#' && i > from && IsBlank(text[i - 1])) return kNoPosition;
    if (text[i] == u':' && (i + 1 == end || IsBlankOrLineBreak(text[i + 1]))) return i;
  }
  return kNoPosition;
}

// What the lines after a YAML line hold while they are indented deeper than it: a block scalar
// (`|`, `>`), prose or commands, or the nested value of a command key.
struct YamlBlock {
  bool open = false;
  bool prose = false;
  std::size_t indent = 0;
  std::size_t begin = 0;
  std::size_t end = 0;  // the end of its last line that is not blank
};

// Reads the YAML line [line, line_end) whose content starts `indent` blanks in; returns the end
// of the last line it read (a quoted value may go on over lines).
std::size_t KeepYamlLine(TextCursor text, std::size_t line, std::size_t line_end,
                         std::size_t indent, YamlBlock& block, int& flow_depth, Fence& fence) {
  std::size_t pos = line + indent;
  const auto hide_to = [&](std::size_t to) {
    text.Hide(pos, to);
    pos = text.SkipBlanks(to, line_end);
  };
  const auto keep_rest = [&] {  // a comment, or code, to the line's end
    const std::size_t comment = YamlCommentIn(text, pos, line_end);
    text.Hide(pos, comment);
    if (comment < line_end) KeepComment(text, comment, line_end, fence);
    return line_end;
  };
  const auto read_flow = [&] {  // a flow collection's brackets, strings and all, hidden
    for (std::size_t i = pos; i < line_end; ++i) {
      if (text[i] == u'[' || text[i] == u'{') ++flow_depth;
      if ((text[i] == u']' || text[i] == u'}') && --flow_depth == 0) {
        hide_to(i + 1);
        return keep_rest();
      }
    }
    text.Hide(pos, line_end);
    return line_end;
  };
  if (flow_depth > 0) return read_flow();
  if (indent == 0 && text[pos] == u'%') return keep_rest();  // a directive
  if (indent == 0 &&
      (text.StartsWith(pos, line_end, u"---") || text.StartsWith(pos, line_end, u"...")) &&
      (pos + 3 == line_end || IsBlankOrLineBreak(text[pos + 3]))) {
    hide_to(pos + 3);
  }
  while (pos < line_end && (text[pos] == u'-' || text[pos] == u'?') &&
         (pos + 1 == line_end || IsBlankOrLineBreak(text[pos + 1]))) {
    hide_to(pos + 1);
  }
  bool command = false;
  const char16_t first = text.At(pos);
  std::size_t key_end = kNoPosition;
  if (first == u'"' || first == u'\'') {
    const Literal key = ReadLiteral(text, pos, 1, first == u'"', line_end);
    const std::size_t after = text.SkipBlanks(key.end, line_end);
    if (text.At(after) == u':') key_end = after;
  } else if (pos < line_end && first != u'#' && first != u'[' && first != u'{') {
    key_end = PlainKeyEnd(text, pos, line_end);
  }
  if (key_end != kNoPosition) {
    command = IsCommandKey(text.substr(pos, key_end - pos));
    hide_to(key_end + 1);
  }
  // Anchors, aliases and tags before the value.
  while (pos < line_end && (text[pos] == u'&' || text[pos] == u'*' || text[pos] == u'!')) {
    hide_to(text.FindAnyOf(pos, line_end, u' ', u'\t'));
  }
  if (pos == line_end || text[pos] == u'#' || text[pos] == u'\r') {
    if (command) block = {true, false, indent, line_end, line_end};
    return keep_rest();
  }
  const char16_t c = text[pos];
  if (c == u'|' || c == u'>') {
    std::size_t header = pos + 1;
    while (header < line_end &&
           (IsAsciiDigit(text[header]) || text[header] == u'+' || text[header] == u'-')) {
      ++header;
    }
    hide_to(header);
    block = {true, !command, indent, line_end, line_end};
    return keep_rest();
  }
  if (c == u'[' || c == u'{') {
    flow_depth = 0;
    return read_flow();
  }
  if (c == u'"' || c == u'\'') {
    const Literal literal = ReadLiteral(text, pos, 1, c == u'"', text.size());
    KeepValue(text, pos, pos + 1, literal.content_end, literal.end, c == u'\'', command);
    pos = literal.end;
    line_end = text.LineEnd(pos);
    return keep_rest();
  }
  const std::size_t value_end = YamlCommentIn(text, pos, line_end);
  if (command) {
    text.Hide(pos, value_end);
  } else {
    KeepStringContent(text, pos, value_end, true, false);
  }
  pos = value_end;
  return keep_rest();
}

}  // namespace

void KeepTomlProse(std::u16string& text) {
  KeepTokenValues(text, true);
}
void KeepJsonProse(std::u16string& text) {
  KeepTokenValues(text, false);
}

// YAML, a line at a time: its indentation, the markers of documents and sequences, a key, then
// a value (quoted, plain, a block scalar over the lines indented deeper, or a flow collection,
// hidden) and a comment.
void KeepYamlProse(std::u16string& original) {
  const TextCursor text(original);
  const std::size_t n = text.size();
  Fence fence;
  YamlBlock block;
  int flow_depth = 0;
  const auto close_block = [&] {
    if (block.prose) KeepStringContent(text, block.begin, block.end, true, false);
    block.open = false;
  };
  std::size_t line = 0;
  while (line < n) {
    const std::size_t line_end = text.LineEnd(line);
    const std::size_t first = text.SkipBlanks(line, line_end);
    const bool blank = first == line_end || text[first] == u'\r';
    if (block.open && (blank || first - line > block.indent)) {
      if (!block.prose) text.Hide(line, line_end);
      if (!blank) block.end = line_end;
      line = line_end + 1;
    } else {
      if (block.open) close_block();
      line = blank ? line_end + 1
                   : KeepYamlLine(text, line, line_end, first - line, block, flow_depth, fence) + 1;
    }
  }
  if (block.open) close_block();
}

}  // namespace lexivane::frontend
