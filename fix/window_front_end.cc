#include "fix/window_front_end.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

namespace lexivane::frontend::fix {

namespace {

bool Set(const char* name, bool empty_counts) {
  const char* value = std::getenv(name);
  return value != nullptr && (empty_counts || *value != '\0');
}

}  // namespace

bool DisplayAvailable() {
  return Set("QT_QPA_PLATFORM", true) || Set("DISPLAY", false) || Set("WAYLAND_DISPLAY", false);
}

std::unique_ptr<FrontEnd> MakeWindowFrontEnd(std::string& why_not) {
#ifndef LEXIVANE_FIX_WINDOW_MODULE
  why_not.clear();  // nothing to report: this tool only ever asks on the terminal
  return nullptr;
#else
  std::error_code error;
  const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    why_not = "cannot find the tool's own folder: " + error.message();
    return nullptr;
  }
  const std::filesystem::path module = tool.parent_path() / LEXIVANE_FIX_WINDOW_MODULE;
  // Never closed: Qt cannot be unloaded safely, and the front end's code lives there.
  void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    why_not = std::string("cannot load the window: ") + ::dlerror();
    return nullptr;
  }
  const auto make = reinterpret_cast<decltype(&lexivane_make_window_front_end)>(
      ::dlsym(handle, "lexivane_make_window_front_end"));
  if (make == nullptr) {
    why_not = module.string() + " is not the tool's window module";
    return nullptr;
  }
  return std::unique_ptr<FrontEnd>(make());
#endif
}

}  // namespace lexivane::frontend::fix
