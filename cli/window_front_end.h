// The window front end of `lexivane fix`: the Qt suggestions window, and a message box for the
// question after a Cancel. Built only with the Qt library (LEXIVANE_BUILD_QT).
#pragma once

#include <memory>

#include "cli/front_end.h"

namespace lexivane::cli {

// True when the environment names a display that Qt can use: QT_QPA_PLATFORM is set, or
// DISPLAY or WAYLAND_DISPLAY is not empty.
bool DisplayAvailable();

// Creates the application object and installs the window's event processing for the thread;
// all of it is undone when the front end is destroyed. Main thread only, once at a time.
std::unique_ptr<FrontEnd> MakeWindowFrontEnd();

}  // namespace lexivane::cli
