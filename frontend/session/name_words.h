// The names of the embedded word list: its entries that are written only with capitals (`Thant`,
// `Ines`, `Linux`); data/name_words.txt, made by data/make_name_words.py.
//
// The embedded list is in lower case, so the word check accepts `thant` as readily as `Thant`.
// In running text a name in small letters is far more often a slip for another word (`thant` for
// `than`), so the word rule `names` (word_rules.h) flags it. The list is built into the program
// as it stands, nothing to load at start-up; the first question indexes it. Any thread.
#pragma once

#include <string>
#include <string_view>

namespace lexivane::frontend {

// Whether `word` is one of those names written in small letters only (`thant`, `thant's`; not
// `Thant`, `THANT` or `than`).
bool IsNameInSmallLetters(std::u16string_view word);

// The name as it is written: `word` with its first letter a capital (`Thant` for `thant`).
std::u16string CapitalisedName(std::u16string_view word);

}  // namespace lexivane::frontend
