// The characters after which proper case starts a new word, shared by every case-mapping
// implementation so that they all draw word boundaries alike.
#pragma once

namespace lexivane::platform {

inline bool StartsWordAfter(char16_t unit) {
  switch (unit) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case u'\0':
      return true;
    default:
      return false;
  }
}

}  // namespace lexivane::platform
