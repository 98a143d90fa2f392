// UTF-8 to UTF-16 and back, for hosts that keep their text in UTF-8 (most Linux programs).
//
// The engine counts positions and lengths in UTF-16 code units, so a host converts its text
// once with FromUtf8, passes it in, and converts what comes back with ToUtf8. Broken input
// never throws: an unpaired surrogate becomes U+FFFD in ToUtf8, and FromUtf8 replaces each
// maximal invalid subpart of a UTF-8 sequence with one U+FFFD, the practice Unicode
// recommends. Pure functions, any thread.
#pragma once

#include <string>
#include <string_view>

#include "lexivane/export.h"

namespace lexivane {

LEXIVANE_API std::string ToUtf8(std::u16string_view text);
LEXIVANE_API std::u16string FromUtf8(std::string_view text);

}  // namespace lexivane
