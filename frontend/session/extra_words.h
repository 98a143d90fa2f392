// The front ends' extra word list: words the embedded list lacks that running text is full of
// (SCOWL's larger sizes, software terms); data/extra_words.txt, made by data/make_extra_words.py.
//
// The list is built into the program as it stands and searched in place (sorted_word_list.h, which
// says how letter case and possessives are matched), so it costs nothing at start-up and no memory
// beyond its pages.
//
// The word rule `extra-words` (word_rules.h) decides whether a front end asks it. Any thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace lexivane::frontend {

// Whether the list accepts `word` (as CheckWord is asked it).
bool ExtraWordsHold(std::u16string_view word);

// The list as it is built in, for tests and documentation.
std::string_view ExtraWordsText();

}  // namespace lexivane::frontend
