// What DllRegisterServer writes and DllUnregisterServer removes: the class SpellCheck under its
// CLSID (in-process server, apartment threading, programmatic identifiers, type library), the
// two programmatic identifiers Lexivane.SpellCheck and Lexivane.SpellCheck.1, the type library
// (version 1.0, neutral locale, 64-bit) and its two interfaces, marshalled from the library.
//
// The keys go to the machine's classes (HKEY_LOCAL_MACHINE\Software\Classes, what
// HKEY_CLASSES_ROOT writes to); a caller without the right to write there registers for its own
// account instead (HKEY_CURRENT_USER\Software\Classes). Unregistering removes our keys from
// both places and is not an error when nothing is registered.
#pragma once

#include <windows.h>

namespace lexivane::component {

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace lexivane::component
