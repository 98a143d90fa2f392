// The HTML scanner and the character references, which the HTML and XML filter runs over the
// whole text and the Markdown filter over its HTML blocks and inline HTML. Internal to the
// document modes' filters.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"

namespace lexivane::frontend::html {

// What HTML counts as white space: no vertical tab.
inline constexpr AsciiSet kHtmlSpaces(" \t\f\n\r");
inline bool IsHtmlSpace(char16_t c) {
  return kHtmlSpaces.Has(c);
}

// Whether `name` is one of `names` (given in small letters), in any letter case.
inline bool IsOneOfNoCase(std::u16string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view known : names) {
    if (support::EqualsIgnoringAsciiCase(name, known)) return true;
  }
  return false;
}

// The reference at text[at] == '&' (`&eacute;`, `&#233;`, `&#xE9;`) put in its place, an
// unknown name hidden; returns its end, or `at` when there is none there (a lone `&` stays).
std::size_t DecodeReference(TextCursor text, std::size_t at, std::size_t end);

class HtmlScanner {
 public:
  // complete_tags_only: Markdown's inline HTML, where a `<` that opens no complete tag, comment
  // or declaration is a character of the text; elsewhere a tag left open runs to the end of the
  // text, as browsers read it.
  HtmlScanner(TextCursor text, bool xml, bool complete_tags_only)
      : text_(text), xml_(xml), complete_only_(complete_tags_only), addresses_(text.text()) {}

  // Inside an element whose text is code: HTML's code, pre, kbd, samp, tt and var, an element of
  // a class that marks code in the HTML that DocBook documents become (`<b class="command">`,
  // `<tt class="filename">`), and DocBook's own elements of code in XML (`<command>`,
  // `<filename>`, `<literal>`).
  bool InCode() const { return code_depth_ > 0; }

  // Hides the markup at text[at] == '<' and returns its end, or `at` when no markup starts there.
  std::size_t Markup(std::size_t at, std::size_t end);

  // The whole of text[begin, end) read as HTML (or XML).
  void Run(std::size_t begin, std::size_t end);

 private:
  // Hides the addresses in the text [from, to) (URLs, e-mail addresses, paths), read with its
  // references as what they stand for: `&amp;` is part of an address, `&nbsp;` or `&quot;` ends
  // one.
  void HideAddresses(std::size_t from, std::size_t to);

  // The end of the hidden stretch [at, close + marker) or, for one that does not close, the
  // end of the text (or nothing, for Markdown's inline HTML).
  std::size_t Hidden(std::size_t at, std::size_t close, std::size_t end);

  // Just past the first `needle` in text[from, end), or kNoPosition. A needle sought in vain is not
  // sought again from a later place in the same stretch.
  std::size_t Find(std::u16string_view needle, std::size_t from, std::size_t end);

  // Just past the `>` of a declaration (`<!DOCTYPE ...>`, `<!ENTITY ...>`), skipping quoted
  // strings and an internal subset in brackets. One in Markdown's inline HTML ends at the next
  // `<` even in brackets, as it has no internal subset there: else a paragraph of `<![` would be
  // read to its end once for each.
  std::size_t DeclarationEnd(std::size_t from, std::size_t end);

  std::size_t NameEnd(std::size_t from, std::size_t end) const;

  std::size_t EndTag(std::size_t at, std::size_t end);

  bool IsCode(std::u16string_view name) const;

  // Whether a class attribute's value names one of the classes of code.
  static bool IsCodeClass(std::u16string_view classes);

  bool IsRead(std::u16string_view attribute) const;

  // A start tag: its name and attributes hidden but for the values people read. The tag is
  // read to its end before anything is changed, since Markdown may find it is no tag at all.
  std::size_t StartTag(std::size_t at, std::size_t end);

  // Hides a script, style or math element's text and its end tag (`</math>`, `</m:math>`).
  std::size_t RawTextEnd(std::string_view lower, std::size_t from, std::size_t end);

  TextCursor text_;
  const bool xml_;
  const bool complete_only_;
  int code_depth_ = 0;
  // The elements made code by their class, innermost last, each with how many elements of its
  // name it holds open (`<span class="command"><span>make</span></span>`).
  struct CodeByClass {
    std::u16string name;
    int nested = 0;
  };
  std::vector<CodeByClass> code_by_class_;
  std::vector<std::pair<std::size_t, std::size_t>> kept_;
  std::size_t addresses_read_to_ = 0;  // the text before it has had its addresses hidden
  filter::AddressReading addresses_;
  struct Unfound {
    std::size_t from = kNoPosition;
    std::size_t end = kNoPosition;
  };
  std::map<std::u16string_view, Unfound> unfound_;
};

}  // namespace lexivane::frontend::html
