// The filter of each document mode (document_modes.h), one function per family of formats, each
// in a file of its own. Each keeps the contract of HideNonProse: it only turns code units into
// blanks (LF and CR stay), or a sequence standing for one character (or for none) into that
// character and word joiners (U+2060), never changing the text's length.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frontend/modes/document_modes.h"
#include "frontend/modes/text_cursor.h"

namespace lexivane::frontend {

void HideUrls(std::u16string& text);  // url_filter.cc; the other filters may use it
// As if text[begin, end) were the whole text.
void HideUrls(std::u16string& text, std::size_t begin, std::size_t end);
void HideMarkdownMarkup(std::u16string& text);        // markdown_filter.cc
void HideHtmlMarkup(std::u16string& text, bool xml);  // html_filter.cc
void HideTexMarkup(std::u16string& text);             // tex_filter.cc
void HideNroffMarkup(std::u16string& text);           // nroff_filter.cc
// c_family_filter.cc, hash_comment_filter.cc, shell_filter.cc, python_filter.cc; each also
// without identifiers (for the same signature as the others).
void KeepCFamilyCommentsAndStrings(std::u16string& text, CodeIdentifiers identifiers);
void KeepHashComments(std::u16string& text, CodeIdentifiers identifiers);
void KeepShellCommentsAndStrings(std::u16string& text, CodeIdentifiers identifiers);
void KeepPythonCommentsAndStrings(std::u16string& text, CodeIdentifiers identifiers);
// hash_comment_filter.cc: m4's `dnl` comments beside `#`, and INI's `;` beside `#`.
void KeepM4Comments(std::u16string& text, CodeIdentifiers identifiers);
void KeepIniComments(std::u16string& text, CodeIdentifiers identifiers);
void HideRestructuredTextMarkup(std::u16string& text);  // rst_filter.cc
// data_filter.cc: comments and the string values that are prose; keys, tables and the rest hidden.
void KeepYamlProse(std::u16string& text);
void KeepTomlProse(std::u16string& text);
void KeepJsonProse(std::u16string& text);
void KeepKconfigProse(std::u16string& text);  // kconfig_filter.cc
inline void KeepCFamilyCommentsAndStrings(std::u16string& text) {
  KeepCFamilyCommentsAndStrings(text, CodeIdentifiers::kHidden);
}
inline void KeepHashComments(std::u16string& text) {
  KeepHashComments(text, CodeIdentifiers::kHidden);
}
inline void KeepShellCommentsAndStrings(std::u16string& text) {
  KeepShellCommentsAndStrings(text, CodeIdentifiers::kHidden);
}
inline void KeepPythonCommentsAndStrings(std::u16string& text) {
  KeepPythonCommentsAndStrings(text, CodeIdentifiers::kHidden);
}
inline void KeepM4Comments(std::u16string& text) {
  KeepM4Comments(text, CodeIdentifiers::kHidden);
}
inline void KeepIniComments(std::u16string& text) {
  KeepIniComments(text, CodeIdentifiers::kHidden);
}

// The pieces the filters share beside the text cursor (text_cursor.h).
namespace filter {

// A table's entries by their `name`, for tables that are searched for nearly every command or
// word a filter meets. Made once; any thread.
template <typename Entry>
class NameIndex {
 public:
  explicit NameIndex(std::span<const Entry> entries) {
    for (const Entry& entry : entries) by_name_.emplace(entry.name, &entry);
  }
  const Entry* Find(std::u16string_view name) const {
    const auto found = by_name_.find(name);
    return found == by_name_.end() ? nullptr : found->second;
  }

 private:
  std::unordered_map<std::u16string_view, const Entry*> by_name_;
};

// The one character a base letter and a combining mark compose to (NFC), or 0 when none does.
char16_t ComposeMark(char16_t base, char16_t mark);

// Addresses (HideUrls) in a text written with escapes or references inside them (nroff's `\-`,
// TeX's `\_`, HTML's `&amp;`): a filter gives the text as it reads, piece by piece and in order,
// with where each piece is written, and the written form of every address found in what was read
// is hidden, escapes included. What is read is held only up to the last line break, where no
// address runs on. Holds `text`; one object serves one filter run. url_filter.cc.
class AddressReading {
 public:
  explicit AddressReading(std::u16string& text) : text_(text) {}
  // text[from, to) reads as it is written, but for `separators`, which end an address there.
  void Verbatim(std::size_t from, std::size_t to, const AsciiSet* separators = nullptr);
  // [from, to) reads as `reads_as`, or as nothing when it is 0 (a font change, a break point);
  // a blank when it ends an address.
  void Escape(std::size_t from, std::size_t to, char16_t reads_as);
  // Hides every address read so far, and starts afresh.
  void HideAddresses();

 private:
  struct Piece {
    std::size_t read;  // where its reading starts in read_
    std::size_t written;
    std::size_t written_length;
    bool unit_for_unit;  // each unit read from the unit written at its place; else one or none
  };
  void UnitForUnit(std::size_t from, std::size_t to);

  std::u16string& text_;
  std::u16string read_;
  std::vector<Piece> pieces_;
};

}  // namespace filter

}  // namespace lexivane::frontend
