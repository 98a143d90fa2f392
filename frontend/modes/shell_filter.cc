// The filter of shell scripts: comments, quoted strings and here-documents are prose, with
// their expansions hidden; strings given to commands that run them (`eval`, `trap`, `ssh`,
// `sh -c`) are code. A one-pass walk, as the other code filters.
#include <algorithm>
#include <array>
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
    } else if (c == u'`' ||
               (c == u'$' && (UnitAt(text, i + 1) == u'(' || UnitAt(text, i + 1) == u'{'))) {
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
      j = close_quote == kNoPosition ? text.size() : close_quote + 1;
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
void HideShellExpansions(TextCursor text, std::size_t begin, std::size_t end) {
  const std::u16string_view part(text.data(), end);
  for (std::size_t i = FindAnyOf(part, begin, u'\\', u'`', u'$'); i < end;
       i = FindAnyOf(part, i + 1, u'\\', u'`', u'$')) {
    const char16_t c = text[i];
    const char16_t next = UnitAt(text, i + 1);
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
               (IsAsciiDigit(next) || u"@*#?$!-"sv.find(next) != kNoPosition)) {
      j = i + 2;
    } else {
      continue;
    }
    text.Hide(i, j);
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
  if (UnitAt(text, j) == u'<') return j + 1;  // <<<: a here-string
  HereDocument doc{{}, true, false};
  if (UnitAt(text, j) == u'-') {
    doc.strip_tabs = true;
    ++j;
  }
  while (UnitAt(text, j) == u' ' || UnitAt(text, j) == u'\t') ++j;
  // A shift in arithmetic (`$((1 << n))`, `(( x <<= 2 ))`) is no here-document: a delimiter
  // starts with a letter, `_`, a quote or a backslash, and no `)` closes right after it.
  const char16_t first = UnitAt(text, j);
  if (!IsAsciiLetter(first) && first != u'_' && first != u'\'' && first != u'"' && first != u'\\') {
    return j;
  }
  while (j < text.size() && !IsBlankOrLineBreak(text[j]) &&
         u";&|()<>"sv.find(text[j]) == kNoPosition) {
    const char16_t c = text[j];
    if (c == u'\'' || c == u'"') {
      doc.expands = false;
      const std::size_t close = text.find(c, j + 1);
      const std::size_t stop = close == kNoPosition ? text.size() : close;
      doc.delimiter.append(text.substr(j + 1, stop - j - 1));
      j = close == kNoPosition ? stop : close + 1;
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
  while (UnitAt(text, after) == u' ' || UnitAt(text, after) == u'\t') ++after;
  if (!doc.delimiter.empty() && UnitAt(text, after) != u')') pending.push_back(std::move(doc));
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
      switch (KindOf(text[k])) {
        case Unit::kOfWord:
          if (word_ == kNoPosition) word_ = k;
          while (k + 1 < to && KindOf(text[k + 1]) == Unit::kOfWord) ++k;  // the rest of it
          break;
        case Unit::kBlank:
          EndWord(text, k);
          break;
        case Unit::kBreak:
          EndWord(text, k);
          named_ = runs_code_ = after_dash_c_ = false;
          break;
        case Unit::kBackslash:
          if (UnitAt(text, k + 1) == u'\n') {  // a line continued
            EndWord(text, k);
          } else if (word_ == kNoPosition) {  // an escaped character, part of a word
            word_ = k;
          }
          ++k;
          break;
      }
    }
    read_ = std::max(read_, to);
    return named_ && (runs_code_ || (after_dash_c_ && word_ == kNoPosition));
  }
  // The string that started where the code was read to ends at `end`: it is (part of) a word.
  void Word(std::size_t end) {
    if (word_ == kNoPosition) word_ = read_;
    read_ = end;
  }
  // A comment, or the bodies of here-documents, up to `at`: a command starts after them.
  void Restart(std::size_t at) {
    word_ = kNoPosition;
    named_ = runs_code_ = after_dash_c_ = false;
    read_ = at;
  }

 private:
  // What a unit of code is to the words of a command: most are of a word; blanks end one, and
  // the units that end a command too (`;`, `&`, `|`, parentheses, a line's end, a backquote).
  enum class Unit : unsigned char { kOfWord, kBlank, kBreak, kBackslash };
  static constexpr std::array<Unit, 128> kUnits = [] {
    std::array<Unit, 128> units{};
    for (const char c : {' ', '\t', '\r'}) units[static_cast<unsigned char>(c)] = Unit::kBlank;
    for (const char c : {';', '&', '|', '(', ')', '\n', '`'}) {
      units[static_cast<unsigned char>(c)] = Unit::kBreak;
    }
    units['\\'] = Unit::kBackslash;
    return units;
  }();
  static Unit KindOf(char16_t c) { return c < kUnits.size() ? kUnits[c] : Unit::kOfWord; }

  void EndWord(std::u16string_view text, std::size_t end) {
    if (word_ == kNoPosition) return;
    const std::u16string_view word = text.substr(word_, end - word_);
    word_ = kNoPosition;
    if (named_) {  // `-c`, or options ending in it: `-lc`, `-ec`
      after_dash_c_ = word.size() >= 2 && word.size() <= 5 && word[0] == u'-' &&
                      word.back() == u'c' &&
                      std::all_of(word.begin() + 1, word.end(), IsAsciiLetter<char16_t>);
      return;
    }
    if (LeadsToCommand(word) || IsAssignment(word)) return;
    named_ = true;
    const std::u16string_view name = word.substr(word.rfind(u'/') + 1);  // /usr/bin/ssh
    runs_code_ = name == u"trap"sv || name == u"eval"sv || name == u"ssh"sv;
  }

  // A word that a command's name follows: a keyword or a command that runs the next words.
  static bool LeadsToCommand(std::u16string_view word) {
    static constexpr std::u16string_view kPrefixes[] = {
        u"if", u"then", u"elif", u"else", u"do",      u"while",   u"until",
        u"!",  u"{",    u"time", u"exec", u"command", u"builtin", u"nohup"};
    // Most first words are none of them, as their length and first unit tell before a comparison.
    return !word.empty() &&
           std::any_of(std::begin(kPrefixes), std::end(kPrefixes), [word](std::u16string_view p) {
             return p.size() == word.size() && p.front() == word.front() && p == word;
           });
  }
  // `NAME=value`: a variable set for the command that follows.
  static bool IsAssignment(std::u16string_view word) {
    std::size_t equals = 0;
    while (equals < word.size() && IsIdentifierCharacter(word[equals])) ++equals;
    return equals > 0 && equals < word.size() && word[equals] == u'=';
  }

  std::size_t read_ = 0;            // the code before this is read
  std::size_t word_ = kNoPosition;  // the start of the word being read
  bool named_ = false;              // the command's name is read
  bool runs_code_ = false;          // it is trap, eval or ssh
  bool after_dash_c_ = false;       // the last word read was `-c`
};

}  // namespace

void KeepShellCommentsAndStrings(std::u16string& original, CodeIdentifiers identifiers) {
  const TextCursor text(original);
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
    text.Hide(content_end, end);
    const bool spaced = HasInnerBlank(text, content, content_end);
    if (expands) HideShellExpansions(text, content, content_end);
    KeepStringContent(text, content, content_end, false, spaced);
    code = end;
  };
  std::size_t i = 0;
  if (std::u16string_view(text).substr(0, 2) == u"#!"sv) i = NextLineFeed(text, 0);
  while (i < n) {
    // Only these characters may start something; a line's end only when here-documents wait.
    i = pending.empty() ? FindAnyOf(text, i, u'\\', u'#', u'\'', u'"', u'$', u'<')
                        : FindAnyOf(text, i, u'\n', u'\\', u'#', u'\'', u'"', u'$', u'<');
    if (i == n) break;
    const char16_t c = text[i];
    const char16_t next = UnitAt(text, i + 1);
    const char16_t before = i > 0 ? text[i - 1] : u'\n';
    if (c == u'\n' && !pending.empty()) {  // the bodies of the here-documents on this line
      std::size_t line = i + 1;
      for (const HereDocument& doc : pending) {
        const std::size_t body = line;
        std::size_t body_end = n;
        while (line < n) {
          const std::size_t line_end = NextLineFeed(text, line);
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
               (IsBlankOrLineBreak(before) || u";&|()"sv.find(before) != kNoPosition)) {
      // A block of comment lines at once, unless a here-document's body starts on the next.
      const std::size_t line_end = NextLineFeed(text, i);
      const std::size_t end = pending.empty() ? LineCommentsEnd(text, line_end, u'#') : line_end;
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

}  // namespace lexivane::frontend
