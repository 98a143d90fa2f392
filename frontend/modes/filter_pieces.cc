#include <unicode/normalizer2.h>

#include "frontend/modes/mode_filters.h"

namespace lexivane::frontend::filter {

char16_t ComposeMark(char16_t base, char16_t mark) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return 0;
  const UChar32 composed = nfc->composePair(base, mark);
  return composed > 0 && composed <= 0xFFFF ? static_cast<char16_t>(composed) : 0;
}

}  // namespace lexivane::frontend::filter
