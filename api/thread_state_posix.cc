// Each thread's state on POSIX: owned by a thread_local, destroyed when the thread ends.
#include <memory>

#include "api/thread_state.h"

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

}  // namespace lexivane
