// libgit2, loaded when a command first needs it (a walk of a folder, `--changed`, a
// configuration's globs), set up once for the process and never shut down.
//
// Linking it would load it and the dozen libraries it needs (TLS, SSH, Kerberos) into every run:
// about 2 ms of CPU at each start, which is most of what checking a short file costs. So the
// tool and the server load it by its soname (the one it was built against) on first use. Its
// error state lives in a thread-local key: a shutdown while other threads (the language server's
// worker, the walk's workers) still hold their state would delete the key and leak that state.
//
// Libgit2() throws CommandError when the library cannot be loaded. Any thread.
#pragma once

#include <git2.h>
#include <git2/sys/config.h>
#include <git2/sys/repository.h>

namespace lexivane::frontend {

// The functions of libgit2 the project floor calls, each named once: the table's members and
// what Libgit2() looks up come from this list.
#define LEXIVANE_LIBGIT2_FUNCTIONS(F)    \
  F(git_config_add_backend)              \
  F(git_config_free)                     \
  F(git_config_init_backend)             \
  F(git_config_new)                      \
  F(git_diff_foreach)                    \
  F(git_diff_free)                       \
  F(git_diff_tree_to_workdir_with_index) \
  F(git_error_last)                      \
  F(git_ignore_add_rule)                 \
  F(git_ignore_path_is_ignored)          \
  F(git_libgit2_init)                    \
  F(git_object_free)                     \
  F(git_object_peel)                     \
  F(git_repository_free)                 \
  F(git_repository_head_unborn)          \
  F(git_repository_is_bare)              \
  F(git_repository_new)                  \
  F(git_repository_open_ext)             \
  F(git_repository_set_config)           \
  F(git_repository_workdir)              \
  F(git_revparse_single)                 \
  F(git_tree_free)

// Their addresses in the library loaded, under their own names.
struct Libgit2Functions {
#define LEXIVANE_LIBGIT2_POINTER(name) decltype(&::name) name;
  LEXIVANE_LIBGIT2_FUNCTIONS(LEXIVANE_LIBGIT2_POINTER)
#undef LEXIVANE_LIBGIT2_POINTER
};

// The library, loaded and set up by the first call.
const Libgit2Functions& Libgit2();

}  // namespace lexivane::frontend
