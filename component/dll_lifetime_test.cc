// dll_lifetime_test: loads lexvn11en.dll the way COM does (LoadLibrary, DllGetClassObject,
// DllCanUnloadNow, FreeLibrary), without the registry, and checks what keeps it loaded and
// that it can go while threads that used it live on:
//   - DllGetClassObject answers for SpellCheck only;
//   - DllCanUnloadNow is S_FALSE while an object, a factory reference or a server lock is
//     alive, and S_OK once none is;
//   - a worker thread uses an object, the DLL is unloaded while the worker still runs, and the
//     worker then ends without running code of the unloaded DLL; a reload works afresh.
// A Windows program run under Wine by CTest; prints each failed check and exits non-zero.
//
// usage: dll_lifetime_test DLL
#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <initializer_list>

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

// Calls a method by name with string arguments given in order; the result in *result.
HRESULT Call(IDispatch* object, const wchar_t* name, const wchar_t* first, const wchar_t* second,
             VARIANT* result) {
  DISPID id = 0;
  auto* member = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT args[2];
  UINT count = 0;
  for (const wchar_t* text : {second, first}) {  // arguments go in reverse order
    if (text == nullptr) continue;
    VariantInit(&args[count]);
    V_VT(&args[count]) = VT_BSTR;
    V_BSTR(&args[count]) = ::SysAllocString(text);
    ++count;
  }
  DISPPARAMS params = {args, nullptr, count, 0};
  VariantInit(result);
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr,
                      nullptr);
  for (UINT index = 0; index < count; ++index) VariantClear(&args[index]);
  return hr;
}

// Creates an object, loads the word list and checks one known and one unknown word.
bool UseAnObject(const Dll& dll) {
  IClassFactory* factory = nullptr;
  if (FAILED(dll.get_class_object(CLSID_SpellCheck, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory)))) {
    return false;
  }
  IDispatch* object = nullptr;
  const HRESULT created =
      factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object));
  factory->Release();
  if (FAILED(created)) return false;
  VARIANT result;
  bool ok = SUCCEEDED(Call(object, L"Init", L"", L"", &result));
  VariantClear(&result);
  ok = ok && SUCCEEDED(Call(object, L"CheckWord", L"hello", nullptr, &result)) &&
       V_VT(&result) == VT_BOOL && V_BOOL(&result) == VARIANT_TRUE;
  ok = ok && SUCCEEDED(Call(object, L"CheckWord", L"helo", nullptr, &result)) &&
       V_VT(&result) == VT_BOOL && V_BOOL(&result) == VARIANT_FALSE;
  object->Release();
  return ok;
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
  factory->LockServer(TRUE);
  factory->Release();
  Expect(dll.can_unload_now() == S_FALSE, "an object and a server lock keep the DLL");
  if (object != nullptr) object->Release();
  Expect(dll.can_unload_now() == S_FALSE, "a server lock keeps the DLL");
  // The factory outlives its last reference (it is static), so unlocking through it is sound.
  factory->LockServer(FALSE);
  Expect(dll.can_unload_now() == S_OK, "no object and no lock: the DLL may unload");
}

struct Worker {
  const wchar_t* path;
  HANDLE used;     // set once the worker used an object and let go of the DLL
  HANDLE may_end;  // set once the DLL is unloaded
  bool ok;
};

DWORD WINAPI WorkerMain(void* context) {
  auto& worker = *static_cast<Worker*>(context);
  ::CoInitialize(nullptr);
  const Dll dll = Load(worker.path);
  worker.ok = dll.module != nullptr && UseAnObject(dll);
  if (dll.module != nullptr) ::FreeLibrary(dll.module);
  ::SetEvent(worker.used);
  ::WaitForSingleObject(worker.may_end, INFINITE);
  ::CoUninitialize();
  return 0;  // DLL_THREAD_DETACH would reach the DLL now if it were still loaded
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

  Worker worker{argv[1], ::CreateEventW(nullptr, TRUE, FALSE, nullptr),
                ::CreateEventW(nullptr, TRUE, FALSE, nullptr), false};
  HANDLE thread = ::CreateThread(nullptr, 0, WorkerMain, &worker, 0, nullptr);
  ::WaitForSingleObject(worker.used, INFINITE);
  Expect(worker.ok, "a worker thread uses an object");
  Expect(UseAnObject(dll), "the main thread uses an object of its own");
  Expect(dll.can_unload_now() == S_OK, "all objects gone: the DLL may unload");
  ::FreeLibrary(dll.module);
  Expect(::GetModuleHandleW(L"lexvn11en.dll") == nullptr, "the DLL is unloaded");
  ::SetEvent(worker.may_end);
  ::WaitForSingleObject(thread, INFINITE);
  DWORD exit_code = 1;
  ::GetExitCodeThread(thread, &exit_code);
  Expect(exit_code == 0, "the worker ends normally after the unload");

  const Dll again = Load(argv[1]);
  Expect(again.module != nullptr && UseAnObject(again), "a reloaded DLL works afresh");
  if (again.module != nullptr) ::FreeLibrary(again.module);
  ::CoUninitialize();
  std::printf(failures == 0 ? "every lifetime check passed\n" : "%d check(s) failed\n", failures);
  return failures == 0 ? 0 : 1;
}
