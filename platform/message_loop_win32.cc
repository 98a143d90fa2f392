// The yield on Windows: one pass over the thread's message queue, dispatching every message that
// is waiting, so that the host's windows stay responsive during a long run. A quit request is not
// the yield's to act on: it is posted again and ends the pass, for the host's own loop to see.

#include "platform/message_loop.h"

#include <windows.h>

namespace lexivane::platform {

void ProcessPendingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace lexivane::platform
