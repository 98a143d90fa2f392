// The filter of the C family (C, C++, Java, JavaScript, TypeScript, Rust, Go, C#, Swift): its
// comments and string literals are prose, found as the language's own scanner finds them (raw
// strings, template literals, character literals and lifetimes, preprocessor lines).
//
// The walk is one pass over the text: nothing ever goes back further than the start of the
// token being read. A comment or string never closed runs to the end of the text (block
// comments, multi-line strings) or of the line (one-line strings), as a compiler reads it.
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

using namespace code_prose;  // NOLINT: the pieces every code filter is made of

namespace {

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
  std::size_t unclosed_limit_ = kNoPosition;
};

// Whether one of the characters that may start something in a line of C-family code does: a
// `r` only before `#` or a quote (Rust raw strings), a `@` only before a quote (C# verbatim).
bool StartsCFamilyToken(std::u16string_view text, std::size_t i) {
  const char16_t c = text[i];
  if (c == u'r') return UnitAt(text, i + 1) == u'#' || UnitAt(text, i + 1) == u'"';
  if (c == u'@') return UnitAt(text, i + 1) == u'"';
  return true;
}

}  // namespace

void KeepCFamilyCommentsAndStrings(std::u16string& original, CodeIdentifiers identifiers) {
  const TextCursor text(original);
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
    text.Hide(content_end, end);
    if (directive) {
      text.Hide(content, content_end);
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
    const char16_t next = UnitAt(text, i + 1);
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
      if (kind == Directive::kMessageLine && UnitAt(text, rest) != u'"') {  // #error Not supported
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
        if (close + 1 >= n) close = kNoPosition;
        content_end = close == kNoPosition ? n : close;
        end = close == kNoPosition ? n : close + 2;
      } else {
        content_end = end = NextLineFeed(text, i);
      }
      hide_code(code, i);
      text.Hide(content_end, end);
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
    const bool prefix_free = prefix == 0 || !IsIdentifierCharacter(text[prefix - 1]);
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
      while (j < n && !(text[j] == u'"' && UnitAt(text, j + 1) != u'"'))
        j += text[j] == u'"' ? 2 : 1;
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
        if (paren != kNoPosition) {
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
        (IsIdentifierCharacter(before) && letters.size() != 1 && letters != u"u8")) {
      ++i;
      continue;
    }
    std::size_t name_end = i + 1;
    while (name_end < n && IsIdentifierCharacter(text[name_end])) ++name_end;
    const char16_t after_name = UnitAt(text, name_end);
    if (name_end > i + 1 && after_name != u'\'' &&
        (before == u'&' || before == u'<' ||
         std::u16string_view(u">,:;)+{=").find(after_name) != kNoPosition)) {
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
        (content[0] == u'\\' && content.find(u' ') == kNoPosition && content.size() <= 12);
    if (character) {
      i = end;  // code: hidden with what follows
      continue;
    }
    keep_string(i + 1, end - 1, end, false);
    i = end;
  }
  hide_code(code, n);
}

}  // namespace lexivane::frontend
