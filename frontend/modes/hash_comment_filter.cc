// The filter of languages whose comments start with `#` (Ruby, Perl, Makefiles, Dockerfiles,
// CMake with its bracket comments), and of those that have another marker beside it (m4's and
// autoconf's `dnl`, INI's `;`): only the comments are prose. Quotes are read only so that a
// comment marker inside a string starts no comment.
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

enum class CommentMarkers {
  kHash,
  kHashAndDnl,        // m4: `dnl` as a word, to the end of its line
  kHashAndSemicolon,  // INI: `;` where `#` may start a comment
};

// The length of the marker of a comment that starts at `i` (a word `dnl`, a `;` that starts a
// line or follows a blank), or 0; `before` is the character before it, a blank at a line's start.
std::size_t OtherMarkerAt(TextCursor text, std::size_t i, std::size_t line_end, char16_t before,
                          CommentMarkers markers) {
  if (markers == CommentMarkers::kHashAndSemicolon) {
    return text[i] == u';' && IsBlankOrLineBreak(before) ? 1 : 0;
  }
  if (markers == CommentMarkers::kHashAndDnl && text[i] == u'd' &&
      text.StartsWith(i, line_end, u"dnl") && !IsIdentifierCharacter(before) &&
      !IsIdentifierCharacter(text.At(i + 3))) {
    return 3;
  }
  return 0;
}

void KeepComments(std::u16string& original, CodeIdentifiers identifiers, CommentMarkers markers) {
  const TextCursor text(original);
  const auto hide_code = [&](std::size_t from, std::size_t to) {
    HideCode(text, from, to, identifiers, CodeLanguage::kHash);
  };
  const std::size_t n = text.size();
  Fence fence;
  LineEnds line_ends(text);  // a line may go on after a bracket comment
  std::size_t line = 0;
  if (std::u16string_view(text).substr(0, 2) == u"#!"sv) {
    line = NextLineFeed(text, 0);
    text.Hide(0, line);
  }
  while (line < n) {
    const std::size_t line_end = line_ends.Of(line);
    std::size_t comment = kNoPosition;
    std::size_t other_marker = 0;  // the length of a marker other than `#`
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
      if ((c == u'"' || c == u'\'') && !IsIdentifierCharacter(before) && before != u'\\') {
        // A quote that is not closed on the line (an apostrophe, a string that goes on) is
        // left alone, so that a comment after it is still found.
        const std::size_t close =
            LiteralEnd(text, i + 1, std::u16string(1, c), c == u'"', line_end);
        if (close > i + 1 && text[close - 1] == c && close <= line_end) {
          quote = c;
        }
        continue;
      }
      if (c == u'#' && (IsBlankOrLineBreak(before) || before == u';' || i == line)) {
        comment = i;
        break;
      }
      if (markers != CommentMarkers::kHash) {
        other_marker = OtherMarkerAt(text, i, line_end, before, markers);
        if (other_marker > 0) {
          comment = i;
          break;
        }
      }
    }
    if (comment == kNoPosition) {
      hide_code(line, line_end);
      line = line_end + 1;
      continue;
    }
    hide_code(line, comment);
    std::size_t end = line_end;
    if (other_marker > 0) {
      text.Hide(comment, comment + other_marker);
      KeepComment(text, comment + other_marker, end, fence);
      line = end + 1;
      continue;
    }
    // CMake's #[[…]] and #[=[…]=]: bracket comments over lines.
    if (UnitAt(text, comment + 1) == u'[') {
      std::size_t j = comment + 2;
      while (j < n && text[j] == u'=') ++j;
      if (j < n && text[j] == u'[') {
        std::u16string close(j - comment, u'=');  // "]", as many "=" as opened, "]"
        close.front() = close.back() = u']';
        const std::size_t found = std::u16string_view(text).find(close, j + 1);
        end = found == kNoPosition ? n : found + close.size();
        text.Hide(comment, j + 1);
        if (found != kNoPosition) text.Hide(found, end);
        KeepComment(text, j + 1, found == kNoPosition ? n : found, fence);
        line = end;
        continue;
      }
    }
    KeepComment(text, comment, end, fence);
    line = end + 1;
  }
}

}  // namespace

void KeepHashComments(std::u16string& text, CodeIdentifiers identifiers) {
  KeepComments(text, identifiers, CommentMarkers::kHash);
}
void KeepM4Comments(std::u16string& text, CodeIdentifiers identifiers) {
  KeepComments(text, identifiers, CommentMarkers::kHashAndDnl);
}
void KeepIniComments(std::u16string& text, CodeIdentifiers identifiers) {
  KeepComments(text, identifiers, CommentMarkers::kHashAndSemicolon);
}

}  // namespace lexivane::frontend
