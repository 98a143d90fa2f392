// The word list on Windows: resource type "DIC", id 101, English (United States), in the module
// that holds this code (data/word_list.rc puts it there). That is the DLL when the component is
// loaded as one and the executable when the code is linked into a program, so a test program
// that links the same resource script finds its own copy.
//
// A resource stays mapped for as long as its module is loaded, so the span is found once and
// kept (a static's thread-safe initialisation); a failure leaves it unset, and the next call
// tries again.
#include <windows.h>

#include <cstdint>
#include <string>

#include "lexivane/error.h"
#include "platform/module.h"
#include "platform/own_module_win32.h"

namespace lexivane::platform {
namespace {

constexpr WORD kWordListLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr int kWordListId = 101;

[[noreturn]] void Fail(DWORD error, const char* step) {
  throw Error(static_cast<int>(error),
              std::string("The embedded word list (resource DIC 101) cannot be loaded: ") + step +
                  " failed");
}

std::span<const std::uint8_t> LoadWordList() {
  const HMODULE module = OwnModule();
  if (module == nullptr) Fail(::GetLastError(), "GetModuleHandleEx");
  HRSRC found = ::FindResourceExW(module, L"DIC", MAKEINTRESOURCEW(kWordListId), kWordListLanguage);
  if (found == nullptr) Fail(::GetLastError(), "FindResourceEx");
  const DWORD size = ::SizeofResource(module, found);
  if (size == 0) Fail(::GetLastError(), "SizeofResource");
  HGLOBAL loaded = ::LoadResource(module, found);
  if (loaded == nullptr) Fail(::GetLastError(), "LoadResource");
  const void* data = ::LockResource(loaded);
  if (data == nullptr) Fail(ERROR_INVALID_DATA, "LockResource");
  return {static_cast<const std::uint8_t*>(data), size};
}

}  // namespace

std::span<const std::uint8_t> EmbeddedWordList() {
  static const std::span<const std::uint8_t> list = LoadWordList();
  return list;
}

}  // namespace lexivane::platform
