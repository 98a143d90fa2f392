#include "suggest/case_style.h"

#include "platform/text.h"

namespace lexivane {

CaseStyle CaseStyleOf(std::u16string_view word) {
  if (word == platform::ToUpper(word)) return CaseStyle::Upper;
  if (word == platform::ToLower(word)) return CaseStyle::Lower;
  const std::u16string_view first = word.substr(0, 1);
  const std::u16string_view rest = word.substr(1);
  if (rest == platform::ToLower(rest) && first == platform::ToUpper(first)) {
    return CaseStyle::Capitalised;
  }
  return CaseStyle::Lower;
}

std::u16string InCaseStyle(std::u16string_view suggestion, CaseStyle style) {
  switch (style) {
    case CaseStyle::Upper:
      return platform::ToUpper(suggestion);
    case CaseStyle::Capitalised:
      return platform::ToProper(suggestion);
    case CaseStyle::Lower:
      break;
  }
  return platform::ToLower(suggestion);
}

}  // namespace lexivane
