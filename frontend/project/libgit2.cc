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
#define LEXIVANE_LIBGIT2_FIND(name) Find(library, #name, git.name);
  LEXIVANE_LIBGIT2_FUNCTIONS(LEXIVANE_LIBGIT2_FIND)
#undef LEXIVANE_LIBGIT2_FIND
  if (git.git_libgit2_init() < 0) throw CommandError("cannot set up libgit2");
  return git;  // the library stays loaded: its state outlives every caller
}

}  // namespace

const Libgit2Functions& Libgit2() {
  static const Libgit2Functions functions = Load();
  return functions;
}

}  // namespace lexivane::frontend
