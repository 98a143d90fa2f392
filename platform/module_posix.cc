// Where the component's own file lives, found through the dynamic loader: the loader knows
// which object holds a given address. When the component is linked into the program itself
// rather than loaded as a shared library, the program's file is the answer.

#include <dlfcn.h>
#include <limits.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <link.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/module.h"

namespace lexivane::platform {
namespace {

// Any function of this object would do; this one exists only to have its address taken.
void Anchor() {}

std::string ProgramFile() {
#if defined(__linux__)
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n > 0 && static_cast<std::size_t>(n) < buffer.size()) {
    buffer.resize(static_cast<std::size_t>(n));
    return buffer;
  }
#endif
  return {};
}

std::string OwnFile() {
  Dl_info info{};
#if defined(__GLIBC__)
  // For the main program glibc reports argv[0], which may be relative to a working directory
  // that has changed since, or a bare name found through PATH. Ask for the program's file
  // instead.
  struct link_map* map = nullptr;
  if (::dladdr1(reinterpret_cast<void*>(&Anchor), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) == 0) {
    return ProgramFile();
  }
  if (map != nullptr && map->l_name[0] == '\0') {
    if (std::string program = ProgramFile(); !program.empty()) return program;
  }
#else
  if (::dladdr(reinterpret_cast<void*>(&Anchor), &info) == 0) return ProgramFile();
#endif
  return info.dli_fname != nullptr ? std::string(info.dli_fname) : std::string();
}

std::u16string FindComponentDirectory() {
  std::string file = OwnFile();
  if (!file.empty() && file.front() != '/') {
    if (char* absolute = ::realpath(file.c_str(), nullptr)) {
      file = absolute;
      ::free(absolute);
    }
  }
  const std::size_t slash = file.rfind('/');
  // Nothing usable: the working directory is the best remaining guess, and "." keeps a joined
  // path relative rather than turning it into one at the root.
  if (slash == std::string::npos) return u".";
  // A file at the root gives the empty directory, so that joining keeps a single "/".
  return FromUtf8(std::string_view(file).substr(0, slash));
}

// The value of an environment variable that holds an absolute path, without trailing slashes
// (the root gives ""), or nothing. The XDG rules call a relative path there invalid.
std::optional<std::string> AbsolutePathFrom(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  std::string path = value;
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path;
}

// The home directory in the user's account entry, or nothing.
std::optional<std::string> AccountHome() {
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
  struct passwd entry;
  struct passwd* found = nullptr;
  for (;;) {
    const int error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error != ERANGE || buffer.size() >= (std::size_t{1} << 20)) break;
    buffer.resize(buffer.size() * 2);
  }
  if (found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
    return std::nullopt;
  }
  std::string home = found->pw_dir;
  while (!home.empty() && home.back() == '/') home.pop_back();
  return home;
}

}  // namespace

std::u16string CustomDictionaryDirectory() {
  if (const auto config = AbsolutePathFrom("XDG_CONFIG_HOME")) {
    return FromUtf8(*config + "/lexivane");
  }
  std::optional<std::string> home = AbsolutePathFrom("HOME");
  if (!home) home = AccountHome();
  if (home) return FromUtf8(*home + "/.config/lexivane");
  return ComponentDirectory();
}

std::u16string ComponentDirectory() {
  // The component does not move while loaded; asking once also pins a relative loader path
  // to the working directory of the first call, which is the one nearest to the load.
  static const std::u16string directory = FindComponentDirectory();
  return directory;
}

char16_t PathSeparator() {
  return u'/';
}

}  // namespace lexivane::platform
