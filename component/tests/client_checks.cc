#include "component/tests/client_checks.h"

#include <algorithm>
#include <cstdio>

namespace lexivane::component_tests {
namespace {

int failures_in_check = 0;

}  // namespace

void Fail(const char* file, int line, const std::string& message) {
  ++failures_in_check;
  std::printf("  %s:%d: %s\n", file, line, message.c_str());
  std::fflush(stdout);
}

int FailuresSoFar() {
  return failures_in_check;
}

void Skip(const std::string& reason) {
  throw CheckSkipped{reason};
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string result(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                      nullptr, nullptr);
  return result;
}

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
  if (SafeArrayGetDim(array) != 1 || type != VT_VARIANT) {
    Fail(__FILE__, __LINE__, "the array is not one-dimensional of VARIANTs");
    return strings;
  }
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  CHECK_EQ(lower, 0L);
  for (LONG i = lower; i <= upper; ++i) {
    Variant element;
    SafeArrayGetElement(array, &i, &element);
    if (element.vt != VT_BSTR) {
      Fail(__FILE__, __LINE__, "element " + std::to_string(i) + " is not a string");
      continue;
    }
    strings.emplace_back(element.bstrVal, SysStringLen(element.bstrVal));
  }
  return strings;
}

std::string Show(const std::vector<std::wstring>& strings) {
  std::string text = "{";
  for (const auto& s : strings) text += (text.size() > 1 ? ", " : "") + Show(s);
  return text + "}";
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
VARIANT RefArg(VARIANT_BOOL* target) {
  VARIANT v{};
  v.vt = VT_BYREF | VT_BOOL;
  v.pboolVal = target;
  return v;
}
VARIANT RefArg(LONG* target) {
  VARIANT v{};
  v.vt = VT_BYREF | VT_I4;
  v.plVal = target;
  return v;
}
VARIANT RefArg(float* target) {
  VARIANT v{};
  v.vt = VT_BYREF | VT_R4;
  v.pfltVal = target;
  return v;
}
VARIANT RefArg(BSTR* target) {
  VARIANT v{};
  v.vt = VT_BYREF | VT_BSTR;
  v.pbstrVal = target;
  return v;
}
VARIANT RefArg(SAFEARRAY** target) {
  VARIANT v{};
  v.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
  v.pparray = target;
  return v;
}
VARIANT RefArg(VARIANT* target) {
  VARIANT v{};
  v.vt = VT_BYREF | VT_VARIANT;
  v.pvarVal = target;
  return v;
}
VARIANT MissingArg() {
  VARIANT v{};
  v.vt = VT_ERROR;
  v.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

DispatchResult::~DispatchResult() {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

DISPID IdOfName(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) Fail(__FILE__, __LINE__, "GetIDsOfNames(" + Show(name) + "): " + Show(hr));
  return id;
}

void CallById(IDispatch* object, DISPID id, WORD flags, std::initializer_list<VARIANT> arguments,
              DispatchResult& result) {
  // Invoke takes the arguments last first.
  std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
  std::reverse(reversed.begin(), reversed.end());
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    parameters.rgdispidNamedArgs = &put_id;
    parameters.cNamedArgs = 1;
  }
  result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &result.value,
                             &result.exception, &result.bad_argument);
}

void CallByName(IDispatch* object, const wchar_t* name, std::initializer_list<VARIANT> arguments,
                DispatchResult& result, WORD flags) {
  CallById(object, IdOfName(object, name), flags, arguments, result);
}

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

ErrorInfoText TakeErrorInfo() {
  ErrorInfoText text;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.GetAddressOf()) != S_OK || !info) return text;
  text.present = true;
  Bstr source, description;
  info->GetSource(source.out());
  info->GetDescription(description.out());
  text.source = source.str();
  text.description = description.str();
  return text;
}

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  for (unsigned n = GetTickCount();; ++n) {
    path_ = std::wstring(base) + L"lexivane-client-" + std::to_wstring(GetCurrentProcessId()) +
            L"-" + std::to_wstring(n);
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
  }
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileW(File(entry.cFileName).c_str());  // fails harmlessly for "." and ".."
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

Thread::Thread(LPTHREAD_START_ROUTINE entry, void* argument)
    : handle_(CreateThread(nullptr, 0, entry, argument, 0, nullptr)) {
  REQUIRE(handle_ != nullptr);
}

Thread::~Thread() {
  Join();
}

void Thread::Join() {
  if (!handle_) return;
  WaitForSingleObject(handle_, INFINITE);
  CloseHandle(handle_);
  handle_ = nullptr;
}

}  // namespace lexivane::component_tests
