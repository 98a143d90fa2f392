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
#include "support/utf16.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

using namespace code_prose;  // NOLINT: the pieces every code filter is made of

namespace {

// What a preprocessor line does with its text: most lines are code, strings and all, but some
// show a message: `#pragma message("…")` (and `#pragma GCC warning "…"`) its strings, `#error`
// and `#warning` the rest of their line, quoted or not.
enum class DirectiveKind { kCode, kMessageStrings, kMessageLine };

// The kind of the preprocessor line whose `#` is at `hash`; `rest` gets where the text of an
// `#error` or `#warning` starts.
DirectiveKind ReadDirective(std::u16string_view text, std::size_t hash, std::size_t line_end,
                            std::size_t& rest) {
  std::size_t at = hash + 1;
  const auto next_word = [&] {
    while (at < line_end && (text[at] == u' ' || text[at] == u'\t')) ++at;
    const std::size_t start = at;
    while (at < line_end && IsAsciiLetter(text[at])) ++at;
    return text.substr(start, at - start);
  };
  std::u16string_view name = next_word();
  if (name == u"error"sv || name == u"warning"sv) {
    while (at < line_end && (text[at] == u' ' || text[at] == u'\t')) ++at;
    rest = at;
    return DirectiveKind::kMessageLine;
  }
  if (name != u"pragma"sv) return DirectiveKind::kCode;
  name = next_word();
  if (name == u"GCC"sv || name == u"clang"sv) name = next_word();
  return name == u"message"sv || name == u"warning"sv || name == u"error"sv
             ? DirectiveKind::kMessageStrings
             : DirectiveKind::kCode;
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
// `#` only after an `r` (a Rust raw string, which starts at the `r`), a `@` only before a quote
// (C# verbatim).
bool StartsCFamilyToken(std::u16string_view text, std::size_t i) {
  const char16_t c = text[i];
  if (c == u'#') return i > 0 && text[i - 1] == u'r';
  if (c == u'@') return UnitAt(text, i + 1) == u'"';
  return true;
}

// The walk over one text. Run reads it token by token; each step is given the token's first unit
// and returns where the token ends, or kNotAToken when the unit starts none after all, and the
// walk goes on past it. `code_` is the start of the code not hidden yet: a step that keeps a
// comment or a literal hides the code before it.
class CFamilyWalk {
 public:
  CFamilyWalk(std::u16string& text, CodeIdentifiers identifiers)
      : text_(text),
        identifiers_(identifiers),
        n_(text.size()),
        line_ends_(text, LineSplices::kJoin),
        character_ends_(text) {}

  void Run() {
    std::size_t i = 0;
    while (i < n_) {
      if (!line_start_) {  // inside a line, only these characters may start something
        while ((i = FindAnyOf(text_, i, u'\n', u'/', u'"', u'\'', u'`', u'#', u'@')) < n_ &&
               !StartsCFamilyToken(text_, i)) {
          ++i;
        }
        if (i == n_) break;
        // A Rust raw string starts at the `r` before its `"` or `#`: looked for at the quote
        // or hash, since the letter is everywhere in code.
        if (i > 0 && text_[i - 1] == u'r' && (text_[i] == u'"' || text_[i] == u'#')) {
          const std::size_t end = Step(i - 1);
          if (end != kNotAToken) {
            i = end;
            continue;
          }
          if (text_[i] == u'#') {
            ++i;
            continue;
          }
        }
      }
      const std::size_t end = Step(i);
      i = end == kNotAToken ? i + 1 : end;
    }
    HideCodeUpTo(n_);
  }

 private:
  static constexpr std::size_t kNotAToken = kNoPosition;

  std::size_t Step(std::size_t i) {
    const char16_t c = text_[i];
    if (c == u'\n') return NextLine(i);
    if (line_start_ && c == u'#') {
      const std::size_t end = Directive(i);
      if (end != kNotAToken) return end;
    }
    if (c != u' ' && c != u'\t' && c != u'\r') line_start_ = false;
    const char16_t next = UnitAt(text_, i + 1);
    if (c == u'/' && (next == u'/' || next == u'*')) return Comment(i);
    if (c == u'@') return next == u'"' ? VerbatimString(i) : kNotAToken;
    if (c != u'"' && c != u'\'' && c != u'`' && c != u'r') return kNotAToken;
    if (c == u'r' && next != u'#' && next != u'"') return kNotAToken;
    // The letters right before a quote: R (C++ raw), u8, L...
    std::size_t prefix = i;
    while (prefix > code_ &&
           (IsAsciiLetter(text_[prefix - 1]) || IsAsciiDigit(text_[prefix - 1]))) {
      --prefix;
    }
    const bool prefix_free = prefix == 0 || !IsIdentifierCharacter(text_[prefix - 1]);
    const std::u16string_view letters = text_.substr(prefix, i - prefix);
    if (c == u'r') {
      const bool raw = prefix_free && (letters.empty() || letters == u"b"sv || letters == u"c"sv);
      return raw ? RustRawString(i) : kNotAToken;
    }
    if (c == u'"') return DoubleQuoted(i, prefix_free, letters);
    if (c == u'`') return TemplateLiteral(i);
    return SingleQuoted(i, letters);
  }

  // A line feed: whether the next line goes on with a preprocessor line, and its indentation.
  std::size_t NextLine(std::size_t i) {
    const char16_t before = i > 0 ? text_[i - 1] : 0;
    const bool continued = (before == u'\\') || (before == u'\r' && i > 1 && text_[i - 2] == u'\\');
    directive_ = directive_ && continued;
    line_start_ = true;
    ++i;
    while (i < n_ && (text_[i] == u' ' || text_[i] == u'\t' || text_[i] == u'\r')) ++i;
    return i;
  }

  // A `#` that starts a line: whether its strings are code, and the message of an `#error Not
  // supported` kept whole; kNotAToken unless the line was read to its end.
  std::size_t Directive(std::size_t hash) {
    std::size_t rest = hash;
    const std::size_t line_end = line_ends_.Of(hash);
    const DirectiveKind kind = ReadDirective(text_, hash, line_end, rest);
    directive_ = kind == DirectiveKind::kCode;
    if (kind != DirectiveKind::kMessageLine || UnitAt(text_, rest) == u'"') return kNotAToken;
    line_start_ = false;
    KeepString(rest, line_end, line_end, false);
    return line_end;
  }

  // `//` to its line's end, with the lines a backslash splices to it as C does; `/*` only to its
  // `*/`: many such comments may share one line.
  std::size_t Comment(std::size_t i) {
    std::size_t content_end;
    std::size_t end;
    if (text_[i + 1] == u'*') {
      std::size_t close = i + 2;
      while ((close = FindAnyOf(text_, close, u'*')) + 1 < n_ && text_[close + 1] != u'/') ++close;
      if (close + 1 >= n_) close = kNoPosition;
      content_end = close == kNoPosition ? n_ : close;
      end = close == kNoPosition ? n_ : close + 2;
    } else {
      content_end = end = SplicedLineEnd(text_, i);
    }
    HideCodeUpTo(i);
    text_.Hide(content_end, end);
    KeepComment(text_, i, content_end, fence_);
    code_ = end;
    return end;
  }

  // Rust r"…", r#"…"#, br#"…"#: to a quote and as many `#` as opened.
  std::size_t RustRawString(std::size_t i) {
    std::size_t j = i + 1;
    while (j < n_ && text_[j] == u'#') ++j;
    if (j == n_ || text_[j] != u'"') return kNotAToken;
    std::u16string close(j - i, u'#');
    close.front() = u'"';
    const std::size_t end = LiteralEnd(text_, j + 1, close, false, n_);
    const bool closed = text_.compare(end - close.size(), close.size(), close) == 0 && end > j;
    KeepString(j + 1, closed ? end - close.size() : end, end, true);
    return end;
  }

  // C# @"…", in which "" is a quote.
  std::size_t VerbatimString(std::size_t i) {
    std::size_t j = i + 2;
    while (j < n_ && !(text_[j] == u'"' && UnitAt(text_, j + 1) != u'"')) {
      j += text_[j] == u'"' ? 2 : 1;
    }
    const std::size_t end = j < n_ ? j + 1 : n_;
    KeepString(i + 2, j < n_ ? j : n_, end, true);
    return end;
  }

  // """…""" (C#, Java, Kotlin, Swift) to as many quotes, C++'s R"delim(…)delim", or "…" to
  // its quote on the same line.
  std::size_t DoubleQuoted(std::size_t i, bool prefix_free, std::u16string_view letters) {
    std::size_t quotes = 0;
    while (i + quotes < n_ && text_[i + quotes] == u'"') ++quotes;
    if (quotes >= 3) {
      const std::u16string close(quotes, u'"');
      const std::size_t end = LiteralEnd(text_, i + quotes, close, false, n_);
      const bool closed = end >= i + 2 * quotes && text_.compare(end - quotes, quotes, close) == 0;
      KeepString(i + quotes, closed ? end - quotes : end, end, false);
      return end;
    }
    const bool cpp_raw = prefix_free && !letters.empty() && letters.back() == u'R' &&
                         (letters == u"R"sv || letters == u"u8R"sv || letters == u"uR"sv ||
                          letters == u"UR"sv || letters == u"LR"sv);
    if (cpp_raw) {
      const std::size_t paren = text_.substr(0, std::min(n_, i + 18)).find(u'(', i);
      if (paren != kNoPosition) {
        std::u16string close(1, u')');  // ")", the delimiter, a quote
        close.append(text_.substr(i + 1, paren - i - 1)).push_back(u'"');
        const std::size_t end = LiteralEnd(text_, paren + 1, close, false, n_);
        const bool closed = text_.compare(end - close.size(), close.size(), close) == 0 &&
                            end >= paren + 1 + close.size();
        KeepString(paren + 1, closed ? end - close.size() : end, end, true);
        return end;
      }
    }
    const std::size_t end = LiteralEnd(text_, i + 1, u"\"", true, line_ends_.Of(i));
    const bool closed = end > i + 1 && text_[end - 1] == u'"';
    KeepString(i + 1, closed ? end - 1 : end, end, false);
    return end;
  }

  // Template literals (JS, TS) with their ${…} hidden, and Go's raw strings.
  std::size_t TemplateLiteral(std::size_t i) {
    const std::size_t end = LiteralEnd(text_, i + 1, u"`", true, n_);
    const bool closed = end > i + 1 && text_[end - 1] == u'`';
    const bool spaced = HasInnerBlank(text_, i + 1, closed ? end - 1 : end);
    HideInterpolations(text_, i + 1, closed ? end - 1 : end, true);
    KeepString(i + 1, closed ? end - 1 : end, end, false, spaced);
    return end;
  }

  // A single quote: a digit separator (1'000), a Rust lifetime or label ('a, 'static, 'outer:),
  // a character literal (code, hidden with what follows), or a string (JavaScript).
  std::size_t SingleQuoted(std::size_t i, std::u16string_view letters) {
    const char16_t before = i > 0 ? text_[i - 1] : 0;
    if (IsAsciiDigit(before) ||
        (IsIdentifierCharacter(before) && letters.size() != 1 && letters != u"u8"sv)) {
      return kNotAToken;
    }
    std::size_t name_end = i + 1;
    while (name_end < n_ && IsIdentifierCharacter(text_[name_end])) ++name_end;
    const char16_t after_name = UnitAt(text_, name_end);
    if (name_end > i + 1 && after_name != u'\'' &&
        (before == u'&' || before == u'<' || u">,:;)+{="sv.find(after_name) != kNoPosition)) {
      return kNotAToken;
    }
    const std::size_t line_end = line_ends_.Of(i);
    const std::size_t end = character_ends_.Of(i + 1, line_end);
    if (end == line_end && (end == i + 1 || text_[end - 1] != u'\'')) {
      return kNotAToken;  // no closing quote on the line: not a literal
    }
    const std::u16string_view content = text_.substr(i + 1, end - i - 2);
    const bool character =
        content.size() <= 1 || (content.size() == 2 && support::IsLeadSurrogate(content[0])) ||
        (content[0] == u'\\' && content.find(u' ') == kNoPosition && content.size() <= 12);
    if (!character) KeepString(i + 1, end - 1, end, false);
    return end;
  }

  void HideCodeUpTo(std::size_t end) {
    HideCode(text_, code_, end, identifiers_, CodeLanguage::kCFamily);
  }

  // Keeps [content, content_end) as a literal's content; the rest of [code_, end) is code.
  void KeepString(std::size_t content, std::size_t content_end, std::size_t end, bool raw,
                  bool written_spaced = false) {
    content_end = std::max(content, content_end);
    HideCodeUpTo(content);
    text_.Hide(content_end, end);
    if (directive_) {
      text_.Hide(content, content_end);
    } else {
      KeepStringContent(text_, content, content_end, raw, written_spaced);
    }
    code_ = end;
  }

  const TextCursor text_;
  const CodeIdentifiers identifiers_;
  const std::size_t n_;
  Fence fence_;
  LineEnds line_ends_;
  CharacterLiteralEnds character_ends_;
  std::size_t code_ = 0;
  bool line_start_ = true;
  bool directive_ = false;  // in a preprocessor line that shows no message: its strings are code
};

}  // namespace

void KeepCFamilyCommentsAndStrings(std::u16string& text, CodeIdentifiers identifiers) {
  CFamilyWalk(text, identifiers).Run();
}

}  // namespace lexivane::frontend
