// The module's own lifetime: what keeps lexvn11en.dll loaded, and what it holds for its life.
//
// The DLL may be unloaded when no object of it is alive and no client holds a lock on the
// server (IClassFactory::LockServer, or a class factory reference). Objects report their birth
// and death here; DllCanUnloadNow asks CanUnloadNow.
//
// The type library is the DLL's own resource (TYPELIB 1), loaded on first use without touching
// the registry and kept until the module may unload; the objects serve IDispatch from it.
//
// Every function is safe to call from any thread.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace lexivane::component {

// The DLL's module handle, as DllMain received it.
HMODULE ThisModule();
void SetThisModule(HMODULE module);  // DllMain, on process attach

// Live objects of the component (COM objects that hand out interface pointers).
void ObjectCreated();
void ObjectDestroyed();

// A client's lock on the server: IClassFactory::LockServer and the class factory's references.
void LockServer(bool lock);

// True when no object is alive and no lock is held.
bool CanUnloadNow();

// The description of the type with that GUID (interface, dispatch interface or class) from the
// DLL's own type library. TYPE_E_ELEMENTNOTFOUND for a GUID the library does not describe; the
// loader's error if the library cannot be loaded.
HRESULT GetTypeInfo(REFGUID guid, ITypeInfo** out);

// Lets the cached type library go (it is loaded again on next use). For the module's unload.
void ReleaseTypeLibrary();

}  // namespace lexivane::component
