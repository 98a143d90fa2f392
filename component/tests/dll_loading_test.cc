// The DLL loaded by path the way COM loads it (LoadLibrary, DllGetClassObject, DllCanUnloadNow),
// without the registry: what keeps it loaded, and how Init fails in a copy whose word list
// resource cannot be found. (Server locks, unloading while a thread that used the DLL lives on,
// and loading it again go through COM in UnloadsAndLoadsAgain.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "component/tests/client_checks.h"

namespace lexivane::component_tests {
namespace {

// The DLL at a path and its entry points, freed at the end of the scope (after the objects
// declared later).
struct LoadedDll {
  explicit LoadedDll(const std::wstring& path) : module(LoadLibraryW(path.c_str())) {
    if (!get_class_object || !can_unload_now) throw std::runtime_error("cannot load the DLL");
  }
  ~LoadedDll() { FreeLibrary(module); }
  // GetProcAddress answers with a generic function type; the export's own type is restored
  // through void*, which is how an entry point is meant to be cast.
  template <typename Function>
  Function* Entry(const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  ComPtr<IClassFactory> Factory() {
    ComPtr<IClassFactory> factory;
    REQUIRE_HR(get_class_object(CLSID_SpellCheck, IID_IClassFactory,
                                reinterpret_cast<void**>(factory.GetAddressOf())));
    return factory;
  }

  HMODULE module;
  decltype(&DllGetClassObject) get_class_object =
      Entry<decltype(DllGetClassObject)>("DllGetClassObject");
  decltype(&DllCanUnloadNow) can_unload_now = Entry<decltype(DllCanUnloadNow)>("DllCanUnloadNow");
};

// DllGetClassObject answers for SpellCheck only and its factory refuses aggregation;
// DllCanUnloadNow is S_FALSE while an object or a factory reference is alive, and S_OK once none
// is.
TEST(DllLifetime, ObjectsAndFactoriesKeepTheDll) {
  LoadedDll dll(DllPath());
  ComPtr<IClassFactory> other;
  EXPECT_EQ(dll.get_class_object(IID_IDispatch, IID_IClassFactory,
                                 reinterpret_cast<void**>(other.GetAddressOf())),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(dll.can_unload_now(), S_OK);
  ComPtr<IClassFactory> factory = dll.Factory();
  EXPECT_EQ(dll.can_unload_now(), S_FALSE);
  ComPtr<IUnknown> object, aggregated;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown,
                                    reinterpret_cast<void**>(object.GetAddressOf())),
            S_OK);
  DispatchBase outer;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown,
                                    reinterpret_cast<void**>(aggregated.GetAddressOf())),
            CLASS_E_NOAGGREGATION);
  factory.Reset();
  EXPECT_EQ(dll.can_unload_now(), S_FALSE);
  object.Reset();
  EXPECT_EQ(dll.can_unload_now(), S_OK);
}

// Init("", ""), late-bound, on a new object of the DLL at the path.
struct InitOutcome {
  HRESULT hr;
  SCODE scode;
  std::wstring description;
};
InitOutcome CallInit(const std::wstring& path) {
  LoadedDll dll(path);
  ComPtr<IDispatch> object;
  REQUIRE_HR(dll.Factory()->CreateInstance(nullptr, IID_IDispatch,
                                           reinterpret_cast<void**>(object.GetAddressOf())));
  Bstr empty(L"");
  DispatchCall init(object.Get(), L"Init", {StringArg(empty), StringArg(empty)});
  const BSTR description = init.exception.bstrDescription;
  return {init.hr, init.exception.scode, description ? description : L""};
}

// A host sees the failure as a failed call carrying the Win32 error of the resource lookup and
// a description that names the word list. The copy renames the resource type "DIC" in the
// resource directory (a counted UTF-16 string there) to "DIX", which leaves every other byte of
// the module as it was; it lies in a folder of its own, as it keeps the DLL's file name.
TEST(WordListResource, InitWithoutTheWordListFails) {
  const std::wstring dll = DllPath(), folder = dll + L"-without-word-list";
  EXPECT_EQ(CallInit(dll).hr, S_OK);

  std::ifstream in(dll.c_str(), std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), {}};
  const std::string name("\3\0D\0I\0C\0", 8);
  const std::size_t at = bytes.find(name);
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(bytes.find(name, at + 1), std::string::npos) << "DIC is in the DLL more than once";
  bytes[at + 6] = 'X';
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring copy = folder + L"\\" + kComponentFile;
  std::ofstream(copy.c_str(), std::ios::binary) << bytes;
  const InitOutcome missing = CallInit(copy);
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
  EXPECT_EQ(missing.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(missing.scode, HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_THAT(missing.description, testing::HasSubstr(L"word list"));
}

}  // namespace
}  // namespace lexivane::component_tests
