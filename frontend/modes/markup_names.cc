#include "frontend/modes/markup_names.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "frontend/modes/find_units.h"
#include "support/ascii.h"

namespace lexivane::frontend {
namespace {

// Adds runs of letters of a text to the names. A document's control words recur by the
// thousand (`\item`, `\emph`): each run is hashed as it is read and looked up among the hashes
// met so far, and only a new one is copied into the set.
class NameAdder {
 public:
  explicit NameAdder(MarkupNames& names) : names_(names) {}

  // The letters of `text` from `at` on; where they end.
  std::size_t AddLettersFrom(std::u16string_view text, std::size_t at) {
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    std::size_t end = at;
    for (; end < text.size() && support::IsAsciiLetter(text[end]); ++end) {
      hash = (hash ^ text[end]) * 1099511628211u;
    }
    std::uint64_t& seen = seen_[hash & (kSeen - 1)];
    if (end > at && seen != hash) {
      seen = hash;
      std::string letters(end - at, '\0');
      std::transform(text.begin() + at, text.begin() + end, letters.begin(),
                     [](char16_t c) { return static_cast<char>(c); });
      names_.insert(std::move(letters));
    }
    return end;
  }

 private:
  static constexpr std::size_t kSeen = 1024;
  std::array<std::uint64_t, kSeen> seen_{};
  MarkupNames& names_;
};

// The comma-separated names in the braces after a control word that ends at `at`
// (`\usepackage[opts]{amsmath,amssymb}`, `\begin{pmatrix}`), blanks and an optional argument
// before them passed over.
void AddArgumentNames(std::u16string_view text, std::size_t at, NameAdder& names) {
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
    if (support::IsAsciiLetter(text[i]) && !support::IsAsciiLetter(text[i - 1])) {
      i = names.AddLettersFrom(text, i);
    }
  }
}

// The first backslash of `text` from `from` on, or npos: the whole text is scanned for every
// document, eight units at a time.
std::size_t FindBackslash(std::u16string_view text, std::size_t from) {
  const std::size_t at = FindAnyOf(text, from, u'\\');
  return at < text.size() ? at : std::u16string_view::npos;
}

void AddTexNames(std::u16string_view text, MarkupNames& names) {
  NameAdder adder(names);
  for (std::size_t at = FindBackslash(text, 0); at != std::u16string_view::npos;
       at = FindBackslash(text, at + 1)) {
    // A control word; `@` is a letter in packages' internals (`\@startsection`, `\end@float`),
    // and each run of letters between is a name.
    bool naming = false;
    std::size_t end = at + 1;
    while (end < text.size()) {
      if (text[end] == u'@') {
        ++end;
      } else if (support::IsAsciiLetter(text[end])) {
        const std::size_t start = end;
        end = adder.AddLettersFrom(text, end);
        // The commands whose argument names an environment, packages or a class.
        static constexpr std::u16string_view kNaming[] = {u"begin", u"usepackage",
                                                          u"RequirePackage", u"documentclass"};
        const std::u16string_view run = text.substr(start, end - start);
        naming =
            naming || std::find(std::begin(kNaming), std::end(kNaming), run) != std::end(kNaming);
      } else {
        break;
      }
    }
    if (naming) AddArgumentNames(text, end, adder);
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
