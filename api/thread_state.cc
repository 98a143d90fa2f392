#include "api/thread_state.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <memory>
#include <utility>

#include "lexivane/dialog.h"
#include "lexivane/yield.h"

namespace lexivane {

#ifdef _WIN32

namespace {

// MinGW-w64's GCC frees a thread's emulated thread-local storage before it runs that thread's
// thread_local destructors, so a thread_local owner would delete through freed memory when the
// thread ends (a crash that depends on what the heap did meanwhile). A fiber-local slot's
// callback runs while the value is still there: when the thread ends, and when the DLL unloads.
void WINAPI DeleteState(void* state) {
  delete static_cast<ThreadState*>(state);
}

DWORD Slot() {
  static const DWORD slot = ::FlsAlloc(&DeleteState);
  return slot;
}

}  // namespace

ThreadState& ThisThread() {
  auto* state = static_cast<ThreadState*>(::FlsGetValue(Slot()));
  if (state == nullptr) {
    state = new ThreadState;
    ::FlsSetValue(Slot(), state);
  }
  return *state;
}

void ReleaseThisThread() {
  auto* state = static_cast<ThreadState*>(::FlsGetValue(Slot()));
  ::FlsSetValue(Slot(), nullptr);
  delete state;
}

#else

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

#endif

void SetDialogView(DialogView* view) {
  ThisThread().dialog_operations.set_view(view);
}

void SetYieldFunction(std::function<void()> yield) {
  ThisThread().yield = std::move(yield);
}

}  // namespace lexivane
