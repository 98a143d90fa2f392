// The DLL's entry points: DllMain and the four exports of an in-process automation server
// (lexvn11en.def lists them).
//
// Per-thread state: each thread that used the component has a ThreadState (api/thread_state.h)
// that nothing in the C++ runtime tears down. A thread that ends while the DLL is loaded frees
// its own (DLL_THREAD_DETACH); when the DLL is unloaded, every state that remains is freed, so no
// thread that ends later runs code of the unloaded DLL.
#include <windows.h>

#include <unknwn.h>

#include "api/thread_state.h"
#include "component/class_factory.h"
#include "component/module_lifetime.h"
#include "component/registration.h"
#include "lexivane_idl.h"

using namespace lexivane;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      component::SetThisModule(instance);
      break;
    case DLL_THREAD_DETACH:
      ReleaseThisThread();
      break;
    case DLL_PROCESS_DETACH:
      // reserved != null: the process is ending, its other threads are already gone and the
      // system takes the memory back; freeing anything then could only meet a held lock.
      if (reserved == nullptr) {
        ReleaseAllThreads();
        component::ReleaseTypeLibrary();
      }
      break;
  }
  return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_SpellCheck) return CLASS_E_CLASSNOTAVAILABLE;
  return component::GetSpellCheckClassFactory(riid, out);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
  if (!component::CanUnloadNow()) return S_FALSE;
  // Loaded again on next use; releasing it here keeps that work out of the loader lock.
  component::ReleaseTypeLibrary();
  return S_OK;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
  return component::RegisterServer();
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  return component::UnregisterServer();
}
