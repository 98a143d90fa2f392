// The class factory of the creatable class SpellCheck, the one object DllGetClassObject hands
// out. It lives as long as the module (a static object); each reference a client holds counts
// as a lock on the server, so the DLL stays loaded while a client keeps the factory.
// Free-threaded: it has no state of its own.
#pragma once

#include <windows.h>

#include <unknwn.h>

namespace lexivane::component {

// Answers the factory's interface riid (IUnknown or IClassFactory) in *out.
HRESULT GetSpellCheckClassFactory(REFIID riid, void** out);

}  // namespace lexivane::component
