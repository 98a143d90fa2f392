// The Markdown filter (CommonMark with the common extensions): front matter, fenced and indented
// code, code spans, link and image targets, autolinks and bare addresses, footnote marks,
// emphasis and table pipes hidden; HTML blocks and inline HTML read by the HTML scanner
// (html_markup.h), the inline HTML asking for complete tags only.
//
// Every search either moves the scan forward past what it read or stops at a character that a
// later search starts from (the next `<`, a blank line, a bounded length), and a search that
// found no end remembers it, so the filter stays linear in the text however odd the input.
#include <unicode/uchar.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/modes/html_markup.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

namespace {

using html::DecodeReference;
using html::HtmlScanner;
using html::IsHtmlSpace;
using html::IsOneOfNoCase;

// The ASCII punctuation a backslash escapes: the escaped character stands for itself.
constexpr AsciiSet kEscapable("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");

// A letter or digit of any script; half a surrogate pair counts, which errs on keeping words.
bool IsLetterOrDigit(char16_t c) {
  return IsAsciiAlnum(c) || (c >= 0x80 && (u_isalnum(c) || (c >= 0xD800 && c <= 0xDFFF)));
}

// The width of the blanks text[from, ...) starts with, a tab reaching the next multiple of 4,
// and where they end.
std::size_t Indent(std::u16string_view text, std::size_t from, std::size_t end, std::size_t* at) {
  std::size_t width = 0;
  std::size_t i = from;
  for (; i < end && (text[i] == u' ' || text[i] == u'\t'); ++i) {
    width = text[i] == u'\t' ? width + 4 - width % 4 : width + 1;
  }
  *at = i;
  return width;
}

bool IsBlankLine(std::u16string_view text, std::size_t from, std::size_t end) {
  std::size_t at;
  Indent(text, from, end, &at);
  return at == end;
}

// The opening of a code fence at text[at]: three or more backticks or tildes (a backtick fence's
// info string has no backtick). Returns the fence's length, or 0.
std::size_t FenceAt(std::u16string_view text, std::size_t at, std::size_t end) {
  if (at >= end || (text[at] != u'`' && text[at] != u'~')) return 0;
  std::size_t i = at;
  while (i < end && text[i] == text[at]) ++i;
  if (i - at < 3) return 0;
  if (text[at] == u'`' && text.substr(i, end - i).find(u'`') != kNoPosition) return 0;
  return i - at;
}

bool IsBlockTag(std::u16string_view name) {
  return IsOneOfNoCase(
      name, {"address", "article",  "aside",   "base",     "basefont", "blockquote", "body",
             "caption", "center",   "col",     "colgroup", "dd",       "details",    "dialog",
             "dir",     "div",      "dl",      "dt",       "fieldset", "figcaption", "figure",
             "footer",  "form",     "frame",   "frameset", "h1",       "h2",         "h3",
             "h4",      "h5",       "h6",      "head",     "header",   "hr",         "html",
             "iframe",  "legend",   "li",      "link",     "main",     "menu",       "menuitem",
             "nav",     "noframes", "ol",      "optgroup", "option",   "p",          "param",
             "search",  "section",  "summary", "table",    "tbody",    "td",         "tfoot",
             "th",      "thead",    "title",   "tr",       "track",    "ul",         "img",
             "a",       "picture",  "source",  "br"});
}

// The kinds of HTML block, by what ends them.
enum class HtmlBlock { kNone, kRawText, kComment, kInstruction, kDeclaration, kCdata, kBlankLine };

HtmlBlock HtmlBlockAt(TextCursor text, std::size_t at, std::size_t end, bool in_paragraph) {
  if (at >= end || text[at] != u'<') return HtmlBlock::kNone;
  if (text.StartsWith(at, end, u"<!--")) return HtmlBlock::kComment;
  if (text.StartsWith(at, end, u"<?")) return HtmlBlock::kInstruction;
  if (text.StartsWith(at, end, u"<![CDATA[")) return HtmlBlock::kCdata;
  if (at + 2 < end && text[at + 1] == u'!' && IsAsciiLetter(text[at + 2])) {
    return HtmlBlock::kDeclaration;
  }
  const std::size_t name = at + (at + 1 < end && text[at + 1] == u'/' ? 2 : 1);
  std::size_t name_end = name;
  while (name_end < end && (IsAsciiAlnum(text[name_end]) || text[name_end] == u'-')) ++name_end;
  if (name_end == name || !IsAsciiLetter(text[name])) return HtmlBlock::kNone;
  const char16_t after = name_end < end ? text[name_end] : u' ';
  if (!IsHtmlSpace(after) && after != u'>' && after != u'/') return HtmlBlock::kNone;
  const std::u16string_view tag = text.view().substr(name, name_end - name);
  if (name == at + 1 && IsOneOfNoCase(tag, {"script", "pre", "style", "textarea"})) {
    return HtmlBlock::kRawText;
  }
  if (IsBlockTag(tag)) return HtmlBlock::kBlankLine;
  // Any other tag opens a block when it is alone on its line and no paragraph goes on.
  std::size_t last = end;
  while (last > at && IsHtmlSpace(text[last - 1])) --last;
  return !in_paragraph && text[last - 1] == u'>' ? HtmlBlock::kBlankLine : HtmlBlock::kNone;
}

bool EndsHtmlBlock(HtmlBlock kind, std::u16string_view line) {
  const auto has = [&](std::u16string_view s) { return line.find(s) != kNoPosition; };
  switch (kind) {
    case HtmlBlock::kRawText:
      for (std::size_t i = line.find(u"</"); i != kNoPosition; i = line.find(u"</", i + 1)) {
        for (std::string_view name : {"script>", "pre>", "style>", "textarea>"}) {
          if (support::StartsWithIgnoringAsciiCase(line.substr(i + 2), name)) return true;
        }
      }
      return false;
    case HtmlBlock::kComment:
      return has(u"-->");
    case HtmlBlock::kInstruction:
      return has(u"?>");
    case HtmlBlock::kDeclaration:
      return has(u">");
    case HtmlBlock::kCdata:
      return has(u"]]>");
    case HtmlBlock::kNone:
    case HtmlBlock::kBlankLine:
      break;
  }
  return false;
}

// The inline content of one paragraph (or heading, or table): code spans, links' targets,
// autolinks and bare addresses, inline HTML, references, escapes and emphasis.
// Where the line at `from` ends: at its CR or LF, or at the end of the text. Eight units at a
// time: Markdown asks it of every line.
std::size_t LineBreak(std::u16string_view text, std::size_t from) {
  return FindAnyOf(text, from, u'\n', u'\r');
}

class MarkdownInline {
 public:
  MarkdownInline(TextCursor text, std::size_t begin, std::size_t end)
      : text_(text), begin_(begin), end_(end), html_(text, false, true) {}

  void Run() {
    for (std::size_t i = begin_; i < end_;) {
      // Outside code, a character Step has nothing for is passed over here, without the call.
      if (!html_.InCode()) {
        while (i < end_ && !IsInlineMarkup(text_[i])) ++i;
        if (i == end_) break;
      }
      i = Step(i);
    }
  }

 private:
  // The characters Step does something with outside code: those that open markup, and the
  // first letters of bare addresses.
  static bool IsInlineMarkup(char16_t c) {
    static constexpr AsciiSet kMarkup("\\`<&[]*~|_hwf");
    return kMarkup.Has(c);
  }

  std::size_t Step(std::size_t i) {
    const char16_t c = text_[i];
    if (html_.InCode()) {
      if (c == u'<') {
        const std::size_t after = html_.Markup(i, end_);
        if (after > i) return after;
      }
      text_.Hide(i, i + 1);
      return i + 1;
    }
    switch (c) {
      case u'\\':
        if (i + 1 < end_ && kEscapable.Has(text_[i + 1])) {
          // The escaped character stands for itself: "snake\_case" is read as "snake_case".
          text_.Decode(i, i + 2, text_[i + 1]);
          return i + 2;
        }
        if (i + 1 >= end_ || IsLineBreak(text_[i + 1])) text_.Hide(i, i + 1);  // a line break
        return i + 1;
      case u'`':
        return CodeSpan(i);
      case u'<': {
        std::size_t after = Autolink(i);
        if (after == i) after = html_.Markup(i, end_);
        return std::max(after, i + 1);
      }
      case u'&':
        return std::max(DecodeReference(text_, i, end_), i + 1);
      case u']':
        return LinkEnd(i);
      case u'[':
        if (i + 1 < end_ && text_[i + 1] == u'^') return Footnote(i);
        return i + 1;
      case u'*':
      case u'~':
      case u'|':
        text_.Hide(i, i + 1);
        return i + 1;
      case u'_':
        return Underscores(i);
      default:
        if ((c == u'h' || c == u'w' || c == u'f') &&
            (i == begin_ || !IsLetterOrDigit(text_[i - 1]))) {
          return BareAddress(i);
        }
        return i + 1;
    }
  }

  // A code span runs from a backtick string to the next one of the same length; without one,
  // the backticks are text.
  std::size_t CodeSpan(std::size_t at) {
    std::size_t run_end = at;
    while (run_end < end_ && text_[run_end] == u'`') ++run_end;
    if (!runs_found_) FindBacktickRuns();
    auto& [starts, next] = runs_[run_end - at];
    while (next < starts.size() && starts[next] <= at) ++next;
    if (next == starts.size()) return run_end;
    const std::size_t close = starts[next] + (run_end - at);
    text_.Hide(at, close);
    return close;
  }

  void FindBacktickRuns() {
    runs_found_ = true;
    for (std::size_t i = begin_; i < end_;) {
      if (text_[i] != u'`') {
        ++i;
        continue;
      }
      std::size_t run_end = i;
      while (run_end < end_ && text_[run_end] == u'`') ++run_end;
      runs_[run_end - i].first.push_back(i);
      i = run_end;
    }
  }

  // `<https://example.org>`, `<mailto:a@b>`, `<a@example.org>`: hidden whole.
  std::size_t Autolink(std::size_t at) {
    std::size_t i = at + 1;
    while (i < end_ &&
           (IsAsciiAlnum(text_[i]) || text_[i] == u'+' || text_[i] == u'.' || text_[i] == u'-')) {
      ++i;
    }
    const bool scheme = i - at - 1 >= 2 && i - at - 1 <= 32 && IsAsciiLetter(text_[at + 1]) &&
                        i < end_ && text_[i] == u':';
    bool mail = false;
    if (!scheme) {
      while (i < end_ &&
             (IsAsciiAlnum(text_[i]) || u".!#$%&'*+/=?^_`{|}~-"sv.find(text_[i]) != kNoPosition)) {
        ++i;
      }
      mail = i > at + 1 && i < end_ && text_[i] == u'@';
      if (!mail) return at;
    }
    for (++i; i < end_ && !IsHtmlSpace(text_[i]) && text_[i] != u'<'; ++i) {
      if (text_[i] == u'>') {
        text_.Hide(at, i + 1);
        return i + 1;
      }
    }
    return at;
  }

  // A link's or image's target after its text: `](target "title")` hides all but the title,
  // which people read as a tooltip; `][label]` hides the label.
  std::size_t LinkEnd(std::size_t at) {
    if (at + 1 >= end_) return at + 1;
    if (text_[at + 1] == u'[') {
      std::size_t i = at + 2;
      while (i < end_ && i - at < 1000 && text_[i] != u']' && text_[i] != u'[') ++i;
      if (i >= end_ || text_[i] != u']') return at + 1;
      text_.Hide(at, i + 1);
      return i + 1;
    }
    if (text_[at + 1] != u'(') return at + 1;
    std::size_t i = SkipBlanks(at + 2);
    if (i < end_ && text_[i] == u'<') {
      while (i < end_ && text_[i] != u'>' && text_[i] != u'<' && !IsLineBreak(text_[i])) ++i;
      if (i >= end_ || text_[i] != u'>') return at + 1;
      ++i;
    } else {
      i = TargetEnd(i);
    }
    std::size_t title_begin = kNoPosition;
    std::size_t title_end = kNoPosition;
    std::size_t close = SkipBlanks(i);
    if (close < end_ && close > i &&
        (text_[close] == u'"' || text_[close] == u'\'' || text_[close] == u'(')) {
      const char16_t quote = text_[close] == u'(' ? u')' : text_[close];
      title_begin = close + 1;
      title_end = FindTitleEnd(quote, title_begin);
      if (title_end == kNoPosition) return at + 1;
      close = SkipBlanks(title_end + 1);
    }
    if (close >= end_ || text_[close] != u')') return at + 1;
    if (title_begin == kNoPosition) {
      text_.Hide(at, close + 1);
      return close + 1;
    }
    text_.Hide(at, title_begin);
    text_.Hide(title_end, close + 1);
    return title_begin;
  }

  // Where a target without angle brackets that starts at `start` ends: at the `)` that closes
  // it (parentheses nest in it), at a blank, or at kMaxTarget units. A scan that ends unclosed
  // keeps the `(` still open where it stopped; a target opened by one of them (in a text full of
  // "](") goes on from there at their depth, rather than reading the same units again.
  std::size_t TargetEnd(std::size_t start) {
    static constexpr std::size_t kMaxTarget = 4096;
    std::size_t i = start;
    const auto opener = std::lower_bound(opens_.begin() + first_open_, opens_.end(), start - 1);
    if (opener != opens_.end() && *opener == start - 1) {
      first_open_ = static_cast<std::size_t>(opener - opens_.begin()) + 1;
      if (first_open_ > opens_.size() / 2) {  // those passed go, a half at a time
        opens_.erase(opens_.begin(), opens_.begin() + static_cast<std::ptrdiff_t>(first_open_));
        first_open_ = 0;
      }
      i = target_scanned_;
    } else {
      opens_.clear();
      first_open_ = 0;
    }
    for (; i < end_ && !IsHtmlSpace(text_[i]) && i - start < kMaxTarget; ++i) {
      if (text_[i] == u'\\' && i + 1 < end_) {
        ++i;
      } else if (text_[i] == u'(') {
        opens_.push_back(i);
      } else if (text_[i] == u')') {
        if (opens_.size() == first_open_) break;
        opens_.pop_back();
      }
    }
    target_scanned_ = i;
    return i;
  }

  // Where the blanks from `i` end. The last stretch of them is kept: many targets cut short may
  // stop at the same one.
  std::size_t SkipBlanks(std::size_t i) {
    if (i >= blanks_from_ && i <= blanks_end_) return blanks_end_;
    const std::size_t from = i;
    while (i < end_ && IsHtmlSpace(text_[i])) ++i;
    if (i > from) {
      blanks_from_ = from;
      blanks_end_ = i;
    }
    return i;
  }

  std::size_t FindTitleEnd(char16_t quote, std::size_t from) {
    std::size_t& unfound = unfound_title_end_[quote == u'"' ? 0 : quote == u'\'' ? 1 : 2];
    if (from >= unfound) return kNoPosition;
    for (std::size_t i = from; i < end_; ++i) {
      if (text_[i] == u'\\') {
        ++i;
      } else if (text_[i] == quote) {
        return i;
      }
    }
    unfound = from;
    return kNoPosition;
  }

  // A footnote's mark `[^label]` is hidden. The stretch the last label was sought in, which
  // holds no `]` and no blank, is not read again for the next `[^` in it.
  std::size_t Footnote(std::size_t at) {
    std::size_t i = at + 2;
    if (i >= label_from_ && i < label_searched_) i = std::min(label_searched_, at + 1000);
    label_from_ = at + 2;
    while (i < end_ && i - at < 1000 && text_[i] != u']' && !IsHtmlSpace(text_[i])) ++i;
    label_searched_ = i;
    if (i >= end_ || text_[i] != u']' || i == at + 2) return at + 1;
    text_.Hide(at, i + 1);
    return i + 1;
  }

  // Underscores inside a word join it ("snake_case"); at a word's edge they are emphasis.
  std::size_t Underscores(std::size_t at) {
    std::size_t run_end = at;
    while (run_end < end_ && text_[run_end] == u'_') ++run_end;
    const bool inside = at > begin_ && IsLetterOrDigit(text_[at - 1]) && run_end < end_ &&
                        IsLetterOrDigit(text_[run_end]);
    if (!inside) text_.Hide(at, run_end);
    return run_end;
  }

  // A bare address (`https://…`, `http://…`, `ftp://…`, `www.…`), which Markdown makes a link:
  // hidden to the next blank, less the punctuation that ends a sentence around it.
  std::size_t BareAddress(std::size_t at) {
    // Most words that start with these letters go no further than the second ("he", "for").
    if (at + 1 >= end_ || (text_[at + 1] != u't' && text_[at + 1] != u'w')) return at + 1;
    if (!text_.StartsWith(at, end_, u"https://") && !text_.StartsWith(at, end_, u"http://") &&
        !text_.StartsWith(at, end_, u"ftp://") && !text_.StartsWith(at, end_, u"www.")) {
      return at + 1;
    }
    std::size_t i = at;
    while (i < end_ && !IsHtmlSpace(text_[i]) && text_[i] != u'<') ++i;
    std::size_t last = i;
    // The parentheses of the address, counted once when one may be given back.
    bool counted = false;
    std::ptrdiff_t unopened = 0;  // closing ones less opening ones
    while (last > at) {
      const char16_t c = text_[last - 1];
      if (c == u')' && !counted) {
        const std::u16string_view address = text_.view().substr(at, last - at);
        unopened = std::count(address.begin(), address.end(), u')') -
                   std::count(address.begin(), address.end(), u'(');
        counted = true;
      }
      if (u"?!.,:*_~'\""sv.find(c) != kNoPosition) {
        --last;
      } else if (c == u')' && unopened > 0) {
        --unopened;
        --last;
      } else {
        break;
      }
    }
    text_.Hide(at, last);
    return std::max(last, at + 1);
  }

  TextCursor text_;
  const std::size_t begin_;
  const std::size_t end_;
  HtmlScanner html_;
  bool runs_found_ = false;
  // For each length of backtick string, where such strings start, and the first not yet passed.
  std::map<std::size_t, std::pair<std::vector<std::size_t>, std::size_t>> runs_;
  std::size_t unfound_title_end_[3] = {kNoPosition, kNoPosition, kNoPosition};
  // The `(` still open where the last scan of a target stopped (those from first_open_ on), and
  // where it stopped.
  std::vector<std::size_t> opens_;
  std::size_t first_open_ = 0;
  std::size_t target_scanned_ = 0;
  std::size_t label_from_ = kNoPosition;  // the last footnote label sought, up to where it stopped
  std::size_t label_searched_ = kNoPosition;
  std::size_t blanks_from_ = kNoPosition;  // the last stretch of blanks skipped
  std::size_t blanks_end_ = kNoPosition;
};

// The blocks: front matter, fenced and indented code, HTML blocks, and the markers of
// headings, quotes, list items and reference definitions; the rest goes to MarkdownInline a
// paragraph at a time.
class MarkdownBlocks {
 public:
  explicit MarkdownBlocks(TextCursor text) : text_(text) {}

  void Run() {
    std::size_t line = FrontMatterEnd();
    while (line < text_.size()) {
      const std::size_t line_end = LineBreak(text_, line);
      Line(line, line_end);
      line = line_end;
      if (line < text_.size() && text_[line] == u'\r') ++line;
      if (line < text_.size() && text_[line] == u'\n') ++line;
    }
    EndParagraph();
    if (html_kind_ != HtmlBlock::kNone) EndHtml(text_.size());
  }

 private:
  // A YAML (`---`) or TOML (`+++`) block at the very start, up to its closing line.
  std::size_t FrontMatterEnd() {
    for (std::u16string_view marker : {u"---", u"+++"}) {
      if (!IsMarkerLine(0, marker)) continue;
      for (std::size_t line = LineBreak(text_, 0); line < text_.size();) {
        while (line < text_.size() && IsLineBreak(text_[line])) ++line;
        if (IsMarkerLine(line, marker) || (marker == u"---"sv && IsMarkerLine(line, u"..."))) {
          const std::size_t end = LineBreak(text_, line);
          text_.Hide(0, end);
          return end;
        }
        line = LineBreak(text_, line);
      }
    }
    return 0;
  }

  bool IsMarkerLine(std::size_t at, std::u16string_view marker) const {
    const std::size_t end = LineBreak(text_, at);
    return text_.StartsWith(at, end, marker) && IsBlankLine(text_, at + marker.size(), end);
  }

  void Line(std::size_t begin, std::size_t end) {
    if (fence_length_ > 0) {
      std::size_t at;
      Indent(text_, begin, end, &at);
      const std::size_t length = FenceAt(text_, at, end);
      if (length >= fence_length_ && text_[at] == fence_ && IsBlankLine(text_, at + length, end)) {
        fence_length_ = 0;
        code_may_follow_ = true;
      }
      return text_.Hide(begin, end);
    }
    if (html_kind_ != HtmlBlock::kNone) {
      if (html_kind_ == HtmlBlock::kBlankLine && IsBlankLine(text_, begin, end)) {
        EndHtml(begin);
      } else {
        if (EndsHtmlBlock(html_kind_, std::u16string_view(text_).substr(begin, end - begin))) {
          EndHtml(end);
        }
        return;
      }
    }
    std::size_t at = QuoteMarkers(begin, end);
    std::size_t content;
    const std::size_t indent = Indent(text_, at, end, &content);
    if (content == end) {
      EndParagraph();
      blank_before_ = true;
      return;
    }
    if ((blank_before_ || in_code_ || code_may_follow_) && !in_paragraph_) {
      if (blank_before_) {
        while (!lists_.empty() && indent < lists_.back()) lists_.pop_back();
      }
      if (indent >= (lists_.empty() ? 0 : lists_.back()) + 4) {
        in_code_ = true;
        blank_before_ = false;
        return text_.Hide(at, end);
      }
    }
    in_code_ = false;
    blank_before_ = false;
    code_may_follow_ = false;
    Block(content, end, indent);
  }

  // Hides the `>` markers of block quotes, returning where the line's content starts.
  std::size_t QuoteMarkers(std::size_t begin, std::size_t end) {
    std::size_t at = begin;
    for (;;) {
      std::size_t marker;
      if (Indent(text_, at, end, &marker) > 3 || marker >= end || text_[marker] != u'>') {
        return at;
      }
      text_.Hide(marker, marker + 1);
      at = marker + 1;
    }
  }

  void Block(std::size_t content, std::size_t end, std::size_t indent) {
    for (int markers = 0; markers < 4; ++markers) {
      if (const std::size_t length = FenceAt(text_, content, end); length > 0) {
        EndParagraph();
        fence_ = text_[content];
        fence_length_ = length;
        return text_.Hide(content, end);
      }
      if (const HtmlBlock kind = HtmlBlockAt(text_, content, end, in_paragraph_);
          kind != HtmlBlock::kNone) {
        EndParagraph();
        html_kind_ = kind;
        html_begin_ = content;
        if (kind != HtmlBlock::kBlankLine &&
            EndsHtmlBlock(kind, std::u16string_view(text_).substr(content, end - content))) {
          EndHtml(end);
        }
        return;
      }
      const std::size_t item = ListMarker(content, end);
      if (item == content) break;
      EndParagraph();
      while (!lists_.empty() && lists_.back() > indent) lists_.pop_back();
      std::size_t after;
      const std::size_t gap = Indent(text_, item, end, &after);
      const std::size_t width = indent + (item - content) + (gap >= 1 && gap <= 4 ? gap : 1);
      lists_.push_back(width);
      text_.Hide(content, item);
      content = after;
      indent = width;
      if (text_.StartsWith(content, end, u"[ ]") || text_.StartsWith(content, end, u"[x]") ||
          text_.StartsWith(content, end, u"[X]")) {
        text_.Hide(content, content + 3);
      }
    }
    if (Heading(content, end)) return;
    if (!in_paragraph_ && Definition(content, end)) return;
    if (!in_paragraph_) paragraph_ = content;
    in_paragraph_ = true;
    paragraph_end_ = end;
  }

  // The end of a list item's marker (`-`, `*`, `+`, `1.`, `1)`) at text[at], or `at`.
  std::size_t ListMarker(std::size_t at, std::size_t end) const {
    std::size_t i = at;
    if (i < end && (text_[i] == u'-' || text_[i] == u'*' || text_[i] == u'+')) {
      ++i;
    } else {
      while (i < end && IsAsciiDigit(text_[i]) && i - at < 9) ++i;
      if (i == at || i >= end || (text_[i] != u'.' && text_[i] != u')')) return at;
      ++i;
    }
    if (i < end && text_[i] != u' ' && text_[i] != u'\t') return at;
    return i;
  }

  // An ATX heading: its `#` markers (and closing ones) hidden, its text read on its own.
  bool Heading(std::size_t content, std::size_t end) {
    std::size_t i = content;
    while (i < end && text_[i] == u'#') ++i;
    if (i == content || i - content > 6 || (i < end && text_[i] != u' ' && text_[i] != u'\t')) {
      return false;
    }
    EndParagraph();
    text_.Hide(content, i);
    std::size_t last = end;
    while (last > i && IsHtmlSpace(text_[last - 1])) --last;
    std::size_t closing = last;
    while (closing > i && text_[closing - 1] == u'#') --closing;
    if (closing < last && (closing == i || IsHtmlSpace(text_[closing - 1])))
      text_.Hide(closing, last);
    MarkdownInline(text_, i, end).Run();
    code_may_follow_ = true;
    return true;
  }

  // `[label]: target "title"` hides the label and the target; `[^label]:` (a footnote's text)
  // hides the label. What follows is read as a paragraph.
  bool Definition(std::size_t content, std::size_t end) {
    if (content >= end || text_[content] != u'[') return false;
    std::size_t i = content + 1;
    while (i < end && text_[i] != u']' && text_[i] != u'[') i += text_[i] == u'\\' ? 2 : 1;
    if (i + 1 >= end || text_[i] != u']' || text_[i + 1] != u':' || i == content + 1) {
      return false;
    }
    const bool footnote = text_[content + 1] == u'^';
    i += 2;
    if (!footnote) {
      while (i < end && IsHtmlSpace(text_[i])) ++i;
      while (i < end && !IsHtmlSpace(text_[i])) ++i;
    }
    text_.Hide(content, i);
    paragraph_ = i;
    in_paragraph_ = true;
    paragraph_end_ = end;
    return true;
  }

  void EndParagraph() {
    if (in_paragraph_) MarkdownInline(text_, paragraph_, paragraph_end_).Run();
    in_paragraph_ = false;
  }

  void EndHtml(std::size_t end) {
    HtmlScanner(text_, false, false).Run(html_begin_, end);
    html_kind_ = HtmlBlock::kNone;
  }

  TextCursor text_;
  char16_t fence_ = 0;
  std::size_t fence_length_ = 0;  // inside a fenced code block when not 0
  HtmlBlock html_kind_ = HtmlBlock::kNone;
  std::size_t html_begin_ = 0;
  bool blank_before_ = true;
  bool in_code_ = false;
  // The line before ended a block that an indented code block may follow right away (a heading,
  // a closing fence): only a paragraph cannot be interrupted by one.
  bool code_may_follow_ = false;
  bool in_paragraph_ = false;
  std::size_t paragraph_ = 0;
  std::size_t paragraph_end_ = 0;
  std::vector<std::size_t> lists_;  // the content columns of the open list items
};

}  // namespace

void HideMarkdownMarkup(std::u16string& text) {
  MarkdownBlocks(TextCursor(text)).Run();
  HideUrls(text);
}

}  // namespace lexivane::frontend
