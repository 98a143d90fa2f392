#include "api/thread_state.h"

#include <memory>
#include <utility>

#include "lexivane/dialog.h"
#include "lexivane/yield.h"

namespace lexivane {

namespace {

// Held by pointer rather than as a thread_local object so that it can be released before the
// thread ends and created afresh on the next use.
std::unique_ptr<ThreadState>& Slot() {
  thread_local std::unique_ptr<ThreadState> state;
  return state;
}

}  // namespace

ThreadState& ThisThread() {
  std::unique_ptr<ThreadState>& state = Slot();
  if (state == nullptr) state = std::make_unique<ThreadState>();
  return *state;
}

void ReleaseThisThread() {
  Slot().reset();
}

void SetDialogView(DialogView* view) {
  ThisThread().dialog_operations.set_view(view);
}

void SetYieldFunction(std::function<void()> yield) {
  ThisThread().yield = std::move(yield);
}

}  // namespace lexivane
