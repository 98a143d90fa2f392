// Each thread's state on Windows: a plain TLS slot points at it, and a process-wide list owns
// every state, so that the DLL can free them all when it is unloaded (see thread_state.h).
//
// Freeing all states also frees the TLS slot: every thread's pointer goes with it, and a thread
// that uses the component again (after a reload) finds a new, empty slot instead of a pointer
// to a freed state. Nothing here registers a thread-exit callback into this module.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <vector>

#include "api/thread_state.h"

namespace lexivane {

namespace {

// Guards the slot's allocation and the list; the hot path (a thread that has its state) reads
// only the slot.
SRWLOCK lock = SRWLOCK_INIT;
std::atomic<DWORD> slot{TLS_OUT_OF_INDEXES};

std::vector<std::unique_ptr<ThreadState>>& States() {
  // Never destroyed: the DLL frees the states explicitly, and a destructor at exit would run
  // after other threads were stopped in the middle of their work.
  static auto* const states = new std::vector<std::unique_ptr<ThreadState>>;
  return *states;
}

class Locked {
 public:
  Locked() { ::AcquireSRWLockExclusive(&lock); }
  ~Locked() { ::ReleaseSRWLockExclusive(&lock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

DWORD Slot() {
  DWORD index = slot.load(std::memory_order_acquire);
  if (index != TLS_OUT_OF_INDEXES) return index;
  Locked locked;
  index = slot.load(std::memory_order_relaxed);
  if (index == TLS_OUT_OF_INDEXES) {
    index = ::TlsAlloc();
    if (index == TLS_OUT_OF_INDEXES) throw std::bad_alloc();
    slot.store(index, std::memory_order_release);
  }
  return index;
}

}  // namespace

ThreadState& ThisThread() {
  const DWORD index = Slot();
  if (auto* state = static_cast<ThreadState*>(::TlsGetValue(index))) return *state;
  auto state = std::make_unique<ThreadState>();
  ThreadState& created = *state;
  {
    Locked locked;
    States().push_back(std::move(state));
  }
  ::TlsSetValue(index, &created);
  return created;
}

void ReleaseThisThread() {
  const DWORD index = slot.load(std::memory_order_acquire);
  if (index == TLS_OUT_OF_INDEXES) return;
  auto* state = static_cast<ThreadState*>(::TlsGetValue(index));
  if (state == nullptr) return;
  ::TlsSetValue(index, nullptr);
  std::unique_ptr<ThreadState> owned;
  {
    Locked locked;
    auto& states = States();
    const auto found = std::find_if(states.begin(), states.end(),
                                    [&](const auto& entry) { return entry.get() == state; });
    if (found == states.end()) return;
    owned = std::move(*found);
    states.erase(found);
  }
  // Destroyed outside the lock: the state's teardown may take a while and takes no lock.
}

void ReleaseAllThreads() {
  std::vector<std::unique_ptr<ThreadState>> owned;
  {
    Locked locked;
    owned.swap(States());
    const DWORD index = slot.exchange(TLS_OUT_OF_INDEXES, std::memory_order_acq_rel);
    if (index != TLS_OUT_OF_INDEXES) ::TlsFree(index);
  }
}

}  // namespace lexivane
