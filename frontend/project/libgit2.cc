#include "frontend/project/libgit2.h"

#include <dlfcn.h>

#include <string>

#include "frontend/io/command_error.h"

namespace lexivane::frontend {

namespace {

template <typename Function>
void Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  if (function == nullptr) {
    throw CommandError(std::string("libgit2 (" LEXIVANE_LIBGIT2_SONAME ") has no ") + name);
  }
}

Libgit2Functions Load() {
  void* const library = dlopen(LEXIVANE_LIBGIT2_SONAME, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* const why = dlerror();
    throw CommandError(std::string("cannot load libgit2 (" LEXIVANE_LIBGIT2_SONAME "): ") +
                       (why != nullptr ? why : "unknown error"));
  }
  Libgit2Functions git;
  Find(library, "git_config_add_backend", git.git_config_add_backend);
  Find(library, "git_config_free", git.git_config_free);
  Find(library, "git_config_init_backend", git.git_config_init_backend);
  Find(library, "git_config_new", git.git_config_new);
  Find(library, "git_diff_foreach", git.git_diff_foreach);
  Find(library, "git_diff_free", git.git_diff_free);
  Find(library, "git_diff_tree_to_workdir_with_index", git.git_diff_tree_to_workdir_with_index);
  Find(library, "git_error_last", git.git_error_last);
  Find(library, "git_ignore_add_rule", git.git_ignore_add_rule);
  Find(library, "git_ignore_path_is_ignored", git.git_ignore_path_is_ignored);
  Find(library, "git_libgit2_init", git.git_libgit2_init);
  Find(library, "git_object_free", git.git_object_free);
  Find(library, "git_object_peel", git.git_object_peel);
  Find(library, "git_repository_free", git.git_repository_free);
  Find(library, "git_repository_head_unborn", git.git_repository_head_unborn);
  Find(library, "git_repository_is_bare", git.git_repository_is_bare);
  Find(library, "git_repository_new", git.git_repository_new);
  Find(library, "git_repository_open_ext", git.git_repository_open_ext);
  Find(library, "git_repository_set_config", git.git_repository_set_config);
  Find(library, "git_repository_workdir", git.git_repository_workdir);
  Find(library, "git_revparse_single", git.git_revparse_single);
  Find(library, "git_tree_free", git.git_tree_free);
  if (git.git_libgit2_init() < 0) throw CommandError("cannot set up libgit2");
  return git;  // the library stays loaded: its state outlives every caller
}

}  // namespace

const Libgit2Functions& Libgit2() {
  static const Libgit2Functions functions = Load();
  return functions;
}

}  // namespace lexivane::frontend
