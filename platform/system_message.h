// The system's own text for a Win32 error code (Windows only): what FormatMessage gives, without
// the line break that ends it, or "" when the system has none. Never throws on a code it does
// not know.
#pragma once

#include <string>

namespace lexivane::platform {

std::u16string SystemMessage(unsigned long code);

}  // namespace lexivane::platform
