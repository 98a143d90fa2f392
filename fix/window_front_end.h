// The window front end of `lexivane fix`: the Qt suggestions window, and a message box for the
// question after a Cancel.
//
// It lives in a module of its own (lexivane-fix-window.so, built with the Qt library) that the
// tool loads only when `fix` opens a window, so that no other command pays for loading Qt. The
// module is found at a fixed place relative to the tool: <bindir>/../<libdir>/lexivane/, in the
// build tree as installed. It stays loaded until the process ends.
#pragma once

#include <memory>
#include <string>

#include "fix/answer_front_end.h"

namespace lexivane::frontend::fix {

// True when the environment names a display that Qt can use: QT_QPA_PLATFORM is set, or
// DISPLAY or WAYLAND_DISPLAY is not empty.
bool DisplayAvailable();

// Loads the module, creates the application object and installs the window's event processing
// for the thread; all of it but the loading is undone when the front end is destroyed. Main
// thread only, once at a time. Returns null when the tool was built without the window, and
// null with the reason in `why_not` when its module cannot be loaded.
std::unique_ptr<FrontEnd> MakeWindowFrontEnd(std::string& why_not);

}  // namespace lexivane::frontend::fix

// The module's one entry point; the front end it returns is destroyed with `delete`.
extern "C" lexivane::frontend::fix::FrontEnd* lexivane_make_window_front_end();
