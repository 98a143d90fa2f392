// The public setters that install things in the calling thread's state. Where the states are
// kept is the platform's concern: thread_state_posix.cc, thread_state_win32.cc.
#include <utility>

#include "api/thread_state.h"
#include "lexivane/dialog.h"
#include "lexivane/yield.h"

namespace lexivane {

void SetDialogView(DialogView* view) {
  ThisThread().dialog_operations.set_view(view);
}

void SetYieldFunction(std::function<void()> yield) {
  ThisThread().yield = std::move(yield);
}

}  // namespace lexivane
