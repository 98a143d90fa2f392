// The running words of UTF-8 text, found in the bytes: the same words as ForEachRunningWord
// finds in the text decoded to UTF-16 (running_words.h), without decoding what is plain ASCII.
//
// The text is cut at ASCII blanks as the UTF-16 walk cuts it. A stretch of ASCII bytes is cut
// in place by CutAsciiStretch, and its words are slices of the text. A stretch holding any
// other byte is decoded to UTF-16 with FromUtf8, the blank before it included (combining marks
// after a blank belong to it), and cut by ForEachRunningWord; its words come back encoded
// again. Decoding a stretch on its own gives what decoding the whole text gives, since a blank
// is never inside a multi-byte sequence nor a maximal invalid part of one: so a broken byte
// reads as U+FFFD, as everywhere in the tool.
//
// Meant for the hot loop of `list`: the callback is a template parameter, and an ASCII word
// costs no allocation. Any thread (the ICU part keeps a break iterator per thread).
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "cli/ascii_words.h"

namespace lexivane::cli {

// found(as_written, word) for each word: the word as it stands in the text and what CheckWord
// is to be asked (U+2019 read as U+0027), both UTF-8, valid during the call only.
using Utf8WordFound = std::function<void(std::string_view as_written, std::string_view word)>;

// The words of a stretch with bytes outside ASCII and no blank; `blank_before` is the blank
// just before it in the text, or '\0' at the start of the text.
void ForEachWordOfNonAsciiStretch(std::string_view stretch, char blank_before,
                                  const Utf8WordFound& found);

// Calls, for every word of `text` in order, found_ascii(word) for a word of a stretch of plain
// ASCII (a slice of `text`, as written and as checked) and found(as_written, word) for a word
// of any other stretch. `blank_before` is the blank that came just before `text` when it is a
// piece of a longer text, or '\0' when it is the start. An exception thrown by a callback ends
// the walk and reaches the caller.
template <typename FoundAscii, typename Found>
void ForEachUtf8RunningWord(std::string_view text, char blank_before, FoundAscii&& found_ascii,
                            Found&& found) {
  const char* bytes = text.data();
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    if (IsAsciiBlank(bytes[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    unsigned char any_high = 0;
    for (; i < size && !IsAsciiBlank(bytes[i]); ++i)
      any_high |= static_cast<unsigned char>(bytes[i]);
    if (any_high < 0x80) {
      CutAsciiStretch(bytes, start, i, [&](std::size_t begin, std::size_t end) {
        found_ascii(std::string_view(bytes + begin, end - begin));
      });
    } else {
      ForEachWordOfNonAsciiStretch(text.substr(start, i - start),
                                   start > 0 ? bytes[start - 1] : blank_before, std::ref(found));
    }
  }
}

}  // namespace lexivane::cli
