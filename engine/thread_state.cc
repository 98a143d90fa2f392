#include "engine/thread_state.h"

namespace lexivane {

ThreadState& ThisThread() {
  thread_local ThreadState state;
  return state;
}

}  // namespace lexivane
