// The component's client tests: named checks run in order, and small owners for the automation
// types they pass to the component.
//
// The client program (client_main.cc) runs one group of checks per process, so that each CTest
// entry starts with a fresh apartment and a fresh copy of the component's per-thread state.
// A failed CHECK records the place and the values and lets the check go on; REQUIRE and
// REQUIRE_HR also end the check by throwing CheckAborted. That exception is thrown on the test's
// own side only: sinks and window drivers record what they saw and the check tests it after the
// call returns, so no C++ exception ever unwinds through the component.
//
// Everything here belongs to the thread that uses it; a check that starts threads joins them
// before it returns.
#pragma once

#include <oaidl.h>
#include <ocidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "lexivane_idl.h"

namespace lexivane::component_tests {

using Microsoft::WRL::ComPtr;

struct Check {
  const char* name;
  void (*run)();
};

// Reported by the client program when the command line names an unknown group.
struct CheckGroup {
  const char* name;
  std::vector<Check> checks;
};

std::vector<CheckGroup> RegistrationGroups();  // registration_test.cc
std::vector<CheckGroup> MemberGroups();        // members_test.cc
std::vector<CheckGroup> EventGroups();         // events_test.cc
std::vector<CheckGroup> LifetimeGroups();      // lifetime_test.cc

// Arguments after the group name on the command line (the registry checks take the DLL's path).
const std::vector<std::wstring>& GroupArguments();

struct CheckAborted {};
struct CheckSkipped {
  std::string reason;
};

void Fail(const char* file, int line, const std::string& message);
int FailuresSoFar();
// Ends the check without failing it, for a case that needs what this build does not have.
[[noreturn]] void Skip(const std::string& reason);
std::string Narrow(const std::wstring& text);  // UTF-8, for messages
std::string HresultText(HRESULT hr);

inline std::string Show(const std::wstring& value) {
  return '"' + Narrow(value) + '"';
}
inline std::string Show(const wchar_t* value) {
  return Show(std::wstring(value ? value : L""));
}
inline std::string Show(HRESULT value) {
  return HresultText(value);
}
template <typename T>
std::string Show(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

#define CHECK(condition) \
  ((condition) ? void() : ::lexivane::component_tests::Fail(__FILE__, __LINE__, #condition))
#define CHECK_EQ(actual, expected)                                                          \
  do {                                                                                      \
    const auto& actual_value = (actual);                                                    \
    const auto& expected_value = (expected);                                                \
    if (!(actual_value == expected_value))                                                  \
      ::lexivane::component_tests::Fail(                                                    \
          __FILE__, __LINE__,                                                               \
          std::string(#actual) + " is " + ::lexivane::component_tests::Show(actual_value) + \
              ", expected " + ::lexivane::component_tests::Show(expected_value));           \
  } while (false)
#define CHECK_HR(expression, expected)                                                            \
  do {                                                                                            \
    HRESULT actual_hr = (expression);                                                             \
    if (actual_hr != (expected))                                                                  \
      ::lexivane::component_tests::Fail(__FILE__, __LINE__,                                       \
                                        std::string(#expression) + " returned " +                 \
                                            ::lexivane::component_tests::HresultText(actual_hr) + \
                                            ", expected " +                                       \
                                            ::lexivane::component_tests::HresultText(expected));  \
  } while (false)
#define REQUIRE(condition)                                               \
  do {                                                                   \
    if (!(condition)) {                                                  \
      ::lexivane::component_tests::Fail(__FILE__, __LINE__, #condition); \
      throw ::lexivane::component_tests::CheckAborted{};                 \
    }                                                                    \
  } while (false)
#define REQUIRE_HR(expression)                                                      \
  do {                                                                              \
    HRESULT required_hr = (expression);                                             \
    if (FAILED(required_hr)) {                                                      \
      ::lexivane::component_tests::Fail(                                            \
          __FILE__, __LINE__,                                                       \
          std::string(#expression) +                                                \
              " failed: " + ::lexivane::component_tests::HresultText(required_hr)); \
      throw ::lexivane::component_tests::CheckAborted{};                            \
    }                                                                               \
  } while (false)

// A BSTR owned by the test.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), text.size())) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return value_; }
  BSTR* out() {  // for an [out] or [in, out] argument: the callee may free and replace it
    return &value_;
  }
  std::wstring str() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : L""; }

 private:
  BSTR value_ = nullptr;
};

// A VARIANT owned by the test.
struct Variant : VARIANT {
  Variant() { VariantInit(this); }
  ~Variant() { VariantClear(this); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

// A SAFEARRAY owned by the test; out() hands it to an [in, out] argument.
class SafeArray {
 public:
  SafeArray() = default;
  explicit SafeArray(SAFEARRAY* array) : value_(array) {}
  ~SafeArray() { reset(); }
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;

  SAFEARRAY* get() const { return value_; }
  SAFEARRAY** out() { return &value_; }
  void reset() {
    if (value_) SafeArrayDestroy(value_);
    value_ = nullptr;
  }

 private:
  SAFEARRAY* value_ = nullptr;
};

// A one-dimensional, zero-based array of VARIANTs holding the strings, as a host builds it.
SAFEARRAY* MakeStringArray(const std::vector<std::wstring>& strings);
// The strings of a one-dimensional array of VARIANTs; a null array reads as no strings.
// Fails the check when the array is of another shape or an element is not a string.
std::vector<std::wstring> StringsOf(SAFEARRAY* array);
std::string Show(const std::vector<std::wstring>& strings);

// Arguments for a dispatch call. They borrow what they point at: the caller keeps the BSTRs,
// arrays and by-reference targets alive across the call.
VARIANT StringArg(const Bstr& value);
VARIANT BoolArg(bool value);
VARIANT LongArg(LONG value);
VARIANT RefArg(VARIANT_BOOL* target);
VARIANT RefArg(LONG* target);
VARIANT RefArg(float* target);
VARIANT RefArg(BSTR* target);
VARIANT RefArg(SAFEARRAY** target);  // VT_BYREF | VT_ARRAY | VT_VARIANT
VARIANT RefArg(VARIANT* target);     // VT_BYREF | VT_VARIANT, as script engines pass arrays
VARIANT MissingArg();                // an omitted optional argument

// The outcome of IDispatch::Invoke.
struct DispatchResult {
  HRESULT hr = E_FAIL;
  Variant value;
  EXCEPINFO exception{};
  UINT bad_argument = 0;
  DispatchResult() = default;
  ~DispatchResult();
  DispatchResult(const DispatchResult&) = delete;
  DispatchResult& operator=(const DispatchResult&) = delete;
};

// Looks the member up by name (failing the check when the name is unknown) and invokes it with
// the arguments in the order a caller writes them, none named.
void CallByName(IDispatch* object, const wchar_t* name, std::initializer_list<VARIANT> arguments,
                DispatchResult& result, WORD flags = DISPATCH_METHOD);
void CallById(IDispatch* object, DISPID id, WORD flags, std::initializer_list<VARIANT> arguments,
              DispatchResult& result);
DISPID IdOfName(IDispatch* object, const wchar_t* name);

// The component's class, created through its programmatic identifier.
ComPtr<_SpellCheck> CreateSpellCheck();
// The same, with the word list loaded.
ComPtr<_SpellCheck> CreateLoadedSpellCheck();
ComPtr<IDispatch> DispatchOf(_SpellCheck* object);

// The error info left on the thread by the last failing call, as source and description.
struct ErrorInfoText {
  bool present = false;
  std::wstring source;
  std::wstring description;
};
ErrorInfoText TakeErrorInfo();

// A fresh folder under the temporary directory, removed with its files when the object dies.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

std::string ReadFileBytes(const std::wstring& path);  // empty when the file cannot be read

// The component's file name; GetModuleHandle finds the DLL by it while COM keeps it loaded.
inline constexpr wchar_t kComponentFile[] = L"lexvn11en.dll";
inline constexpr wchar_t kProgId[] = L"Lexivane.SpellCheck";
inline constexpr DISPID kSuggestionSimilarityId = 0x68030000;

// Starts a thread (the win32 thread model of the cross compiler has no std::thread) and joins it.
// The body must not REQUIRE: it records what it saw for the check to test after Join.
class Thread {
 public:
  template <typename Body>
  explicit Thread(Body& body) : Thread(&Trampoline<Body>, &body) {}
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  void Join();

 private:
  Thread(LPTHREAD_START_ROUTINE entry, void* argument);
  template <typename Body>
  static DWORD WINAPI Trampoline(void* body) {
    (*static_cast<Body*>(body))();
    return 0;
  }
  HANDLE handle_ = nullptr;
};

}  // namespace lexivane::component_tests
