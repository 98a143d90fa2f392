// The module (DLL or program) that holds the core's code on Windows: the DLL when the component
// is loaded as one, the executable when the core is linked into a program. Its file name places
// the component's directory, and its resources hold the word list.
#pragma once

#include <windows.h>

namespace lexivane::platform {

// nullptr when the system cannot say. The reference count stays as it is: the module holds the
// caller's own code and cannot unload while the caller runs.
HMODULE OwnModule();

}  // namespace lexivane::platform
