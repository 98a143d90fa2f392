#include "textcheck/word_scanner.h"

namespace lexivane {

bool IsWordDelimiter(char16_t c) {
  switch (c) {
    case u'\t':
    case u'\r':
    case u'\n':
    case u'"':
    case u' ':
    case u'/':
    case u'?':
    case u'.':
    case u';':
    case u':':
    case u',':
    case u'\\':
    case u'(':
    case u')':
    case u'[':
    case u']':
    case u'{':
    case u'}':
    case u'<':
    case u'>':
    case u'|':
    case u'!':
    case u'-':
      return true;
    default:
      return false;
  }
}

std::int32_t FindNextDelimiter(std::int32_t start, std::u16string_view text) {
  const auto length = static_cast<std::int64_t>(text.size());
  if (start < 1 || start > length) return -1;
  for (std::int64_t p = start; p <= length; ++p) {
    if (IsWordDelimiter(text[p - 1])) return static_cast<std::int32_t>(p);
  }
  return static_cast<std::int32_t>(length + 1);
}

}  // namespace lexivane
