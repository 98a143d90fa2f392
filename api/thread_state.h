// ThreadState: everything Lexivane keeps for one thread, in one object with one lifetime.
//
// It holds the thread's dictionaries (main word list tables, custom dictionary), the one
// suggestions dialog with its own engine, the dialog operations with the view installed on the
// thread, and the yield the text check run makes once per token. Every SpellCheck object of the
// thread shares it; two threads never do.
//
// Lifetime: created, empty, by the thread's first use of the component (in practice the first
// SpellCheck object it creates) and destroyed when the thread ends, or earlier by
// ReleaseThisThread(), after which the next use creates a fresh, empty one. Used on its own
// thread only; nothing is locked.
//
// Storage: on POSIX a thread_local owner destroys the state when the thread ends. On Windows the
// code may live in a DLL that is unloaded while threads that used it go on, so no thread-exit
// destructor may point into it: a plain TLS slot holds the state, the DLL frees a thread's state
// when the thread ends (ReleaseThisThread from DLL_THREAD_DETACH) and all that remain when it is
// unloaded (ReleaseAllThreads). A program that links the core on Windows releases a thread's
// state itself or leaves it to the process's end.
#pragma once

#include <functional>

#include "dialog/dialog_operations.h"
#include "dialog/suggestions_dialog.h"
#include "engine/dictionaries.h"

namespace lexivane {

struct ThreadState {
  ThreadState() = default;
  ThreadState(const ThreadState&) = delete;
  ThreadState& operator=(const ThreadState&) = delete;

  Dictionaries dictionaries;
  // The dialog's engine works on the dictionaries above, which are constructed first.
  SuggestionsDialogModel dialog{dictionaries};
  DialogOperations dialog_operations{dialog};
  std::function<void()> yield;  // empty: the platform's default
};

// The calling thread's state, created on first use.
ThreadState& ThisThread();

// Destroys the calling thread's state now. Must not be called while an operation of the
// component is running on the thread (from an event handler or a dialog view, for example).
void ReleaseThisThread();

#if defined(_WIN32)
// Destroys every thread's state; each thread's next use creates a fresh one. For a DLL that is
// being unloaded: no operation of the component may be running on any thread.
void ReleaseAllThreads();
#endif

}  // namespace lexivane
