#include "component/module_lifetime.h"

#include <oleauto.h>

#include <atomic>

namespace lexivane::component {
namespace {

std::atomic<HMODULE> this_module{nullptr};
std::atomic<long> live_objects{0};
std::atomic<long> server_locks{0};

// The type library, loaded once and shared by every thread: a type library object is
// free-threaded. The lock covers only loading and releasing it.
SRWLOCK type_library_lock = SRWLOCK_INIT;
ITypeLib* type_library = nullptr;

HRESULT LoadOwnTypeLibrary(ITypeLib** out) {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(ThisModule(), path, ARRAYSIZE(path));
  if (length == 0) return HRESULT_FROM_WIN32(::GetLastError());
  if (length == ARRAYSIZE(path)) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  // REGKIND_NONE: reading the library must not register it; DllRegisterServer does that.
  return ::LoadTypeLibEx(path, REGKIND_NONE, out);
}

}  // namespace

HMODULE ThisModule() {
  return this_module.load();
}

void SetThisModule(HMODULE module) {
  this_module.store(module);
}

void ObjectCreated() {
  ++live_objects;
}

void ObjectDestroyed() {
  --live_objects;
}

void LockServer(bool lock) {
  if (lock) {
    ++server_locks;
  } else {
    --server_locks;
  }
}

bool CanUnloadNow() {
  return live_objects.load() == 0 && server_locks.load() == 0;
}

HRESULT GetTypeInfo(REFGUID guid, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  ::AcquireSRWLockExclusive(&type_library_lock);
  HRESULT result = S_OK;
  if (type_library == nullptr) result = LoadOwnTypeLibrary(&type_library);
  ITypeLib* library = type_library;
  if (library != nullptr) library->AddRef();
  ::ReleaseSRWLockExclusive(&type_library_lock);
  if (FAILED(result)) return result;
  result = library->GetTypeInfoOfGuid(guid, out);
  library->Release();
  return result;
}

void ReleaseTypeLibrary() {
  ::AcquireSRWLockExclusive(&type_library_lock);
  ITypeLib* library = type_library;
  type_library = nullptr;
  ::ReleaseSRWLockExclusive(&type_library_lock);
  if (library != nullptr) library->Release();
}

}  // namespace lexivane::component
