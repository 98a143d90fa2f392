// Facts about the loaded component itself: where its file lives and the data embedded in it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lexivane::platform {

// The directory that holds the component's own file (the shared library or DLL, or the program
// when the component is linked into it), absolute and without a trailing separator, as the
// platform reports it. A component at the root of a POSIX file system gives "". Should the
// platform give no answer at all, ".". Found once and then remembered; never throws.
std::u16string ComponentDirectory();

// The separator that joins ComponentDirectory() and a file name: "\" on Windows, "/" elsewhere.
char16_t PathSeparator();

// The word list embedded into the component, byte for byte.
std::span<const std::uint8_t> EmbeddedWordList();

// The tables prepared from that list when the component was built (see engine/prepared_tables.h).
std::span<const std::uint8_t> EmbeddedPreparedTables();

}  // namespace lexivane::platform
