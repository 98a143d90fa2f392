#include <unicode/normalizer2.h>

#include <algorithm>

#include "frontend/modes/mode_filters.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend::filter {

void Hide(std::u16string& text, std::size_t from, std::size_t to) {
  // Every unit written, line breaks with themselves: a loop without branches, which compilers
  // vectorise.
  char16_t* const units = text.data();
  for (std::size_t i = from, end = std::min(to, text.size()); i < end; ++i) {
    const char16_t c = units[i];
    units[i] = c == u'\n' || c == u'\r' ? c : u' ';
  }
}

void Decode(std::u16string& text, std::size_t from, std::size_t to, char16_t character) {
  text[from] = character;
  for (std::size_t i = from + 1; i < to; ++i) text[i] = kWordJoiner;
}

char16_t ComposeMark(char16_t base, char16_t mark) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return 0;
  const UChar32 composed = nfc->composePair(base, mark);
  return composed > 0 && composed <= 0xFFFF ? static_cast<char16_t>(composed) : 0;
}

}  // namespace lexivane::frontend::filter
