// Whole-word replacement: every whole-word occurrence of a word in a text, matched without
// regard to letter case (each candidate substring against Find by platform::EqualIgnoringCase),
// replaced by another word exactly as given.
//
// A word character here is an ASCII letter or digit, the underscore, DEL (0x7F) or one of the
// control characters 0x10 to 0x19 (judged by the character's Windows-1252 byte); everything
// else, the apostrophe, the hyphen and every letter from 0x80 up included, bounds a word.
// Occurrences are replaced from left to right, each search running on the text as already
// changed and resuming one character after the start of the replacement just inserted; where
// that would find an occurrence lying wholly inside that replacement, the search resumes after
// the replacement instead, so that every call ends (docs/text-check.md states the rule).
// An empty Find returns the text unchanged. The time is linear in the lengths of the text and
// the result, whatever the length of Find; the result is written once, never spliced.
// Pure function, any thread.
#pragma once

#include <string>
#include <string_view>

namespace lexivane {

std::u16string ReplaceWholeWords(std::u16string_view text, std::u16string_view find,
                                 std::u16string_view replace);

// True when `c` counts as part of a word for the whole-word test.
bool IsReplaceWordCharacter(char16_t c);

}  // namespace lexivane
