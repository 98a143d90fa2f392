// The component's client test program: `component_client_test --gtest_filter=<Suite>.* [DLL]`
// runs GoogleTest's tests on an apartment-threaded main thread. CTest runs one suite per
// process; the suites that look at the DLL itself take its path.
#include "component/tests/client_checks.h"

#include <cstdio>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lexivane::component_tests {
namespace {

std::string dll_argument;  // the argument left after GoogleTest's own

}  // namespace

std::wstring DllPath() {
  wchar_t given[MAX_PATH], full[MAX_PATH];
  if (dll_argument.empty() ||
      !MultiByteToWideChar(CP_ACP, 0, dll_argument.c_str(), -1, given, MAX_PATH) ||
      !GetFullPathNameW(given, MAX_PATH, full, nullptr))
    throw std::runtime_error("the DLL's path is not given");
  return full;
}

void Require(HRESULT hr, const char* expression) {
  if (SUCCEEDED(hr)) return;
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  throw std::runtime_error(std::string(expression) + " failed: " + text);
}

SAFEARRAY* MakeStringArray(const std::vector<std::wstring>& strings) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(strings.size()), 0};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
  for (LONG i = 0; i < static_cast<LONG>(strings.size()); ++i) {
    Bstr text(strings[i]);
    VARIANT element = StringArg(text);
    SafeArrayPutElement(array, &i, &element);  // copies the string
  }
  return array;
}

std::vector<std::wstring> StringsOf(SAFEARRAY* array) {
  std::vector<std::wstring> strings;
  VARTYPE type = VT_EMPTY;
  if (!array || FAILED(SafeArrayGetVartype(array, &type))) return strings;
  EXPECT_EQ(type, VT_VARIANT);
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  if (type != VT_VARIANT || SafeArrayGetDim(array) != 1) return strings;
  EXPECT_EQ(array->rgsabound[0].lLbound, 0);
  const auto* elements = static_cast<const VARIANT*>(array->pvData);
  for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i) {
    EXPECT_EQ(elements[i].vt, VT_BSTR) << "element " << i;
    if (elements[i].vt == VT_BSTR)
      strings.emplace_back(elements[i].bstrVal, SysStringLen(elements[i].bstrVal));
  }
  return strings;
}

VARIANT StringArg(const Bstr& value) {
  VARIANT v{};
  v.vt = VT_BSTR;
  v.bstrVal = value.get();
  return v;
}

VARIANT ValueArg(VARTYPE type, LONG value) {
  VARIANT v{};
  v.vt = type;
  v.lVal = value;
  return v;
}

DISPID IdOfName(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << name;
  return id;
}

DispatchCall::DispatchCall(IDispatch* object, DISPID id, std::initializer_list<VARIANT> arguments) {
  // Invoke takes the arguments last first.
  std::vector<VARIANT> reversed(std::rbegin(arguments), std::rend(arguments));
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &value,
                      &exception, nullptr);
}

DispatchCall::DispatchCall(IDispatch* object, const wchar_t* name,
                           std::initializer_list<VARIANT> arguments)
    : DispatchCall(object, IdOfName(object, name), arguments) {}

ComPtr<_SpellCheck> CreateSpellCheck() {
  CLSID clsid{};
  REQUIRE_HR(CLSIDFromProgID(kProgId, &clsid));
  ComPtr<_SpellCheck> object;
  REQUIRE_HR(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
  return object;
}

HRESULT LoadWordList(_SpellCheck* object) {
  Bstr empty(L"");
  Variant result;
  return object->Init(empty.get(), empty.get(), nullptr, &result);
}

ComPtr<_SpellCheck> CreateLoadedSpellCheck() {
  ComPtr<_SpellCheck> object = CreateSpellCheck();
  REQUIRE_HR(LoadWordList(object.Get()));
  return object;
}

ComPtr<IDispatch> DispatchOf(_SpellCheck* object) {
  ComPtr<IDispatch> dispatch;
  REQUIRE_HR(object->QueryInterface(IID_PPV_ARGS(&dispatch)));
  return dispatch;
}

VARIANT_BOOL CheckWord(_SpellCheck* object, const wchar_t* word, VARIANT_BOOL check_custom) {
  Bstr text(word);
  VARIANT_BOOL result = 0;
  EXPECT_EQ(object->CheckWord(text.get(), check_custom, &result), S_OK);
  // Hosts compare with True (-1); a 1 would read as "not True" in a script's If x = True.
  EXPECT_THAT(result, testing::AnyOf(VARIANT_TRUE, VARIANT_FALSE));
  return result;
}

void AddToCustom(_SpellCheck* object, const wchar_t* word) {
  Bstr text(word);
  Variant result;
  EXPECT_EQ(object->AddToCustom(text.get(), &result), S_OK);
  EXPECT_EQ(result.vt, VT_EMPTY);
}

}  // namespace lexivane::component_tests

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc > 1) lexivane::component_tests::dll_argument = argv[1];
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exit_code = RUN_ALL_TESTS();
  CoUninitialize();
  return exit_code;
}
