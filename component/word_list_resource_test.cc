// word_list_resource_test: a copy of lexvn11en.dll whose word list resource cannot be found
// must fail Init the way a host can see: a failed automation call carrying the Win32 error of
// the lookup (ERROR_RESOURCE_TYPE_NOT_FOUND) and a description that names the word list; the
// DLL as built must load it. The copy renames the resource type "DIC" in the resource directory
// to "DIX", which leaves every other byte of the module as it was.
// A Windows program run under Wine by CTest; prints each failed check and exits non-zero.
//
// usage: word_list_resource_test DLL
#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lexivane_idl.h"

namespace {

using GetClassObjectFn = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);

struct InitOutcome {
  HRESULT result = E_FAIL;
  EXCEPINFO error = {};
};

// Loads the DLL at path, creates an object through its class factory and calls Init("", "").
InitOutcome CallInit(const std::wstring& path) {
  InitOutcome outcome;
  const HMODULE module = ::LoadLibraryW(path.c_str());
  if (module == nullptr) return outcome;
  const auto get_class_object = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
  IClassFactory* factory = nullptr;
  IDispatch* object = nullptr;
  if (get_class_object != nullptr &&
      SUCCEEDED(get_class_object(CLSID_SpellCheck, IID_IClassFactory,
                                 reinterpret_cast<void**>(&factory)))) {
    factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object));
    factory->Release();
  }
  DISPID init = 0;
  auto* name = const_cast<LPOLESTR>(L"Init");
  if (object != nullptr &&
      SUCCEEDED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &init))) {
    VARIANT args[2] = {};  // null BSTRs, which automation reads as empty strings
    for (VARIANT& arg : args) V_VT(&arg) = VT_BSTR;
    DISPPARAMS params = {args, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    outcome.result = object->Invoke(init, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                    &result, &outcome.error, nullptr);
    VariantClear(&result);
  }
  if (object != nullptr) object->Release();
  ::FreeLibrary(module);
  return outcome;
}

// Writes a copy of the DLL whose resource type "DIC" is named "DIX". False when the name is not
// found exactly once (the resource directory stores it as a counted UTF-16 string).
bool WriteCopyWithoutWordList(const std::wstring& from, const std::wstring& to) {
  std::ifstream in(from.c_str(), std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const char name[] = {3, 0, 'D', 0, 'I', 0, 'C', 0};
  std::size_t found = 0, at = 0;
  for (std::size_t offset = 0; offset + sizeof name <= bytes.size(); ++offset) {
    if (std::equal(name, name + sizeof name, bytes.begin() + static_cast<std::ptrdiff_t>(offset))) {
      ++found;
      at = offset;
    }
  }
  if (found != 1) return false;
  bytes[at + 6] = 'X';
  std::ofstream out(to.c_str(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: word_list_resource_test DLL\n");
    return 2;
  }
  ::CoInitialize(nullptr);
  int failures = 0;
  const auto expect = [&](bool condition, const char* what) {
    if (!condition) {
      std::printf("FAILED: %s\n", what);
      ++failures;
    }
  };

  expect(SUCCEEDED(CallInit(argv[1]).result), "Init loads the word list of the DLL as built");

  // A folder of its own: the copy must keep the DLL's file name, and must not be found in place
  // of the real one.
  const std::wstring folder = L"word-list-missing";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring copy = folder + L"\\lexvn11en.dll";
  if (!WriteCopyWithoutWordList(argv[1], copy)) {
    std::printf("FAILED: the resource type DIC is not in %ls exactly once\n", argv[1]);
    return 1;
  }
  const InitOutcome missing = CallInit(copy);
  expect(missing.result == DISP_E_EXCEPTION, "Init without the word list fails the call");
  expect(missing.error.scode == HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND),
         "the failure carries the Win32 error of the resource lookup");
  expect(missing.error.bstrDescription != nullptr &&
             std::wcsstr(missing.error.bstrDescription, L"word list") != nullptr,
         "the description names the word list");
  std::printf("Init without the word list: 0x%08lX, \"%ls\"\n",
              static_cast<unsigned long>(missing.error.scode),
              missing.error.bstrDescription != nullptr ? missing.error.bstrDescription : L"");
  ::SysFreeString(missing.error.bstrSource);
  ::SysFreeString(missing.error.bstrDescription);
  ::SysFreeString(missing.error.bstrHelpFile);
  ::DeleteFileW(copy.c_str());
  ::RemoveDirectoryW(folder.c_str());
  ::CoUninitialize();
  std::printf(failures == 0 ? "every word list check passed\n" : "%d check(s) failed\n", failures);
  return failures == 0 ? 0 : 1;
}
