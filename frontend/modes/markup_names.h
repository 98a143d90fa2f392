// The names a document's markup is written with, which its prose mentions as words: a TeX
// document that explains its commands writes `\cn{dotsb}`, "the pmatrix environment" or "load
// amsmath" where it also uses `\dotsb`, `\begin{pmatrix}` and `\usepackage{amsmath}`. The
// document checker takes such a word as the markup's name, not as a misspelling.
//
// Only TeX documents have them today: their control words (`\dotsb`, `\@startsection`'s
// letters), the environments they begin and the packages and classes they load. Pure
// functions; any thread.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "frontend/modes/document_modes.h"

namespace lexivane::frontend {

using MarkupNames = std::unordered_set<std::string>;

// The names of the markup of `text`, a document in `mode`, added to `names` (in UTF-8, as
// written); nothing in a mode without such names.
void AddMarkupNames(DocumentMode mode, std::u16string_view text, MarkupNames& names);

// Whether `word` is one of `names`, as written or Capitalised at the start of a sentence
// (`Alignat` for `alignat`).
bool IsMarkupName(const MarkupNames& names, std::string_view word);

}  // namespace lexivane::frontend
