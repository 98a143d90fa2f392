#include "component/tests/client_checks.h"

#include <algorithm>
#include <cstdio>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lexivane::component_tests {

std::string HresultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

SAFEARRAY* MakeStringArray(const std::vector<std::wstring>& strings) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(strings.size()), 0};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
  for (LONG i = 0; i < static_cast<LONG>(strings.size()); ++i) {
    Variant element;
    element.vt = VT_BSTR;
    element.bstrVal = SysAllocString(strings[i].c_str());
    SafeArrayPutElement(array, &i, &element);
  }
  return array;
}

std::vector<std::wstring> StringsOf(SAFEARRAY* array) {
  std::vector<std::wstring> strings;
  if (!array) return strings;
  VARTYPE type = VT_EMPTY;
  SafeArrayGetVartype(array, &type);
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  EXPECT_EQ(type, VT_VARIANT);
  if (SafeArrayGetDim(array) != 1 || type != VT_VARIANT) return strings;
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 0);
  for (LONG i = lower; i <= upper; ++i) {
    Variant element;
    SafeArrayGetElement(array, &i, &element);
    EXPECT_EQ(element.vt, VT_BSTR) << "element " << i;
    if (element.vt == VT_BSTR) strings.emplace_back(element.bstrVal, SysStringLen(element.bstrVal));
  }
  return strings;
}

VARIANT StringArg(const Bstr& value) {
  VARIANT v{};
  v.vt = VT_BSTR;
  v.bstrVal = value.get();
  return v;
}
VARIANT BoolArg(bool value) {
  VARIANT v{};
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
VARIANT LongArg(LONG value) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}
VARIANT MissingArg() {
  VARIANT v{};
  v.vt = VT_ERROR;
  v.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

DispatchCall::~DispatchCall() {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

DISPID IdOfName(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  EXPECT_EQ(hr, S_OK) << "GetIDsOfNames(" << name << ")";
  return id;
}

DispatchCall::DispatchCall(IDispatch* object, DISPID id, std::initializer_list<VARIANT> arguments) {
  // Invoke takes the arguments last first.
  std::vector<VARIANT> reversed(std::rbegin(arguments), std::rend(arguments));
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &value,
                      &exception, &bad_argument);
}

DispatchCall::DispatchCall(IDispatch* object, const wchar_t* name,
                           std::initializer_list<VARIANT> arguments)
    : DispatchCall(object, IdOfName(object, name), arguments) {}

ComPtr<_SpellCheck> CreateSpellCheck() {
  CLSID clsid{};
  REQUIRE_HR(CLSIDFromProgID(kProgId, &clsid));
  ComPtr<_SpellCheck> object;
  REQUIRE_HR(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__SpellCheck,
                              reinterpret_cast<void**>(object.GetAddressOf())));
  return object;
}

ComPtr<_SpellCheck> CreateLoadedSpellCheck() {
  ComPtr<_SpellCheck> object = CreateSpellCheck();
  Bstr empty(L"");
  Variant result;
  REQUIRE_HR(object->Init(empty.get(), empty.get(), nullptr, &result));
  return object;
}

ComPtr<IDispatch> DispatchOf(_SpellCheck* object) {
  ComPtr<IDispatch> dispatch;
  REQUIRE_HR(
      object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf())));
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
