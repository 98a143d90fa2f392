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

// The functions of libgit2 the project floor calls, under their own names.
struct Libgit2Functions {
  decltype(&::git_config_add_backend) git_config_add_backend;
  decltype(&::git_config_free) git_config_free;
  decltype(&::git_config_init_backend) git_config_init_backend;
  decltype(&::git_config_new) git_config_new;
  decltype(&::git_diff_foreach) git_diff_foreach;
  decltype(&::git_diff_free) git_diff_free;
  decltype(&::git_diff_tree_to_workdir_with_index) git_diff_tree_to_workdir_with_index;
  decltype(&::git_error_last) git_error_last;
  decltype(&::git_ignore_add_rule) git_ignore_add_rule;
  decltype(&::git_ignore_path_is_ignored) git_ignore_path_is_ignored;
  decltype(&::git_libgit2_init) git_libgit2_init;
  decltype(&::git_object_free) git_object_free;
  decltype(&::git_object_peel) git_object_peel;
  decltype(&::git_repository_free) git_repository_free;
  decltype(&::git_repository_head_unborn) git_repository_head_unborn;
  decltype(&::git_repository_is_bare) git_repository_is_bare;
  decltype(&::git_repository_new) git_repository_new;
  decltype(&::git_repository_open_ext) git_repository_open_ext;
  decltype(&::git_repository_set_config) git_repository_set_config;
  decltype(&::git_repository_workdir) git_repository_workdir;
  decltype(&::git_revparse_single) git_revparse_single;
  decltype(&::git_tree_free) git_tree_free;
};

// The library, loaded and set up by the first call.
const Libgit2Functions& Libgit2();

}  // namespace lexivane::frontend
