#include "frontend/words/given_word.h"

#include <unicode/uchar.h>

#include <algorithm>

#include "frontend/words/running_words.h"

namespace lexivane::frontend {

namespace {

// C0 and C1 controls (CR, LF, NUL, tab, NEL among them) and the Unicode line and paragraph
// separators: any of them would end the entry's line for some reader of the file.
bool BreaksEntry(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

}  // namespace

GivenWord ReadGivenWord(std::u16string_view given) {
  if (given.empty()) return {{}, "the word is empty"};
  if (std::any_of(given.begin(), given.end(), BreaksEntry)) {
    return {{}, "the word holds a line break or another control character"};
  }
  // Every white space character is in the Basic Multilingual Plane, so a code unit will do.
  if (u_isUWhiteSpace(given.front()) || u_isUWhiteSpace(given.back())) {
    return {{}, "the word begins or ends with a blank"};
  }
  GivenWord taken{std::u16string(given), {}};
  ReadApostrophes(taken.word);
  return taken;
}

}  // namespace lexivane::frontend
