// What the component's client tests share: small owners for the automation types they pass to
// the component, a minimal IDispatch for their sinks, dispatch calls, and the component's object.
// The script host (script_host.cc) uses the owners and the IDispatch base too.
//
// The client program (main in client_checks.cc) runs one GoogleTest suite per process, so that each
// CTest entry starts with a fresh apartment and a fresh copy of the component's per-thread state.
// Helpers that return a value cannot use ASSERT_*: when a step they need fails, REQUIRE_HR
// throws, and GoogleTest reports the exception as the test's failure. It is thrown on the test's
// own side only: sinks and window drivers record what they saw and the test checks it after the
// call returns, so no C++ exception ever unwinds through the component.
//
// Everything here belongs to the thread that uses it; a test that starts threads joins them.
#pragma once

#include <oaidl.h>
#include <ocidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "lexivane_idl.h"

namespace lexivane::component_tests {

using Microsoft::WRL::ComPtr;

// The DLL's full Windows path, from the argument after GoogleTest's own (which may be a Linux
// path: Wine resolves it on the current drive).
std::wstring DllPath();

void Require(HRESULT hr, const char* expression);  // throws when hr is a failure
#define REQUIRE_HR(expression) ::lexivane::component_tests::Require((expression), #expression)

// The owners below are never copied.
struct NoCopy {
  NoCopy() = default;
  NoCopy(const NoCopy&) = delete;
  NoCopy& operator=(const NoCopy&) = delete;
};

// A BSTR owned by the test; out() is for an [out] or [in, out] argument, which the callee may
// free and replace.
class Bstr : NoCopy {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), text.size())) {}
  ~Bstr() { SysFreeString(value_); }
  BSTR get() const { return value_; }
  BSTR* out() { return &value_; }
  std::wstring str() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : L""; }

 private:
  BSTR value_ = nullptr;
};

// A VARIANT and an EXCEPINFO owned by the test.
struct Variant : VARIANT, NoCopy {
  Variant() { VariantInit(this); }
  ~Variant() { VariantClear(this); }
};
struct ExceptionInfo : EXCEPINFO, NoCopy {
  ExceptionInfo() : EXCEPINFO{} {}
  ~ExceptionInfo() {
    for (BSTR text : {bstrSource, bstrDescription, bstrHelpFile}) SysFreeString(text);
  }
};

// A SAFEARRAY owned by the test; out() hands it to an [in, out] argument.
class SafeArray : NoCopy {
 public:
  explicit SafeArray(SAFEARRAY* array = nullptr) : value_(array) {}
  ~SafeArray() { SafeArrayDestroy(value_); }
  SAFEARRAY* get() const { return value_; }
  SAFEARRAY** out() { return &value_; }

 private:
  SAFEARRAY* value_ = nullptr;
};

// An IDispatch without type information, names or members (unless a derived class answers
// Invoke) that answers for IUnknown, IDispatch and one more interface (an event interface) and
// counts its references without deleting itself: it lives where its owner puts it, and the count
// tells whether others still hold it.
class DispatchBase : public IDispatch {
 public:
  explicit DispatchBase(REFIID also = IID_IDispatch) : also_(also) {}
  LONG references = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IDispatch || iid == also_ ? this : nullptr;
    return *out ? AddRef(), S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  IID also_;
};

// A one-dimensional, zero-based array of VARIANTs holding the strings, as a host builds it.
SAFEARRAY* MakeStringArray(const std::vector<std::wstring>& strings);
// The strings of a one-dimensional, zero-based array of VARIANTs; a null array reads as no
// strings. Fails the test when the array is of another shape or an element is not a string.
std::vector<std::wstring> StringsOf(SAFEARRAY* array);

// Arguments for a dispatch call. They borrow what they point at: the caller keeps the BSTRs,
// arrays and by-reference targets alive across the call.
VARIANT StringArg(const Bstr& value);
// VT_I4, VT_BOOL (VARIANT_TRUE or VARIANT_FALSE) or VT_ERROR, which share the VARIANT's four
// bytes. An omitted optional argument is ValueArg(VT_ERROR, DISP_E_PARAMNOTFOUND).
VARIANT ValueArg(VARTYPE type, LONG value);

// By reference: VARIANT_BOOL, LONG, BSTR or SAFEARRAY* (an array of VARIANTs).
template <typename T>
VARIANT RefArg(T* target) {
  VARIANT v{};
  if constexpr (std::is_same_v<T, VARIANT_BOOL>) v.vt = VT_BOOL;
  if constexpr (std::is_same_v<T, LONG>) v.vt = VT_I4;
  if constexpr (std::is_same_v<T, BSTR>) v.vt = VT_BSTR;
  if constexpr (std::is_same_v<T, SAFEARRAY*>) v.vt = VT_ARRAY | VT_VARIANT;
  v.vt |= VT_BYREF;
  v.byref = target;
  return v;
}

// A method called through IDispatch::Invoke, by name (failing the test when the name is unknown)
// or by identifier, with the arguments in the order a caller writes them, none named; and what
// it returned.
struct DispatchCall {
  HRESULT hr = E_FAIL;
  Variant value;
  ExceptionInfo exception;
  DispatchCall(IDispatch* object, DISPID id, std::initializer_list<VARIANT> arguments);
  DispatchCall(IDispatch* object, const wchar_t* name, std::initializer_list<VARIANT> arguments);
};
DISPID IdOfName(IDispatch* object, const wchar_t* name);

// The component's class, created through its programmatic identifier; LoadWordList calls Init.
ComPtr<_SpellCheck> CreateSpellCheck();
HRESULT LoadWordList(_SpellCheck* object);
ComPtr<_SpellCheck> CreateLoadedSpellCheck();
ComPtr<IDispatch> DispatchOf(_SpellCheck* object);

// Early-bound CheckWord and AddToCustom, failing the test when the call itself fails.
VARIANT_BOOL CheckWord(_SpellCheck* object, const wchar_t* word,
                       VARIANT_BOOL check_custom = VARIANT_TRUE);
void AddToCustom(_SpellCheck* object, const wchar_t* word);

// The component's file name; GetModuleHandle finds the DLL by it while COM keeps it loaded.
inline constexpr wchar_t kComponentFile[] = L"lexvn11en.dll";
inline constexpr wchar_t kProgId[] = L"Lexivane.SpellCheck";

}  // namespace lexivane::component_tests
