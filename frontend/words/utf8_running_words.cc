#include "frontend/words/utf8_running_words.h"

#include <string>

#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {

void ForEachWordOfNonAsciiStretch(std::string_view stretch, char blank_before,
                                  const Utf8WordFound& found) {
  std::u16string text;
  if (blank_before != '\0') text += static_cast<char16_t>(blank_before);
  text += FromUtf8(stretch);
  std::string as_written, word;
  ForEachRunningWord(text, [&](const RunningWord& running) {
    as_written = ToUtf8(std::u16string_view(text).substr(running.offset, running.length));
    word = ToUtf8(running.word);
    found(as_written, word);
  });
}

}  // namespace lexivane::frontend
