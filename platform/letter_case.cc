#include "lexivane/letter_case.h"

#include "platform/text.h"

namespace lexivane {

std::u16string FoldCase(std::u16string_view word) {
  return platform::ToLower(word);
}

}  // namespace lexivane
