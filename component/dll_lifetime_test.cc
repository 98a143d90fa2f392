// dll_lifetime_test: loads lexvn11en.dll the way COM does (LoadLibrary, DllGetClassObject,
// DllCanUnloadNow), without the registry, and checks what keeps it loaded:
//   - DllGetClassObject answers for SpellCheck only, and its factory refuses aggregation;
//   - DllCanUnloadNow is S_FALSE while an object or a factory reference is alive, and S_OK
//     once none is.
// Server locks, unloading while a thread that used the DLL lives on, and loading it again are
// checked through COM by the client tests (component/tests/lifetime_test.cc).
// A Windows program run under Wine by CTest; prints each failed check and exits non-zero.
//
// usage: dll_lifetime_test DLL
#include <windows.h>

#include <oleauto.h>

#include <cstdio>

#include "lexivane_idl.h"

namespace {

using GetClassObjectFn = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(__stdcall*)();

int failures = 0;

void Expect(bool condition, const char* what) {
  if (!condition) {
    std::printf("FAILED: %s\n", what);
    ++failures;
  }
}

struct Dll {
  HMODULE module;
  GetClassObjectFn get_class_object;
  CanUnloadNowFn can_unload_now;
};

// GetProcAddress answers with a generic function type; the export's own type is restored
// through void*, which is how an entry point is meant to be cast.
template <typename Function>
Function Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

Dll Load(const wchar_t* path) {
  const HMODULE module = ::LoadLibraryW(path);
  if (module == nullptr) return {};
  return {module, Entry<GetClassObjectFn>(module, "DllGetClassObject"),
          Entry<CanUnloadNowFn>(module, "DllCanUnloadNow")};
}

void CheckCounts(const Dll& dll) {
  void* unused = nullptr;
  Expect(
      dll.get_class_object(IID_IDispatch, IID_IClassFactory, &unused) == CLASS_E_CLASSNOTAVAILABLE,
      "DllGetClassObject refuses a class that is not SpellCheck");
  Expect(dll.can_unload_now() == S_OK, "a DLL without objects may unload");

  IClassFactory* factory = nullptr;
  dll.get_class_object(CLSID_SpellCheck, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  Expect(factory != nullptr, "DllGetClassObject answers IClassFactory for SpellCheck");
  if (factory == nullptr) return;
  Expect(dll.can_unload_now() == S_FALSE, "a factory reference keeps the DLL");
  IUnknown* object = nullptr;
  factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object));
  // Any non-null outer is refused before it is used: the class cannot be aggregated.
  static int outer_stand_in;
  void* aggregated = nullptr;
  Expect(factory->CreateInstance(reinterpret_cast<IUnknown*>(&outer_stand_in), IID_IUnknown,
                                 &aggregated) == CLASS_E_NOAGGREGATION,
         "CreateInstance refuses an outer object");
  factory->Release();
  Expect(dll.can_unload_now() == S_FALSE, "an object keeps the DLL");
  if (object != nullptr) object->Release();
  Expect(dll.can_unload_now() == S_OK, "no object left: the DLL may unload");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dll_lifetime_test DLL\n");
    return 2;
  }
  ::CoInitialize(nullptr);
  const Dll dll = Load(argv[1]);
  if (dll.module == nullptr || dll.get_class_object == nullptr || dll.can_unload_now == nullptr) {
    std::printf("FAILED: cannot load %ls and its entry points\n", argv[1]);
    return 1;
  }
  CheckCounts(dll);
  ::FreeLibrary(dll.module);
  ::CoUninitialize();
  std::printf(failures == 0 ? "every lifetime check passed\n" : "%d check(s) failed\n", failures);
  return failures == 0 ? 0 : 1;
}
