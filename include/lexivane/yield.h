// The yield to the host's message loop that a text check run makes once for every token, so
// that the host's windows stay responsive during a long run.
#pragma once

#include <functional>

#include "lexivane/export.h"

namespace lexivane {

// Installs `yield` as the calling thread's yield; an empty function restores the default.
// The default processes the thread's pending window messages on Windows and does nothing
// elsewhere, unless a dialog view installs one of its own (the Qt view processes Qt events).
LEXIVANE_API void SetYieldFunction(std::function<void()> yield);

}  // namespace lexivane
