// Where the component's own file lives on Windows: the module that holds one of this file's
// functions, asked for its file name. That is the DLL when the component is loaded as one and
// the executable when it is linked into a program.

#include <windows.h>

#include <string>

#include "platform/module.h"
#include "platform/own_module_win32.h"

namespace lexivane::platform {
namespace {

// Any function of this module would do; this one exists only to have its address taken.
void Anchor() {}

std::u16string FindComponentDirectory() {
  const HMODULE module = OwnModule();
  if (module == nullptr) return u".";

  // GetModuleFileNameW gives no hint of the length it needs; it fills the buffer and truncates
  // when the name does not fit, so the buffer grows until the name fits with room to spare.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return u".";
    if (length < name.size()) {
      name.resize(length);
      break;
    }
    if (name.size() >= 0x8000) return u".";  // Longer than any path the system accepts.
    name.resize(name.size() * 2);
  }

  const std::size_t separator = name.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return u".";
  return std::u16string(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(separator));
}

}  // namespace

HMODULE OwnModule() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&Anchor), &module)) {
    return nullptr;
  }
  return module;
}

std::u16string ComponentDirectory() {
  // The module does not move while it is loaded.
  static const std::u16string directory = FindComponentDirectory();
  return directory;
}

std::u16string CustomDictionaryDirectory() {
  return ComponentDirectory();
}

char16_t PathSeparator() {
  return u'\\';
}

}  // namespace lexivane::platform
