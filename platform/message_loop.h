// The platform's default yield to the calling thread's message loop: on Windows it dispatches
// the thread's pending window messages; elsewhere there is no system message loop and it does
// nothing.
#pragma once

namespace lexivane::platform {

void ProcessPendingMessages();

}  // namespace lexivane::platform
