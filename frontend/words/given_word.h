// The word a person gives a command, rather than one found in running text: the pipe's `*`,
// `&` and `@` requests, the language server's add and ignore commands.
//
// Such a word is read as running text reads its words (a typographic apostrophe is U+0027, see
// ReadApostrophes), so that what was added is what the check is later asked. It becomes one
// entry of the custom dictionary file, one per line, so a word that would not stay one entry is
// refused: an empty one, one holding a line break, a NUL or another control character, and one
// that begins or ends with a blank (which running text never gives, and which would never
// match). Blanks inside are kept: an entry may hold several words. Pure functions, any thread.
#pragma once

#include <string>
#include <string_view>

namespace lexivane::frontend {

struct GivenWord {
  std::u16string word;  // as the word check is asked it; empty when refused
  std::string refusal;  // why the word was refused; empty when it was taken
  bool taken() const { return refusal.empty(); }
};

GivenWord ReadGivenWord(std::u16string_view given);

}  // namespace lexivane::frontend
