// What the characters just before a word the word check rejected show it to be, under the word
// rules that look at them (word_rules.h):
//
//   hex       the hex digits of a CSS colour after `#` (3, 4, 6 or 8 of them: `#fff`,
//             `#deadbeef`): no word
//   formats   a printf conversion after `%` and its flags, width and precision (`%lu`, `%-8s`,
//             `%zx`): no word
//   mentions  a name right after `@` that no letter or digit comes before (`@phprus`, a
//             mention of a person or a team; `@Override`): no word. An address's `@` has its
//             user name before it.
//   escapes   a capitalised word glued to a backslash escape (`\nHello`, `\tWorld`; not
//             `\\nHello`): the word after the escape's letter, which is judged instead
//   options   a word of a command-line option: a token that starts with `-` or `--` after a
//             blank or an opening mark (`-execdir`, `--max-procs`, `(--jobserver-fds)`), whose
//             words are names of code and judged as an identifier's are
//   man-pages a name right before a manual page's section (`getent(1)`, `.BR updatedb (5)`,
//             `pwck(8)`, `printf(3p)`; a few blanks may come between): no word
//   key-letters  a word right after a menu's key letter, marked off by `&`, `)` or `]` (`E&xit`,
//             `(y)es`, `s)ubject`, `[q]uit`): the letter and the word, judged together
//
// The characters before and after are those of the text the word was walked in (prose or a piece of
// a file), in UTF-16 or UTF-8; only ASCII ones matter. Pure functions, any thread.
#pragma once

#include <cstddef>
#include <string_view>

#include "frontend/session/word_rules.h"

namespace lexivane::frontend {

enum class WordInContext {
  kWord,            // a word as it stands
  kNoWord,          // not a word at all: never reported
  kAfterEscape,     // its first letter ends an escape: the word is the rest
  kAfterKeyLetter,  // a key letter and its mark come before: the word is the letter and it
  kInOption,        // a word of a command-line option: judged as a word of an identifier
};

// `before`: the text before the word (any length; the last few characters are looked at, or
// the option's token); `after`: the text after it (the first few characters are looked at).
template <typename Char>
WordInContext ContextOf(std::basic_string_view<Char> before, std::string_view word, WordRules rules,
                        std::basic_string_view<Char> after = {});

}  // namespace lexivane::frontend
