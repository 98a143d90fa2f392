// The filter of Kconfig files, the configuration menus of the Linux kernel and of the projects
// that took its language (U-Boot, Zephyr, Buildroot, BusyBox, coreboot): what a menu shows is
// prose (the prompt of a `bool`, `tristate`, `string`, `int`, `hex`, `prompt`, `menu`, `comment`
// or `mainmenu` line, and the help text under `help`), and so are `#` comments. Symbol names,
// dependencies, defaults and sourced paths are hidden.
//
// A help text runs over the lines after `help` (or `---help---`) that are indented at least as
// far as its first line, blank lines included, as the language reads it.
#include <cstddef>
#include <string>
#include <string_view>

#include "frontend/modes/code_prose.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

using namespace code_prose;  // NOLINT: the pieces every code filter is made of

namespace {

// The keywords whose first quoted string is what the menu shows.
constexpr std::u16string_view kPromptKeywords[] = {
    u"bool", u"tristate", u"string", u"int", u"hex", u"prompt", u"menu", u"comment", u"mainmenu",
};

bool IsPromptKeyword(std::u16string_view word) {
  for (const std::u16string_view keyword : kPromptKeywords) {
    if (word == keyword) return true;
  }
  return false;
}

// The width of a line's indentation, a tab reaching the next multiple of 8.
std::size_t IndentWidth(TextCursor text, std::size_t line, std::size_t content) {
  std::size_t width = 0;
  for (std::size_t i = line; i < content; ++i)
    width = text[i] == u'\t' ? (width / 8 + 1) * 8 : width + 1;
  return width;
}

// A line that is not help text: its prompt string and `#` comment kept, the rest hidden.
// Returns whether it opens a help text.
bool KeepMenuLine(TextCursor text, std::size_t content, std::size_t line_end, Fence& fence) {
  std::size_t word_end = content;
  while (word_end < line_end && !IsBlankOrLineBreak(text[word_end]) && text[word_end] != u'"' &&
         text[word_end] != u'#') {
    ++word_end;
  }
  const std::u16string_view keyword = text.substr(content, word_end - content);
  const bool prompt = IsPromptKeyword(keyword);
  const bool opens_help = keyword == u"help"sv || keyword == u"---help---"sv;
  bool string_kept = false;
  std::size_t code = content;  // the start of what is still to hide
  for (std::size_t i = word_end; i < line_end; ++i) {
    const char16_t c = text[i];
    if (c == u'"' || c == u'\'') {
      const std::size_t close = LiteralEnd(text, i + 1, std::u16string(1, c), true, line_end);
      if (prompt && !string_kept) {
        text.Hide(code, i + 1);
        const std::size_t content_end = text[close - 1] == c && close > i + 1 ? close - 1 : close;
        KeepStringContent(text, i + 1, content_end, false, false);
        code = content_end;
        string_kept = true;
      }
      i = close - 1;
    } else if (c == u'#') {
      text.Hide(code, i);
      KeepComment(text, i, line_end, fence);
      return opens_help;
    }
  }
  text.Hide(code, line_end);
  return opens_help;
}

}  // namespace

void KeepKconfigProse(std::u16string& original) {
  const TextCursor text(original);
  const std::size_t n = text.size();
  Fence fence;
  bool after_help = false;  // the lines since a `help` line, until its text ends
  std::size_t help_line_indent = 0;
  std::size_t help_indent = kNoPosition;  // the first help line's indentation, once met
  for (std::size_t line = 0; line < n;) {
    const std::size_t line_end = text.LineEnd(line);
    std::size_t content = line;
    while (content < line_end && (IsBlank(text[content]) || text[content] == u'\r')) ++content;
    if (content == line_end) {  // a blank line ends nothing
      line = line_end + 1;
      continue;
    }
    const std::size_t indent = IndentWidth(text, line, content);
    // A help text is indented past its `help`; a line that is not leaves it empty.
    if (after_help && help_indent == kNoPosition && indent > help_line_indent) help_indent = indent;
    if (after_help && help_indent != kNoPosition && indent >= help_indent) {
      KeepComment(text, line, line_end, fence);
    } else {
      after_help = KeepMenuLine(text, content, line_end, fence);
      help_line_indent = indent;
      help_indent = kNoPosition;
      text.Hide(line, content);
    }
    line = line_end + 1;
  }
}

}  // namespace lexivane::frontend
