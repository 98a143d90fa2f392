// The words an identifier is made of. Code names things with several words run together
// (`getValue`, `max_safe_integer`, `HTTPServer`); when identifiers are checked, each of those
// words is checked on its own and reported at its own place.
//
// An identifier is cut at each `_` (and any other connector, which is dropped) and where its
// letter case changes: before a capital that follows a small letter or a digit (`get|Value`,
// `utf8|Decoder`), and before the last of a run of capitals that a small letter follows
// (`HTTP|Server`, `XML|Http|Request`), unless that letter is a lone `s`, their plural
// (`URLs|By|Name`). Digits stay with the letters before them (`utf8`,
// `Response2`); a part without a letter is no word. Letters outside ASCII count by their
// Unicode case. Pure functions; any thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "frontend/words/running_words.h"

namespace lexivane::frontend {

struct WordPart {
  std::size_t offset;  // in UTF-16 code units from the identifier's start
  std::size_t length;
};

// The parts of `identifier` that hold a letter, in order; the whole when it is one word.
std::vector<WordPart> IdentifierParts(std::u16string_view identifier);

// ForEachRunningWord, each word cut into its parts, each part handed on at its own place.
void ForEachRunningWordPart(std::u16string_view text,
                            const std::function<void(const RunningWord&)>& found);

}  // namespace lexivane::frontend
