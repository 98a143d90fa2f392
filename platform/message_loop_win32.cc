#include "platform/message_loop.h"

#include <windows.h>

namespace lexivane::platform {

void ProcessPendingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace lexivane::platform
