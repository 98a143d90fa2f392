#include "frontend/modes/markup_names.h"

#include "support/ascii.h"

namespace lexivane::frontend {
namespace {

// The letters from `at` on, as ASCII.
std::string LettersFrom(std::u16string_view text, std::size_t at) {
  std::string letters;
  while (at < text.size() && support::IsAsciiLetter(text[at]))
    letters += static_cast<char>(text[at++]);
  return letters;
}

// The comma-separated names in the braces after a control word that ends at `at`
// (`\usepackage[opts]{amsmath,amssymb}`, `\begin{pmatrix}`), blanks and an optional argument
// before them passed over.
void AddArgumentNames(std::u16string_view text, std::size_t at, MarkupNames& names) {
  while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
  if (at < text.size() && text[at] == u'[') {
    const std::size_t close = text.find(u']', at);
    if (close == std::u16string_view::npos) return;
    at = close + 1;
  }
  if (at >= text.size() || text[at] != u'{') return;
  const std::size_t close = text.find(u'}', at);
  if (close == std::u16string_view::npos) return;
  for (std::size_t i = at + 1; i < close; ++i) {
    if (support::IsAsciiLetter(text[i]) && !support::IsAsciiLetter(text[i - 1]))
      names.insert(LettersFrom(text, i));
  }
}

void AddTexNames(std::u16string_view text, MarkupNames& names) {
  for (std::size_t at = text.find(u'\\'); at != std::u16string_view::npos;
       at = text.find(u'\\', at + 1)) {
    // A control word; `@` is a letter in packages' internals (`\@startsection`, `\end@float`),
    // and each run of letters between is a name.
    std::size_t end = at + 1;
    while (end < text.size() && (support::IsAsciiLetter(text[end]) || text[end] == u'@')) ++end;
    for (std::size_t i = at + 1; i < end; ++i) {
      if (text[i] != u'@' && (i == at + 1 || text[i - 1] == u'@')) {
        std::string letters = LettersFrom(text, i);
        if (letters == "begin" || letters == "usepackage" || letters == "RequirePackage" ||
            letters == "documentclass") {
          AddArgumentNames(text, end, names);
        }
        names.insert(std::move(letters));
      }
    }
  }
}

}  // namespace

void AddMarkupNames(DocumentMode mode, std::u16string_view text, MarkupNames& names) {
  if (mode == DocumentMode::kTex) AddTexNames(text, names);
}

bool IsMarkupName(const MarkupNames& names, std::string_view word) {
  if (names.empty() || word.empty()) return false;
  if (names.contains(std::string(word))) return true;
  if (!support::IsAsciiUpper(word[0])) return false;
  for (const char c : word.substr(1)) {
    if (!support::IsAsciiLower(c)) return false;
  }
  std::string lowered(word);
  lowered[0] = support::AsciiLower(lowered[0]);
  return names.contains(lowered);
}

}  // namespace lexivane::frontend
