// What DllRegisterServer writes and DllUnregisterServer removes: the class SpellCheck under its
// CLSID (in-process server, apartment threading, programmatic identifiers, type library), the
// two programmatic identifiers Lexivane.SpellCheck and Lexivane.SpellCheck.1, and the type
// library with its interfaces (through RegisterTypeLib, which points _SpellCheck and
// __SpellCheck at the type-library marshaller).
//
// The keys go to the machine's classes (HKEY_LOCAL_MACHINE\Software\Classes, what
// HKEY_CLASSES_ROOT writes to); a caller without the right to write there registers for its own
// account instead (HKEY_CURRENT_USER\Software\Classes, RegisterTypeLibForUser). Unregistering
// removes our keys from both places and is not an error when nothing is registered.
#pragma once

#include <windows.h>

namespace lexivane::component {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace lexivane::component
