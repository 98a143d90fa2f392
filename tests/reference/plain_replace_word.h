// Whole-word replacement written the plain way: a case-insensitive substring search from a
// 1-based start, a whole-word test of each hit and a fresh spliced string for every occurrence
// replaced. Quadratic on purpose; the tests hold the fast ReplaceWholeWords to its answers.
//
// Where the plain loop would run for ever (a whole occurrence found lying inside the
// replacement just inserted, after its first character), it resumes after that replacement;
// an empty Find returns the text unchanged.
#pragma once

#include <cstdint>
#include <string>

namespace lexivane::reference {

// The first position at or after `start` (1-based) where `find` occurs with letter case
// ignored, or 0.
std::int32_t InStrIgnoringCase(std::int32_t start, const std::u16string& text,
                               const std::u16string& find);

bool IsWholeWord(std::int32_t before, std::int32_t after, const std::u16string& text);

std::int32_t FindWholeWord(std::int32_t start, const std::u16string& find,
                           const std::u16string& text);

std::u16string PlainReplaceWord(const std::u16string& text, const std::u16string& find,
                                const std::u16string& replace);

}  // namespace lexivane::reference
