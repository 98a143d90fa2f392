// libgit2 set up once for the process and never shut down. Its error state lives in a
// thread-local key: a shutdown while other threads (the language server's worker, the walk's
// workers) still hold their state would delete the key and leak that state.
#pragma once

#include <git2.h>

namespace lexivane::frontend {

inline void UseLibgit2() {
  static const int initialised = git_libgit2_init();
  (void)initialised;
}

}  // namespace lexivane::frontend
