// The HTML, XML and Markdown filters. One scanner reads HTML markup for all three: the HTML and
// XML modes run it over the whole text, Markdown over its HTML blocks and, asking for complete
// tags only, over the inline HTML of its paragraphs.
//
// Every search either moves the scan forward past what it read or stops at a character that a
// later search starts from (the next `<`, a blank line, a bounded length), and a search that
// found no end remembers it, so each filter stays linear in the text however odd the input.
#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/modes/find_units.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/words/running_words.h"
#include "frontend/io/text_positions.h"

namespace lexivane::frontend {

namespace {

constexpr std::size_t kNone = std::u16string::npos;

using filter::Hide;
using filter::IsAsciiAlnum;
using filter::IsAsciiDigit;
using filter::IsAsciiLetter;

bool IsAsciiPunct(char16_t c) {
  return (c >= u'!' && c <= u'/') || (c >= u':' && c <= u'@') || (c >= u'[' && c <= u'`') ||
         (c >= u'{' && c <= u'~');
}
bool IsLineEnd(char16_t c) {
  return c == u'\n' || c == u'\r';
}
bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\f' || IsLineEnd(c);
}
char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
}

// A letter or digit of any script; half a surrogate pair counts, which errs on keeping words.
bool IsWordCharacter(char16_t c) {
  return IsAsciiAlnum(c) || (c >= 0x80 && (u_isalnum(c) || (c >= 0xD800 && c <= 0xDFFF)));
}

// Whether text[at, end) starts with `lower` (ASCII, given in lower case), in any letter case.
bool StartsWithNoCase(std::u16string_view text, std::size_t at, std::size_t end,
                      std::string_view lower) {
  if (end - at < lower.size()) return false;
  for (std::size_t i = 0; i < lower.size(); ++i) {
    if (AsciiLower(text[at + i]) != static_cast<char16_t>(lower[i])) return false;
  }
  return true;
}

bool StartsWith(std::u16string_view text, std::size_t at, std::size_t end, std::u16string_view s) {
  return end - at >= s.size() && text.substr(at, s.size()) == s;
}

// ---------------------------------------------------------------------------------------------
// Character references.

struct NamedReference {
  std::u16string_view name;
  char32_t code;
};

// The Latin-1 letters and the marks people type most; an unknown name is hidden.
constexpr NamedReference kNamedReferences[] = {
    {u"AElig", 0xC6},   {u"Aacute", 0xC1},  {u"Acirc", 0xC2},   {u"Agrave", 0xC0},
    {u"Aring", 0xC5},   {u"Atilde", 0xC3},  {u"Auml", 0xC4},    {u"Ccedil", 0xC7},
    {u"ETH", 0xD0},     {u"Eacute", 0xC9},  {u"Ecirc", 0xCA},   {u"Egrave", 0xC8},
    {u"Euml", 0xCB},    {u"Iacute", 0xCD},  {u"Icirc", 0xCE},   {u"Igrave", 0xCC},
    {u"Iuml", 0xCF},    {u"Ntilde", 0xD1},  {u"OElig", 0x152},  {u"Oacute", 0xD3},
    {u"Ocirc", 0xD4},   {u"Ograve", 0xD2},  {u"Oslash", 0xD8},  {u"Otilde", 0xD5},
    {u"Ouml", 0xD6},    {u"THORN", 0xDE},   {u"Uacute", 0xDA},  {u"Ucirc", 0xDB},
    {u"Ugrave", 0xD9},  {u"Uuml", 0xDC},    {u"Yacute", 0xDD},  {u"aacute", 0xE1},
    {u"acirc", 0xE2},   {u"aelig", 0xE6},   {u"agrave", 0xE0},  {u"amp", u'&'},
    {u"apos", u'\''},   {u"aring", 0xE5},   {u"atilde", 0xE3},  {u"auml", 0xE4},
    {u"bull", 0x2022},  {u"ccedil", 0xE7},  {u"copy", 0xA9},    {u"deg", 0xB0},
    {u"eacute", 0xE9},  {u"ecirc", 0xEA},   {u"egrave", 0xE8},  {u"eth", 0xF0},
    {u"euml", 0xEB},    {u"euro", 0x20AC},  {u"gt", u'>'},      {u"hellip", 0x2026},
    {u"iacute", 0xED},  {u"icirc", 0xEE},   {u"igrave", 0xEC},  {u"iuml", 0xEF},
    {u"laquo", 0xAB},   {u"ldquo", 0x201C}, {u"lsquo", 0x2018}, {u"lt", u'<'},
    {u"mdash", 0x2014}, {u"middot", 0xB7},  {u"nbsp", 0xA0},    {u"ndash", 0x2013},
    {u"ntilde", 0xF1},  {u"oacute", 0xF3},  {u"ocirc", 0xF4},   {u"oelig", 0x153},
    {u"ograve", 0xF2},  {u"oslash", 0xF8},  {u"otilde", 0xF5},  {u"ouml", 0xF6},
    {u"pound", 0xA3},   {u"quot", u'"'},    {u"raquo", 0xBB},   {u"rdquo", 0x201D},
    {u"reg", 0xAE},     {u"rsquo", 0x2019}, {u"sect", 0xA7},    {u"shy", 0xAD},
    {u"szlig", 0xDF},   {u"thorn", 0xFE},   {u"times", 0xD7},   {u"trade", 0x2122},
    {u"uacute", 0xFA},  {u"ucirc", 0xFB},   {u"ugrave", 0xF9},  {u"uuml", 0xFC},
    {u"yacute", 0xFD},  {u"yuml", 0xFF},
};

// Puts what a reference stands for in its place. A letter (or an apostrophe, which joins the
// letters around it) is followed by word joiners, so that "caf&eacute;" and "don&rsquo;t" are
// read whole; another mark is followed by blanks, so that the word after "&amp;" starts where
// a reader sees it start; a space, a control character or an invalid code is hidden, and an
// invisible one (the soft hyphen) becomes word joiners only.
void PutReference(std::u16string& text, std::size_t begin, std::size_t end, char32_t code) {
  const bool invalid = code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF);
  if (invalid || code < 0x20 || (code >= 0x7F && code <= 0xA0) || u_isspace(code)) {
    return Hide(text, begin, end);
  }
  if (code == 0xAD || code == 0x200B || code == 0x200C || code == 0x200D || code == 0x2060 ||
      code == 0xFEFF) {
    std::fill(text.begin() + begin, text.begin() + end, kWordJoiner);
    return;
  }
  std::size_t at = begin;
  if (code > 0xFFFF) {
    text[at++] = static_cast<char16_t>(0xD7C0 + (code >> 10));
    text[at++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  } else {
    text[at++] = static_cast<char16_t>(code);
  }
  const bool joins = u_isalnum(code) ||
                     u_getIntPropertyValue(code, UCHAR_GENERAL_CATEGORY) == U_NON_SPACING_MARK ||
                     code == u'\'' || code == kTypographicApostrophe;
  std::fill(text.begin() + at, text.begin() + end, joins ? kWordJoiner : u' ');
}

// The end of the reference at text[at] == '&' (`&name;`, `&#233;`, `&#xE9;`), with `code` the
// character it stands for (0 for an unknown name); or `at` when there is none there.
std::size_t ReferenceEnd(std::u16string_view text, std::size_t at, std::size_t end,
                         char32_t& code) {
  std::size_t i = at + 1;
  code = 0;
  if (i < end && text[i] == u'#') {
    ++i;
    const bool hex = i < end && (text[i] == u'x' || text[i] == u'X');
    if (hex) ++i;
    const std::size_t digits = i;
    while (i < end && text[i] == u'0') ++i;  // leading zeros, however many: `&#x00000000065;`
    for (const std::size_t significant = i; i < end && i - significant < 8; ++i) {
      const char16_t c = text[i];
      int value;
      if (IsAsciiDigit(c)) {
        value = c - u'0';
      } else if (hex && AsciiLower(c) >= u'a' && AsciiLower(c) <= u'f') {
        value = AsciiLower(c) - u'a' + 10;
      } else {
        break;
      }
      code = code * (hex ? 16 : 10) + value;
    }
    if (i == digits || i >= end || text[i] != u';') return at;
    return i + 1;
  }
  const std::size_t name = i;
  while (i < end && IsAsciiAlnum(text[i]) && i - name < 32) ++i;
  if (i == name || !IsAsciiLetter(text[name]) || i >= end || text[i] != u';') return at;
  const std::u16string_view given = text.substr(name, i - name);
  for (const NamedReference& known : kNamedReferences) {
    if (known.name == given) code = known.code;
  }
  return i + 1;
}

// The reference at text[at] == '&' put in its place (an unknown name hidden); returns its end,
// or `at` when there is none there (a lone `&` stays).
std::size_t DecodeReference(std::u16string& text, std::size_t at, std::size_t end) {
  char32_t code;
  const std::size_t reference_end = ReferenceEnd(text, at, end, code);
  if (reference_end > at) PutReference(text, at, reference_end, code);
  return reference_end;
}

// ---------------------------------------------------------------------------------------------
// HTML and XML markup.

bool IsOneOf(std::u16string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view known : names) {
    if (name.size() == known.size() && StartsWithNoCase(name, 0, name.size(), known)) return true;
  }
  return false;
}

class HtmlScanner {
 public:
  // complete_tags_only: Markdown's inline HTML, where a `<` that opens no complete tag, comment
  // or declaration is a character of the text; elsewhere a tag left open runs to the end of the
  // text, as browsers read it.
  HtmlScanner(std::u16string& text, bool xml, bool complete_tags_only)
      : text_(text), xml_(xml), complete_only_(complete_tags_only), addresses_(text) {}

  // Inside an element whose text is code (HTML's code, pre, kbd, samp, var).
  bool InCode() const { return code_depth_ > 0; }

  // Hides the markup at text[at] == '<' and returns its end, or `at` when no markup starts there.
  std::size_t Markup(std::size_t at, std::size_t end) {
    // Tags first, the commonest; what else markup can be starts with `<!` or `<?`.
    if (at + 1 >= end) return at;
    if (IsAsciiLetter(text_[at + 1])) return StartTag(at, end);
    if (text_[at + 1] == u'/') return EndTag(at, end);
    if (StartsWith(text_, at, end, u"<!--")) return Hidden(at, Find(u"-->", at + 2, end), end);
    if (StartsWith(text_, at, end, u"<![CDATA[")) {
      // The section's text is read, as it stands: no tags and no references in it.
      const std::size_t close = Find(u"]]>", at + 9, end);
      if (close == kNone && complete_only_) return at;
      Hide(text_, at, at + 9);
      if (close == kNone) return end;
      Hide(text_, close - 3, close);
      return close;
    }
    if (StartsWith(text_, at, end, u"<?")) {
      return Hidden(at, xml_ ? Find(u"?>", at + 2, end) : Find(u">", at + 2, end), end);
    }
    if (StartsWith(text_, at, end, u"<!")) return Hidden(at, DeclarationEnd(at + 2, end), end);
    return at;
  }

  // The whole of text[begin, end) read as HTML (or XML).
  void Run(std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end;) {
      if (!InCode()) {  // text up to the next markup or reference stays as it is
        if (i >= addresses_read_to_) {  // but for its addresses, read once up to the next `<`
          const std::size_t next_markup =
              FindAnyOf(std::u16string_view(text_).substr(0, end), i, u'<');
          HideAddresses(i, next_markup);
          addresses_read_to_ = next_markup + 1;
        }
        while (i < end && text_[i] != u'<' && text_[i] != u'&') ++i;
        if (i == end) break;
      }
      if (text_[i] == u'<') {
        const std::size_t after = Markup(i, end);
        if (after > i) {
          i = after;
          continue;
        }
      }
      if (InCode()) {
        Hide(text_, i, i + 1);
        ++i;
      } else if (text_[i] == u'&') {
        i = std::max(DecodeReference(text_, i, end), i + 1);
      } else {
        ++i;
      }
    }
  }

 private:
  // Hides the addresses in the text [from, to) (URLs, e-mail addresses, paths), read with its
  // references as what they stand for: `&amp;` is part of an address, `&nbsp;` or `&quot;` ends
  // one.
  void HideAddresses(std::size_t from, std::size_t to) {
    const std::u16string_view part = std::u16string_view(text_).substr(0, to);
    std::size_t reference = FindAnyOf(part, from, u'&');
    if (reference == to) return HideUrls(text_, from, to);
    std::size_t verbatim = from;
    for (; reference < to; reference = FindAnyOf(part, reference + 1, u'&')) {
      char32_t code;
      const std::size_t reference_end = ReferenceEnd(text_, reference, to, code);
      if (reference_end == reference) continue;
      // A character outside the BMP stands in an address as any other letter does; an unknown
      // or invalid reference ends one.
      const bool valid = code != 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
      const char16_t reads_as = !valid ? u' ' : code > 0xFFFF ? u'\uFFFD' : char16_t(code);
      addresses_.Verbatim(verbatim, reference);
      addresses_.Escape(reference, reference_end, reads_as);
      verbatim = reference_end;
      reference = reference_end - 1;
    }
    addresses_.Verbatim(verbatim, to);
    addresses_.HideAddresses();
  }

  // The end of the hidden stretch [at, close + marker) or, for one that does not close, the
  // end of the text (or nothing, for Markdown's inline HTML).
  std::size_t Hidden(std::size_t at, std::size_t close, std::size_t end) {
    if (close == kNone) {
      if (complete_only_) return at;
      Hide(text_, at, end);
      return end;
    }
    Hide(text_, at, close);
    return close;
  }

  // Just past the first `needle` in text[from, end), or kNone. A needle sought in vain is not
  // sought again from a later place in the same stretch.
  std::size_t Find(std::u16string_view needle, std::size_t from, std::size_t end) {
    Unfound& unfound = unfound_[needle];
    if (from >= unfound.from && end == unfound.end) return kNone;
    const std::size_t found = std::u16string_view(text_).substr(0, end).find(needle, from);
    if (found == kNone) {
      unfound = {from, end};
      return kNone;
    }
    return found + needle.size();
  }

  // Just past the `>` of a declaration (`<!DOCTYPE ...>`, `<!ENTITY ...>`), skipping quoted
  // strings and an internal subset in brackets. One in Markdown's inline HTML ends at the next
  // `<` even in brackets, as it has no internal subset there: else a paragraph of `<![` would be
  // read to its end once for each.
  std::size_t DeclarationEnd(std::size_t from, std::size_t end) {
    int depth = 0;
    char16_t quote = 0;
    for (std::size_t i = from; i < end; ++i) {
      const char16_t c = text_[i];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == u'"' || c == u'\'') {
        quote = c;
      } else if (c == u'[') {
        ++depth;
      } else if (c == u']') {
        depth = std::max(depth - 1, 0);
      } else if (c == u'>' && depth == 0) {
        return i + 1;
      } else if (c == u'<' && complete_only_) {
        return kNone;
      }
    }
    return kNone;
  }

  std::size_t NameEnd(std::size_t from, std::size_t end) const {
    while (from < end && !IsSpace(text_[from]) && text_[from] != u'>' && text_[from] != u'/' &&
           text_[from] != u'<' && text_[from] != u'=') {
      ++from;
    }
    return from;
  }

  std::size_t EndTag(std::size_t at, std::size_t end) {
    if (at + 2 >= end || !IsAsciiLetter(text_[at + 2])) {
      return complete_only_ ? at : Hidden(at, Find(u">", at + 2, end), end);
    }
    const std::size_t name_end = NameEnd(at + 2, end);
    std::size_t i = name_end;
    while (i < end && text_[i] != u'>' && !(complete_only_ && (text_[i] == u'<'))) ++i;
    if (i >= end || text_[i] != u'>') {
      if (complete_only_) return at;
      Hide(text_, at, end);
      return end;
    }
    if (!xml_ && IsCode(std::u16string_view(text_).substr(at + 2, name_end - at - 2))) {
      code_depth_ = std::max(code_depth_ - 1, 0);
    }
    Hide(text_, at, i + 1);
    return i + 1;
  }

  static bool IsCode(std::u16string_view name) {
    return IsOneOf(name, {"code", "pre", "kbd", "samp", "var"});
  }

  bool IsRead(std::u16string_view attribute) const {
    return xml_ ? IsOneOf(attribute, {"alt", "title"})
                : IsOneOf(attribute, {"alt", "title", "placeholder", "aria-label"});
  }

  // A start tag: its name and attributes hidden but for the values people read. The tag is
  // read to its end before anything is changed, since Markdown may find it is no tag at all.
  std::size_t StartTag(std::size_t at, std::size_t end) {
    const std::size_t name_end = NameEnd(at + 1, end);
    const std::u16string_view name = std::u16string_view(text_).substr(at + 1, name_end - at - 1);
    kept_.clear();
    bool self_closing = false;
    std::size_t i = name_end;
    std::size_t tag_end = kNone;
    while (i < end) {
      const char16_t c = text_[i];
      if (IsSpace(c)) {
        ++i;
      } else if (c == u'>') {
        tag_end = i + 1;
        break;
      } else if (c == u'/') {
        self_closing = i + 1 < end && text_[i + 1] == u'>';
        ++i;
      } else if (c == u'<' && complete_only_) {
        return at;
      } else {
        const std::size_t attribute = i;
        i = std::max(NameEnd(i, end), i + 1);
        const bool read = IsRead(std::u16string_view(text_).substr(attribute, i - attribute));
        std::size_t j = i;
        while (j < end && IsSpace(text_[j])) ++j;
        if (j >= end || text_[j] != u'=') continue;
        ++j;
        while (j < end && IsSpace(text_[j])) ++j;
        if (j < end && (text_[j] == u'"' || text_[j] == u'\'')) {
          const char16_t quote = text_[j];
          std::size_t close = j + 1;
          while (close < end && text_[close] != quote) {
            if (complete_only_ && text_[close] == u'<') return at;
            ++close;
          }
          if (read) kept_.push_back({j + 1, close});
          i = close < end ? close + 1 : end;
        } else {
          std::size_t value_end = j;
          while (value_end < end && !IsSpace(text_[value_end]) && text_[value_end] != u'>') {
            if (complete_only_ && text_[value_end] == u'<') return at;
            ++value_end;
          }
          if (read) kept_.push_back({j, value_end});
          i = value_end;
        }
      }
    }
    if (tag_end == kNone) {
      if (complete_only_) return at;
      tag_end = end;
    }
    // The name is read before the tag is hidden.
    const bool raw_text = !xml_ && !self_closing && IsOneOf(name, {"script", "style"});
    const bool script = raw_text && name.size() == 6;
    // A MathML formula (`<math>`, `<m:math>` in XML) holds symbols and names, no prose.
    const bool math = !self_closing && IsOneOf(name.substr(name.find(u':') + 1), {"math"});
    const bool code = !xml_ && !self_closing && IsCode(name);
    std::size_t hidden_from = at;
    for (const auto& [begin, value_end] : kept_) {
      Hide(text_, hidden_from, begin);
      HideAddresses(begin, value_end);
      for (std::size_t k = begin; k < value_end; ++k) {
        if (text_[k] == u'&') k = std::max(DecodeReference(text_, k, value_end), k + 1) - 1;
      }
      hidden_from = value_end;
    }
    Hide(text_, hidden_from, tag_end);
    if (raw_text) return RawTextEnd(script ? "script" : "style", tag_end, end);
    if (math) return RawTextEnd("math", tag_end, end);
    if (code) ++code_depth_;
    return tag_end;
  }

  // Hides a script, style or math element's text and its end tag (`</math>`, `</m:math>`).
  std::size_t RawTextEnd(std::string_view lower, std::size_t from, std::size_t end) {
    for (std::size_t i = from; i < end; ++i) {
      if (text_[i] != u'<' || i + 1 >= end || text_[i + 1] != u'/') continue;
      std::size_t name = i + 2;
      std::size_t prefix_end = name;
      while (prefix_end < end && (IsAsciiAlnum(text_[prefix_end]) || text_[prefix_end] == u'-')) {
        ++prefix_end;
      }
      if (prefix_end < end && text_[prefix_end] == u':') name = prefix_end + 1;
      if (StartsWithNoCase(text_, name, end, lower)) {
        std::size_t close = name + lower.size();
        while (close < end && text_[close] != u'>') ++close;
        close = std::min(close + 1, end);
        Hide(text_, from, close);
        return close;
      }
    }
    Hide(text_, from, end);
    return end;
  }

  std::u16string& text_;
  const bool xml_;
  const bool complete_only_;
  int code_depth_ = 0;
  std::vector<std::pair<std::size_t, std::size_t>> kept_;
  std::size_t addresses_read_to_ = 0;  // the text before it has had its addresses hidden
  filter::AddressReading addresses_;
  struct Unfound {
    std::size_t from = kNone;
    std::size_t end = kNone;
  };
  std::map<std::u16string_view, Unfound> unfound_;
};

// ---------------------------------------------------------------------------------------------
// Markdown.

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
  if (text[at] == u'`' && text.substr(i, end - i).find(u'`') != kNone) return 0;
  return i - at;
}

bool IsBlockTag(std::u16string_view name) {
  return IsOneOf(
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

HtmlBlock HtmlBlockAt(std::u16string_view text, std::size_t at, std::size_t end,
                      bool in_paragraph) {
  if (at >= end || text[at] != u'<') return HtmlBlock::kNone;
  if (StartsWith(text, at, end, u"<!--")) return HtmlBlock::kComment;
  if (StartsWith(text, at, end, u"<?")) return HtmlBlock::kInstruction;
  if (StartsWith(text, at, end, u"<![CDATA[")) return HtmlBlock::kCdata;
  if (at + 2 < end && text[at + 1] == u'!' && IsAsciiLetter(text[at + 2])) {
    return HtmlBlock::kDeclaration;
  }
  const std::size_t name = at + (at + 1 < end && text[at + 1] == u'/' ? 2 : 1);
  std::size_t name_end = name;
  while (name_end < end && (IsAsciiAlnum(text[name_end]) || text[name_end] == u'-')) ++name_end;
  if (name_end == name || !IsAsciiLetter(text[name])) return HtmlBlock::kNone;
  const char16_t after = name_end < end ? text[name_end] : u' ';
  if (!IsSpace(after) && after != u'>' && after != u'/') return HtmlBlock::kNone;
  const std::u16string_view tag = text.substr(name, name_end - name);
  if (name == at + 1 && IsOneOf(tag, {"script", "pre", "style", "textarea"})) {
    return HtmlBlock::kRawText;
  }
  if (IsBlockTag(tag)) return HtmlBlock::kBlankLine;
  // Any other tag opens a block when it is alone on its line and no paragraph goes on.
  std::size_t last = end;
  while (last > at && IsSpace(text[last - 1])) --last;
  return !in_paragraph && text[last - 1] == u'>' ? HtmlBlock::kBlankLine : HtmlBlock::kNone;
}

bool EndsHtmlBlock(HtmlBlock kind, std::u16string_view line) {
  const auto has = [&](std::u16string_view s) { return line.find(s) != kNone; };
  switch (kind) {
    case HtmlBlock::kRawText:
      for (std::size_t i = line.find(u"</"); i != kNone; i = line.find(u"</", i + 1)) {
        for (std::string_view name : {"script>", "pre>", "style>", "textarea>"}) {
          if (StartsWithNoCase(line, i + 2, line.size(), name)) return true;
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
class MarkdownInline {
 public:
  MarkdownInline(std::u16string& text, std::size_t begin, std::size_t end)
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
    static constexpr filter::AsciiSet kMarkup("\\`<&[]*~|_hwf");
    return kMarkup.Has(c);
  }

  std::size_t Step(std::size_t i) {
    const char16_t c = text_[i];
    if (html_.InCode()) {
      if (c == u'<') {
        const std::size_t after = html_.Markup(i, end_);
        if (after > i) return after;
      }
      Hide(text_, i, i + 1);
      return i + 1;
    }
    switch (c) {
      case u'\\':
        if (i + 1 < end_ && IsAsciiPunct(text_[i + 1])) {
          // The escaped character stands for itself: "snake\_case" is read as "snake_case".
          text_[i] = text_[i + 1];
          text_[i + 1] = kWordJoiner;
          return i + 2;
        }
        if (i + 1 >= end_ || IsLineEnd(text_[i + 1])) Hide(text_, i, i + 1);  // a line break
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
        Hide(text_, i, i + 1);
        return i + 1;
      case u'_':
        return Underscores(i);
      default:
        if ((c == u'h' || c == u'w' || c == u'f') &&
            (i == begin_ || !IsWordCharacter(text_[i - 1]))) {
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
    Hide(text_, at, close);
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
      while (i < end_ && (IsAsciiAlnum(text_[i]) ||
                          std::u16string_view(u".!#$%&'*+/=?^_`{|}~-").find(text_[i]) != kNone)) {
        ++i;
      }
      mail = i > at + 1 && i < end_ && text_[i] == u'@';
      if (!mail) return at;
    }
    for (++i; i < end_ && !IsSpace(text_[i]) && text_[i] != u'<'; ++i) {
      if (text_[i] == u'>') {
        Hide(text_, at, i + 1);
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
      Hide(text_, at, i + 1);
      return i + 1;
    }
    if (text_[at + 1] != u'(') return at + 1;
    std::size_t i = SkipBlanks(at + 2);
    if (i < end_ && text_[i] == u'<') {
      while (i < end_ && text_[i] != u'>' && text_[i] != u'<' && !IsLineEnd(text_[i])) ++i;
      if (i >= end_ || text_[i] != u'>') return at + 1;
      ++i;
    } else {
      i = TargetEnd(i);
    }
    std::size_t title_begin = kNone;
    std::size_t title_end = kNone;
    std::size_t close = SkipBlanks(i);
    if (close < end_ && close > i &&
        (text_[close] == u'"' || text_[close] == u'\'' || text_[close] == u'(')) {
      const char16_t quote = text_[close] == u'(' ? u')' : text_[close];
      title_begin = close + 1;
      title_end = FindTitleEnd(quote, title_begin);
      if (title_end == kNone) return at + 1;
      close = SkipBlanks(title_end + 1);
    }
    if (close >= end_ || text_[close] != u')') return at + 1;
    if (title_begin == kNone) {
      Hide(text_, at, close + 1);
      return close + 1;
    }
    Hide(text_, at, title_begin);
    Hide(text_, title_end, close + 1);
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
    for (; i < end_ && !IsSpace(text_[i]) && i - start < kMaxTarget; ++i) {
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
    while (i < end_ && IsSpace(text_[i])) ++i;
    if (i > from) {
      blanks_from_ = from;
      blanks_end_ = i;
    }
    return i;
  }

  std::size_t FindTitleEnd(char16_t quote, std::size_t from) {
    std::size_t& unfound = unfound_title_end_[quote == u'"' ? 0 : quote == u'\'' ? 1 : 2];
    if (from >= unfound) return kNone;
    for (std::size_t i = from; i < end_; ++i) {
      if (text_[i] == u'\\') {
        ++i;
      } else if (text_[i] == quote) {
        return i;
      }
    }
    unfound = from;
    return kNone;
  }

  // A footnote's mark `[^label]` is hidden. The stretch the last label was sought in, which
  // holds no `]` and no blank, is not read again for the next `[^` in it.
  std::size_t Footnote(std::size_t at) {
    std::size_t i = at + 2;
    if (i >= label_from_ && i < label_searched_) i = std::min(label_searched_, at + 1000);
    label_from_ = at + 2;
    while (i < end_ && i - at < 1000 && text_[i] != u']' && !IsSpace(text_[i])) ++i;
    label_searched_ = i;
    if (i >= end_ || text_[i] != u']' || i == at + 2) return at + 1;
    Hide(text_, at, i + 1);
    return i + 1;
  }

  // Underscores inside a word join it ("snake_case"); at a word's edge they are emphasis.
  std::size_t Underscores(std::size_t at) {
    std::size_t run_end = at;
    while (run_end < end_ && text_[run_end] == u'_') ++run_end;
    const bool inside = at > begin_ && IsWordCharacter(text_[at - 1]) && run_end < end_ &&
                        IsWordCharacter(text_[run_end]);
    if (!inside) Hide(text_, at, run_end);
    return run_end;
  }

  // A bare address (`https://…`, `http://…`, `ftp://…`, `www.…`), which Markdown makes a link:
  // hidden to the next blank, less the punctuation that ends a sentence around it.
  std::size_t BareAddress(std::size_t at) {
    // Most words that start with these letters go no further than the second ("he", "for").
    if (at + 1 >= end_ || (text_[at + 1] != u't' && text_[at + 1] != u'w')) return at + 1;
    if (!StartsWith(text_, at, end_, u"https://") && !StartsWith(text_, at, end_, u"http://") &&
        !StartsWith(text_, at, end_, u"ftp://") && !StartsWith(text_, at, end_, u"www.")) {
      return at + 1;
    }
    std::size_t i = at;
    while (i < end_ && !IsSpace(text_[i]) && text_[i] != u'<') ++i;
    std::size_t last = i;
    // The parentheses of the address, counted once when one may be given back.
    bool counted = false;
    std::ptrdiff_t unopened = 0;  // closing ones less opening ones
    while (last > at) {
      const char16_t c = text_[last - 1];
      if (c == u')' && !counted) {
        unopened = std::count(text_.begin() + at, text_.begin() + last, u')') -
                   std::count(text_.begin() + at, text_.begin() + last, u'(');
        counted = true;
      }
      if (std::u16string_view(u"?!.,:*_~'\"").find(c) != kNone) {
        --last;
      } else if (c == u')' && unopened > 0) {
        --unopened;
        --last;
      } else {
        break;
      }
    }
    Hide(text_, at, last);
    return std::max(last, at + 1);
  }

  std::u16string& text_;
  const std::size_t begin_;
  const std::size_t end_;
  HtmlScanner html_;
  bool runs_found_ = false;
  // For each length of backtick string, where such strings start, and the first not yet passed.
  std::map<std::size_t, std::pair<std::vector<std::size_t>, std::size_t>> runs_;
  std::size_t unfound_title_end_[3] = {kNone, kNone, kNone};
  // The `(` still open where the last scan of a target stopped (those from first_open_ on), and
  // where it stopped.
  std::vector<std::size_t> opens_;
  std::size_t first_open_ = 0;
  std::size_t target_scanned_ = 0;
  std::size_t label_from_ = kNone;  // the last footnote label sought, up to where it stopped
  std::size_t label_searched_ = kNone;
  std::size_t blanks_from_ = kNone;  // the last stretch of blanks skipped
  std::size_t blanks_end_ = kNone;
};

// The blocks: front matter, fenced and indented code, HTML blocks, and the markers of
// headings, quotes, list items and reference definitions; the rest goes to MarkdownInline a
// paragraph at a time.
class MarkdownBlocks {
 public:
  explicit MarkdownBlocks(std::u16string& text) : text_(text) {}

  void Run() {
    std::size_t line = FrontMatterEnd();
    while (line < text_.size()) {
      const std::size_t line_end = LineEnd(text_, line);
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
      for (std::size_t line = LineEnd(text_, 0); line < text_.size();) {
        while (line < text_.size() && IsLineEnd(text_[line])) ++line;
        if (IsMarkerLine(line, marker) || (marker == u"---" && IsMarkerLine(line, u"..."))) {
          const std::size_t end = LineEnd(text_, line);
          Hide(text_, 0, end);
          return end;
        }
        line = LineEnd(text_, line);
      }
    }
    return 0;
  }

  bool IsMarkerLine(std::size_t at, std::u16string_view marker) const {
    const std::size_t end = LineEnd(text_, at);
    return StartsWith(text_, at, end, marker) && IsBlankLine(text_, at + marker.size(), end);
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
      return Hide(text_, begin, end);
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
        return Hide(text_, at, end);
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
      Hide(text_, marker, marker + 1);
      at = marker + 1;
    }
  }

  void Block(std::size_t content, std::size_t end, std::size_t indent) {
    for (int markers = 0; markers < 4; ++markers) {
      if (const std::size_t length = FenceAt(text_, content, end); length > 0) {
        EndParagraph();
        fence_ = text_[content];
        fence_length_ = length;
        return Hide(text_, content, end);
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
      Hide(text_, content, item);
      content = after;
      indent = width;
      if (StartsWith(text_, content, end, u"[ ]") || StartsWith(text_, content, end, u"[x]") ||
          StartsWith(text_, content, end, u"[X]")) {
        Hide(text_, content, content + 3);
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
    Hide(text_, content, i);
    std::size_t last = end;
    while (last > i && IsSpace(text_[last - 1])) --last;
    std::size_t closing = last;
    while (closing > i && text_[closing - 1] == u'#') --closing;
    if (closing < last && (closing == i || IsSpace(text_[closing - 1]))) Hide(text_, closing, last);
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
      while (i < end && IsSpace(text_[i])) ++i;
      while (i < end && !IsSpace(text_[i])) ++i;
    }
    Hide(text_, content, i);
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

  std::u16string& text_;
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
  MarkdownBlocks(text).Run();
  HideUrls(text);
}

void HideHtmlMarkup(std::u16string& text, bool xml) {
  HtmlScanner(text, xml, false).Run(0, text.size());
}

}  // namespace lexivane::frontend
