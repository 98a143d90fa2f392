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

// The directory of the default custom dictionary file, absolute and without a trailing
// separator. On Windows it is ComponentDirectory(). Elsewhere it is the user's configuration
// directory, as the XDG base directory rules place it: $XDG_CONFIG_HOME/lexivane when that
// variable holds an absolute path, else $HOME/.config/lexivane when HOME does, else the home
// directory of the user's account followed by /.config/lexivane; and ComponentDirectory() only
// when there is no home at all. The directory may not exist yet (CreateDirectories makes it).
// Read from the environment on every call, so it follows changes to it; like getenv, it must
// not run while another thread changes the environment. Never throws.
std::u16string CustomDictionaryDirectory();

// The separator that joins ComponentDirectory() and a file name: "\" on Windows, "/" elsewhere.
char16_t PathSeparator();

// The word list embedded into the component, byte for byte. On Windows it is a resource of the
// component's module; should that be missing, this throws lexivane::Error with the Win32 error.
std::span<const std::uint8_t> EmbeddedWordList();

// The tables prepared from that list when the component was built (see engine/prepared_tables.h).
std::span<const std::uint8_t> EmbeddedPreparedTables();

}  // namespace lexivane::platform
