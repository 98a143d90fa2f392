// The HTML and XML filter: tags and their attributes hidden but for the values people read
// (alt, title), comments, declarations, processing instructions, the text of script, style,
// math and (in HTML) code elements; character references put in their place. The Markdown
// filter runs the same scanner (html_markup.h).
//
// Every search either moves the scan forward past what it read or stops at a character that a
// later search starts from (the next `<`, a bounded length), and a search that found no end
// remembers it, so the filter stays linear in the text however odd the input.
#include <unicode/uchar.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "frontend/modes/find_units.h"
#include "frontend/modes/html_markup.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend {

namespace html {

namespace {

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

bool SameNameNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
           return support::AsciiLower(x) == support::AsciiLower(y);
         });
}

// Puts what a reference stands for in its place. A letter (or an apostrophe, which joins the
// letters around it) is followed by word joiners, so that "caf&eacute;" and "don&rsquo;t" are
// read whole; another mark is followed by blanks, so that the word after "&amp;" starts where
// a reader sees it start; a space, a control character or an invalid code is hidden, and an
// invisible one (the soft hyphen) becomes word joiners only.
void PutReference(TextCursor text, std::size_t begin, std::size_t end, char32_t code) {
  const bool invalid = code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF);
  if (invalid || code < 0x20 || (code >= 0x7F && code <= 0xA0) || u_isspace(code)) {
    return text.Hide(begin, end);
  }
  if (code == 0xAD || code == 0x200B || code == 0x200C || code == 0x200D || code == 0x2060 ||
      code == 0xFEFF) {
    text.Fill(begin, end, kWordJoiner);
    return;
  }
  std::size_t at = begin;
  if (code > 0xFFFF) {
    text.Put(at++, static_cast<char16_t>(0xD7C0 + (code >> 10)));
    text.Put(at++, static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
  } else {
    text.Put(at++, static_cast<char16_t>(code));
  }
  const bool joins = u_isalnum(code) ||
                     u_getIntPropertyValue(code, UCHAR_GENERAL_CATEGORY) == U_NON_SPACING_MARK ||
                     code == u'\'' || code == kTypographicApostrophe;
  text.Fill(at, end, joins ? kWordJoiner : u' ');
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
      if (!(hex ? IsAsciiHexDigit(c) : IsAsciiDigit(c))) break;
      const int value = support::AsciiHexDigitValue(c);
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

}  // namespace

std::size_t DecodeReference(TextCursor text, std::size_t at, std::size_t end) {
  char32_t code;
  const std::size_t reference_end = ReferenceEnd(text, at, end, code);
  if (reference_end > at) PutReference(text, at, reference_end, code);
  return reference_end;
}

std::size_t HtmlScanner::Markup(std::size_t at, std::size_t end) {
  // Tags first, the commonest; what else markup can be starts with `<!` or `<?`.
  if (at + 1 >= end) return at;
  if (IsAsciiLetter(text_[at + 1])) return StartTag(at, end);
  if (text_[at + 1] == u'/') return EndTag(at, end);
  if (text_.StartsWith(at, end, u"<!--")) return Hidden(at, Find(u"-->", at + 2, end), end);
  if (text_.StartsWith(at, end, u"<![CDATA[")) {
    // The section's text is read, as it stands: no tags and no references in it.
    const std::size_t close = Find(u"]]>", at + 9, end);
    if (close == kNoPosition && complete_only_) return at;
    text_.Hide(at, at + 9);
    if (close == kNoPosition) return end;
    text_.Hide(close - 3, close);
    return close;
  }
  if (text_.StartsWith(at, end, u"<?")) {
    return Hidden(at, xml_ ? Find(u"?>", at + 2, end) : Find(u">", at + 2, end), end);
  }
  if (text_.StartsWith(at, end, u"<!")) return Hidden(at, DeclarationEnd(at + 2, end), end);
  return at;
}

void HtmlScanner::Run(std::size_t begin, std::size_t end) {
  for (std::size_t i = begin; i < end;) {
    // Text up to the next markup or reference stays as it is, but for its addresses, read once
    // up to the next `<`.
    if (!InCode()) {
      if (i >= addresses_read_to_) {
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
      text_.Hide(i, i + 1);
      ++i;
    } else if (text_[i] == u'&') {
      i = std::max(DecodeReference(text_, i, end), i + 1);
    } else {
      ++i;
    }
  }
}

void HtmlScanner::HideAddresses(std::size_t from, std::size_t to) {
  const std::u16string_view part = std::u16string_view(text_).substr(0, to);
  std::size_t reference = FindAnyOf(part, from, u'&');
  if (reference == to) return HideUrls(text_.text(), from, to);
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

std::size_t HtmlScanner::Hidden(std::size_t at, std::size_t close, std::size_t end) {
  if (close == kNoPosition) {
    if (complete_only_) return at;
    text_.Hide(at, end);
    return end;
  }
  text_.Hide(at, close);
  return close;
}

std::size_t HtmlScanner::Find(std::u16string_view needle, std::size_t from, std::size_t end) {
  Unfound& unfound = unfound_[needle];
  if (from >= unfound.from && end == unfound.end) return kNoPosition;
  const std::size_t found = std::u16string_view(text_).substr(0, end).find(needle, from);
  if (found == kNoPosition) {
    unfound = {from, end};
    return kNoPosition;
  }
  return found + needle.size();
}

std::size_t HtmlScanner::DeclarationEnd(std::size_t from, std::size_t end) {
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
      return kNoPosition;
    }
  }
  return kNoPosition;
}

std::size_t HtmlScanner::NameEnd(std::size_t from, std::size_t end) const {
  while (from < end && !IsHtmlSpace(text_[from]) && text_[from] != u'>' && text_[from] != u'/' &&
         text_[from] != u'<' && text_[from] != u'=') {
    ++from;
  }
  return from;
}

std::size_t HtmlScanner::EndTag(std::size_t at, std::size_t end) {
  if (at + 2 >= end || !IsAsciiLetter(text_[at + 2])) {
    return complete_only_ ? at : Hidden(at, Find(u">", at + 2, end), end);
  }
  const std::size_t name_end = NameEnd(at + 2, end);
  std::size_t i = name_end;
  while (i < end && text_[i] != u'>' && !(complete_only_ && (text_[i] == u'<'))) ++i;
  if (i >= end || text_[i] != u'>') {
    if (complete_only_) return at;
    text_.Hide(at, end);
    return end;
  }
  const std::u16string_view name = std::u16string_view(text_).substr(at + 2, name_end - at - 2);
  if (IsCode(name)) {
    code_depth_ = std::max(code_depth_ - 1, 0);
  } else if (!code_by_class_.empty() && SameNameNoCase(name, code_by_class_.back().name)) {
    if (code_by_class_.back().nested-- == 0) {
      code_by_class_.pop_back();
      code_depth_ = std::max(code_depth_ - 1, 0);
    }
  }
  text_.Hide(at, i + 1);
  return i + 1;
}

bool HtmlScanner::IsCode(std::u16string_view name) const {
  if (!xml_) return IsOneOfNoCase(name, {"code", "pre", "kbd", "samp", "tt", "var"});
  return IsOneOfNoCase(
      name,
      {"classname",   "code",        "command", "computeroutput", "envar",          "filename",
       "function",    "literal",     "option",  "parameter",      "programlisting", "prompt",
       "replaceable", "returnvalue", "screen",  "structfield",    "structname",     "synopsis",
       "systemitem",  "userinput",   "varname"});
}

bool HtmlScanner::IsCodeClass(std::u16string_view classes) {
  for (std::size_t i = 0; i < classes.size();) {
    while (i < classes.size() && IsHtmlSpace(classes[i])) ++i;
    std::size_t end = i;
    while (end < classes.size() && !IsHtmlSpace(classes[end])) ++end;
    if (IsOneOfNoCase(
            classes.substr(i, end - i),
            {"classname", "command", "computeroutput", "envar", "filename", "function", "literal",
             "option", "parameter", "programlisting", "prompt", "replaceable", "returnvalue",
             "screen", "structfield", "structname", "systemitem", "userinput", "varname"})) {
      return true;
    }
    i = end;
  }
  return false;
}

bool HtmlScanner::IsRead(std::u16string_view attribute) const {
  return xml_ ? IsOneOfNoCase(attribute, {"alt", "title"})
              : IsOneOfNoCase(attribute, {"alt", "title", "placeholder", "aria-label"});
}

std::size_t HtmlScanner::StartTag(std::size_t at, std::size_t end) {
  const std::size_t name_end = NameEnd(at + 1, end);
  const std::u16string_view name = std::u16string_view(text_).substr(at + 1, name_end - at - 1);
  kept_.clear();
  bool code_class = false;
  bool self_closing = false;
  std::size_t i = name_end;
  std::size_t tag_end = kNoPosition;
  while (i < end) {
    const char16_t c = text_[i];
    if (IsHtmlSpace(c)) {
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
      const std::u16string_view attribute_name =
          std::u16string_view(text_).substr(attribute, i - attribute);
      const bool read = IsRead(attribute_name);
      const bool classes = !xml_ && IsOneOfNoCase(attribute_name, {"class"});
      std::size_t j = i;
      while (j < end && IsHtmlSpace(text_[j])) ++j;
      if (j >= end || text_[j] != u'=') continue;
      ++j;
      while (j < end && IsHtmlSpace(text_[j])) ++j;
      if (j < end && (text_[j] == u'"' || text_[j] == u'\'')) {
        const char16_t quote = text_[j];
        std::size_t close = j + 1;
        while (close < end && text_[close] != quote) {
          if (complete_only_ && text_[close] == u'<') return at;
          ++close;
        }
        if (read) kept_.push_back({j + 1, close});
        if (classes)
          code_class = IsCodeClass(std::u16string_view(text_).substr(j + 1, close - j - 1));
        i = close < end ? close + 1 : end;
      } else {
        std::size_t value_end = j;
        while (value_end < end && !IsHtmlSpace(text_[value_end]) && text_[value_end] != u'>') {
          if (complete_only_ && text_[value_end] == u'<') return at;
          ++value_end;
        }
        if (read) kept_.push_back({j, value_end});
        if (classes) code_class = IsCodeClass(std::u16string_view(text_).substr(j, value_end - j));
        i = value_end;
      }
    }
  }
  if (tag_end == kNoPosition) {
    if (complete_only_) return at;
    tag_end = end;
  }
  // The name is read before the tag is hidden.
  const bool raw_text = !xml_ && !self_closing && IsOneOfNoCase(name, {"script", "style"});
  const bool script = raw_text && name.size() == 6;
  // A MathML formula (`<math>`, `<m:math>` in XML) holds symbols and names, no prose.
  const bool math = !self_closing && IsOneOfNoCase(name.substr(name.find(u':') + 1), {"math"});
  const bool code = !self_closing && IsCode(name);
  // An element of the name of the innermost one made code by its class holds it open longer.
  if (!self_closing && !code_by_class_.empty() &&
      SameNameNoCase(name, code_by_class_.back().name)) {
    ++code_by_class_.back().nested;
  } else if (!self_closing && !code && code_class) {
    code_by_class_.push_back({std::u16string(name), 0});
    ++code_depth_;
  }
  std::size_t hidden_from = at;
  for (const auto& [begin, value_end] : kept_) {
    text_.Hide(hidden_from, begin);
    HideAddresses(begin, value_end);
    for (std::size_t k = begin; k < value_end; ++k) {
      if (text_[k] == u'&') k = std::max(DecodeReference(text_, k, value_end), k + 1) - 1;
    }
    hidden_from = value_end;
  }
  text_.Hide(hidden_from, tag_end);
  if (raw_text) return RawTextEnd(script ? "script" : "style", tag_end, end);
  if (math) return RawTextEnd("math", tag_end, end);
  if (code) ++code_depth_;
  return tag_end;
}

std::size_t HtmlScanner::RawTextEnd(std::string_view lower, std::size_t from, std::size_t end) {
  for (std::size_t i = from; i < end; ++i) {
    if (text_[i] != u'<' || i + 1 >= end || text_[i + 1] != u'/') continue;
    std::size_t name = i + 2;
    std::size_t prefix_end = name;
    while (prefix_end < end && (IsAsciiAlnum(text_[prefix_end]) || text_[prefix_end] == u'-')) {
      ++prefix_end;
    }
    if (prefix_end < end && text_[prefix_end] == u':') name = prefix_end + 1;
    if (text_.StartsWithNoCase(name, end, lower)) {
      std::size_t close = name + lower.size();
      while (close < end && text_[close] != u'>') ++close;
      close = std::min(close + 1, end);
      text_.Hide(from, close);
      return close;
    }
  }
  text_.Hide(from, end);
  return end;
}

}  // namespace html

void HideHtmlMarkup(std::u16string& text, bool xml) {
  html::HtmlScanner(TextCursor(text), xml, false).Run(0, text.size());
}

}  // namespace lexivane::frontend
