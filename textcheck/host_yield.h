// The once-per-token yield of the text check run to the host's message loop: the function a
// host installed with SetYieldFunction on this thread, or the platform's default.
#pragma once

namespace lexivane {

void YieldToHost();

}  // namespace lexivane
