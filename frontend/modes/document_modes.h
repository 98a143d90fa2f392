// Document modes: which parts of a document are prose to check. People check READMEs, web
// pages, papers, man pages and the comments of their code, not plain prose; a mode hides the
// markup, code and addresses around the prose so that only what a reader reads is checked.
//
// HideNonProse works in place and keeps every offset: each code unit it hides becomes a blank
// (U+0020), except LF and CR, which stay, so the text keeps its length and its lines, and every
// position, column and range a front end reports in the filtered text is right in the original.
// A sequence that stands for one character (an HTML entity such as `&eacute;`, a TeX accent
// such as `\'e`) may become that character followed by word joiners (U+2060) up to the
// sequence's length, and one that stands for nothing inside a word (a discretionary hyphen such
// as `\-` or `\%`) may become word joiners alone: the word rule keeps a word whole across them
// and drops them from the word it hands to the check (running_words.h), so "caf&eacute;" is
// checked as "café" and "hy\-phen" as "hyphen".
//
// The mode comes from the name the person gives (--mode NAME; the names of the table below), or
// from the file's extension. Pure functions; any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::frontend {

enum class DocumentMode {
  kNone,      // everything is prose
  kUrl,       // plain text with URLs, e-mail addresses and file paths hidden
  kMarkdown,  // code spans and fences, link targets, autolinks, HTML, front matter hidden
  kHtml,      // tags, attributes (but alt and title), script, style, code, pre, comments
  kXml,       // as HTML, with every element's text checked (sgml is a name of it)
  kTex,       // commands and their non-text arguments, math, verbatim, comments
  kNroff,     // requests, macro names and escapes
  kCFamily,   // comments and string literals only (ccpp: C, C++, Java, JS, TS, Rust, Go, C#, Swift)
  kHashComments,      // # comments only (comment: Ruby, Perl, Makefiles, CMake, Dockerfiles, ...)
  kShell,             // # comments, quoted strings and here-documents, expansions hidden
  kPython,            // comments, docstrings and string literals
  kM4,                // # and dnl comments (m4, autoconf)
  kIni,               // ; and # comments (INI, .cfg, .conf)
  kRestructuredText,  // directives, roles, literal blocks, targets, comments and markers hidden
  kYaml,              // comments and prose values (block scalars too), keys hidden
  kToml,              // comments and prose string values, keys and tables hidden
  kJson,              // prose string values, keys hidden (and comments, where written)
  kKconfig,           // prompts, help texts and # comments of configuration menus
};

struct ModeName {
  std::string_view name;
  DocumentMode mode;
};

// Every name --mode takes, in the order `--help` shows them.
const std::vector<ModeName>& ModeNames();
std::optional<DocumentMode> ModeNamed(std::string_view name);
std::string_view NameOf(DocumentMode mode);

// The mode a file's name calls for (by its extension, or its whole name for a few such as
// "Makefile" and "Dockerfile.dev"); kNone when nothing is known of it. "-" (standard input) is
// kNone.
DocumentMode ModeForFile(std::string_view file_name);
// As above, and when the name says nothing, the mode of the interpreter that `first_line` names
// (`#!/bin/sh`, `#!/usr/bin/env python3`, `#!/usr/bin/perl -w`), or else of the editor's mode
// line it holds (Emacs's `-*- shell-script -*-`, `-*- mode: python -*-`, Vim's `vim: ft=sh`);
// kNone without one.
DocumentMode ModeForFile(std::string_view file_name, std::string_view first_line);

// Whether the code modes (ccpp, comment, shell, python, m4, ini) check the code around comments and
// strings too: its identifiers, less the language's keywords (code_identifiers.h), each to be
// walked in the words it is made of (ForEachRunningWordPart). Other modes have no code to check.
enum class CodeIdentifiers { kHidden, kChecked };
// kChecked when they are to be checked and `mode` is a code mode: prose is never cut up.
CodeIdentifiers CodeIdentifiersIn(DocumentMode mode, bool check_identifiers);

// Every mode, none included, also hides the interpreter line a script may start with (`#!` and
// a path: `#!/usr/bin/env python3`): its words are paths and program names, and a correction
// would break the script.
void HideNonProse(std::u16string& text, DocumentMode mode,
                  CodeIdentifiers identifiers = CodeIdentifiers::kHidden);

// The length of the interpreter line `text` starts with, its line end excluded; 0 for none.
// For UTF-16 and UTF-8 text alike.
template <typename Char>
std::size_t InterpreterLineLength(std::basic_string_view<Char> text) {
  if (text.size() < 3 || text[0] != '#' || text[1] != '!') return 0;
  std::size_t path = 2;
  while (path < text.size() && (text[path] == ' ' || text[path] == '\t')) ++path;
  if (path == text.size() || text[path] != '/') return 0;
  const std::size_t end = text.find('\n', path);
  return end == text.npos ? text.size() : end;
}

// Whether HideNonProse leaves something of `text` hidden: in every mode but none, and in none
// only for an interpreter line. A caller that finds nothing hidden may walk the text itself.
bool HidesAnythingIn(DocumentMode mode, std::u16string_view text);

// Whether the mode only blanks what it hides and never rewrites a character (no entities, no
// accents): then every word of its filtered text stands in the original exactly as it is.
bool HidesOnly(DocumentMode mode);

}  // namespace lexivane::frontend
