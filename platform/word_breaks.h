// The characters after which proper case starts a new word, shared by every case-mapping
// implementation so that they all draw word boundaries alike.
#pragma once

#include "support/ascii.h"

namespace lexivane::platform {

inline bool StartsWordAfter(char16_t unit) {
  return support::IsAsciiSpace(unit) || unit == u'\0';
}

}  // namespace lexivane::platform
