// The code between the comments and strings of a source file, when its identifiers are checked
// too (CodeIdentifiers::kChecked): the identifiers stay, each to be cut into its words
// (identifier_parts.h), and everything else is blanked as the code filters blank code.
//
// Blanked with the rest: the keywords and the most common built-in names of the language
// (`elif`, `nullptr`, `size_t`, `fn`, `esac`), which are no one's spelling to correct, and the
// names that begin with two underscores, which the language or its implementation reserves
// (`__init__`, `__attribute__`, `__THROW`);
// numbers (`0x1F`, `1e10`, `42UL`); a string literal's prefix (`u8"`, `rb'`, `br#"`); a character
// literal or a Rust lifetime (`'a'`, `'static`); in C-family code, `#include` and `#import`
// lines with their file names; in shell code, options (`-rf`, `--verbose`) and paths
// (`/usr/bin/env`). Pure functions; any thread.
#pragma once

#include <cstddef>
#include <string>

namespace lexivane::frontend {

enum class CodeLanguage { kCFamily, kHash, kPython };

// Blanks text[from, to), a stretch of code, but for its identifiers that are not keywords.
void HideCodeButIdentifiers(std::u16string& text, std::size_t from, std::size_t to,
                            CodeLanguage language);

}  // namespace lexivane::frontend
