// The platform's default yield to the calling thread's message loop: on Windows it dispatches
// the thread's pending window messages; elsewhere there is no system message loop and it does
// nothing.
#pragma once

namespace lexivane::platform {

// `host_code_ran`: code of the host may have run on this thread since the last yield (an event
// handler, a dialog), so that messages it posted to the thread may be waiting. Those are always
// dispatched at once. Any other message comes from elsewhere (another thread or process, input,
// a timer) at a moment that no caller can tell from a moment later; the Windows yield looks for
// those at most once a millisecond, since each look is a round trip to the window server under
// Wine that costs more than the run's own work for a token (docs/component.md).
void ProcessPendingMessages(bool host_code_ran);

}  // namespace lexivane::platform
