// The front ends' lists of programming words (data/code_words.txt, made by
// data/make_code_words.py): a general vocabulary of programming (`ctx`, `ptr`, `async`,
// `decrypt`) and the names of a language (the C library's `strrchr` and `mmap`, Python's
// `getattr`, the shell's `pushd`, HTML's `colspan`). A code document is full of them, and the
// word check knows few.
//
// Every mode has the general list (documents of prose too: a README names `async` and
// `decrypt`); a document's mode adds its language's: C family sources C's, Python sources
// Python's, shell scripts and the comment modes (Makefiles, Dockerfiles, autoconf) the shell's,
// HTML pages HTML's. The word rule `code-words`
// (word_rules.h) decides whether the document checker asks them, and asks only for a word the
// verdicts reject, so that a walk over files of several languages shares one verdict memo.
//
// The lists are built into the program as they stand and searched in place (sorted_word_list.h,
// which says how letter case and possessives are matched). Any thread.
#pragma once

#include <string_view>

#include "frontend/modes/document_modes.h"

namespace lexivane::frontend {

// Whether a list of `mode` accepts `word` (UTF-8, as the walk found it).
bool CodeWordsHold(DocumentMode mode, std::string_view word);

// Whether the vocabulary of identifiers holds `word`, a part of an identifier of code: the
// parts that the names of several corpora of code share (`tok`, `hdr`, `nxt`, `rlimit`; made
// from the kernel, Python's library and the C and C++ libraries' headers), which prose does
// not write. In any mode.
bool IdentifierWordsHold(std::string_view word);

// The section of the lists named `name` (general, c, python, shell, html, identifiers), as
// built in; empty
// for another name. For tests and documentation.
std::string_view CodeWordList(std::string_view name);

}  // namespace lexivane::frontend
