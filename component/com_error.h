// The component's one error mapper: every method of the automation object runs its body through
// Guarded(), which turns whatever the body throws into a failing HRESULT and the caller's error
// information, so that no C++ exception ever leaves the component.
//
// The mapping (docs/component.md, "Errors"):
//   lexivane::Error with one of Lexivane's own numbers (0x2000xxxx) -> 0x80040200 + (number &
//   0xFFFF), a FACILITY_ITF code of the component's own, except kErrorOutOfMemory ->
//   E_OUTOFMEMORY; lexivane::Error with a Win32 error code -> HRESULT_FROM_WIN32(code);
//   std::bad_alloc -> E_OUTOFMEMORY; anything else -> E_UNEXPECTED.
// The error information names "Lexivane.SpellCheck" as its source and the automation interface
// as its interface, and carries the error's description (for a Win32 error followed by the
// system's text for the code when the description does not already end with it).
//
// Runs on the calling thread; the error information is that thread's, as COM keeps it.
#pragma once

#include <windows.h>

#include <string>

namespace lexivane::component {

// The HRESULT for a lexivane::Error number, following the mapping above. A number that is
// neither Lexivane's nor a Win32 code (zero, negative, or above 0xFFFF) gives E_UNEXPECTED, so
// that a failure never reads as success.
HRESULT HresultFromErrorNumber(int number);

// The description a host reads for an error: the error's own, followed by the system's text for
// a Win32 code (trimmed of its line break) unless the description already ends with that text.
std::wstring DescribeError(int number, const std::string& utf8_description);

// Sets the thread's error information for a failure found at the boundary itself (a NULL
// pointer, an unusable array) and answers code, so that a caller never reads the information of
// an earlier failure.
HRESULT Fail(HRESULT code, const wchar_t* description) noexcept;

// Maps the exception being handled to an HRESULT and sets the thread's error information. Call
// it only inside a catch block.
HRESULT ReportCurrentException() noexcept;

// Runs body (returning HRESULT) and answers what it returns, or the mapped HRESULT when it
// throws.
template <typename Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return ReportCurrentException();
  }
}

}  // namespace lexivane::component
