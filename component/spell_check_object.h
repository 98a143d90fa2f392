// The creatable automation class SpellCheck: one COM object around one lexivane::SpellCheck.
//
// The object offers the dual interface _SpellCheck (its IDispatch half served from the type
// library), IConnectionPointContainer with one connection point for the event interface
// __SpellCheck, IProvideClassInfo2 and ISupportErrorInfo. Each method converts its arguments at
// the boundary (component/variant_args.h), calls the engine, and maps any failure to an HRESULT
// with error information (component/com_error.h); the behaviour is the engine's.
//
// Apartment-threaded: an object is used on the thread that created it, which owns the
// dictionaries and the dialog that the engine shares with every other object of that thread.
// Every live object keeps the module loaded.
#pragma once

#include <windows.h>

#include <unknwn.h>

namespace lexivane::component {

// Creates an object and answers its interface riid in *out. CLASS_E_NOAGGREGATION when outer is
// not null: the object cannot be aggregated.
HRESULT CreateSpellCheckObject(IUnknown* outer, REFIID riid, void** out);

}  // namespace lexivane::component
