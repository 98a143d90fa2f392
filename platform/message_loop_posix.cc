#include "platform/message_loop.h"

namespace lexivane::platform {

// No system message loop exists here; a toolkit's dialog view installs its own yield.
void ProcessPendingMessages(bool) {}

}  // namespace lexivane::platform
