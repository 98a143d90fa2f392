// Apartments and the DLL's lifetime as a host process sees them: each apartment thread has its
// own dictionaries, a call from another apartment is marshalled to the object's thread, the DLL
// unloads when nothing holds it and loads again fresh, and a thread that used it may end after.
// And the DLL loaded by path the way COM loads it (LoadLibrary, DllGetClassObject,
// DllCanUnloadNow), without the registry: what keeps it loaded, and how Init fails in a copy
// whose word list resource cannot be found.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "component/tests/client_checks.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <tuple>

namespace lexivane::component_tests {
namespace {

// A manual-reset event: the apartment tests need waits on handles.
struct Event {
  HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ~Event() { CloseHandle(handle); }
  void Set() { SetEvent(handle); }
  void Wait() { WaitForSingleObject(handle, INFINITE); }
};

// Runs `steps` with an object whose word list is loaded, in a new apartment of this thread,
// which it leaves after.
void InNewApartment(const std::function<void(_SpellCheck*)>& steps) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    ComPtr<_SpellCheck> object;
    EXPECT_EQ(
        CoCreateInstance(CLSID_SpellCheck, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)),
        S_OK);
    if (object) {
      EXPECT_EQ(LoadWordList(object.Get()), S_OK);
      steps(object.Get());
    }
  }
  CoUninitialize();
}

TEST(Apartments, ApartmentsShareNothing) {
  Event added, checked;
  std::jthread first([&] {
    InNewApartment([&](_SpellCheck* object) {
      AddToCustom(object, L"Firstapartmentword");
      EXPECT_TRUE(CheckWord(object, L"firstapartmentword"));
      added.Set();
      checked.Wait();
      EXPECT_FALSE(CheckWord(object, L"secondapartmentword"));
      EXPECT_TRUE(CheckWord(object, L"house"));
    });
    added.Set();  // also when the object could not be made
  });
  std::jthread second([&] {
    InNewApartment([&](_SpellCheck* object) {
      added.Wait();
      AddToCustom(object, L"Secondapartmentword");
      EXPECT_TRUE(CheckWord(object, L"secondapartmentword"));
      EXPECT_FALSE(CheckWord(object, L"firstapartmentword"));
      EXPECT_TRUE(CheckWord(object, L"house"));
    });
    checked.Set();
  });
  first.join();
  second.join();
  // This thread never called Init: its word list is still empty while the others have theirs.
  EXPECT_FALSE(CheckWord(CreateSpellCheck().Get(), L"house"));
}

// A multithreaded client calls an object of this apartment: the call runs here, on the thread
// that owns the object's dictionaries, through the registered type library's marshaller.
TEST(Apartments, CallsFromAnotherApartmentRunOnTheObjectsThread) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  IStream* stream = nullptr;
  ASSERT_HRESULT_SUCCEEDED(
      CoMarshalInterThreadInterfaceInStream(IID__SpellCheck, object.Get(), &stream));
  Event done;
  std::jthread client([&] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
      ComPtr<_SpellCheck> proxy;
      EXPECT_EQ(CoGetInterfaceAndReleaseStream(stream, IID_PPV_ARGS(&proxy)), S_OK);
      if (proxy) {
        AddToCustom(proxy.Get(), L"Marshalledword");
        EXPECT_TRUE(CheckWord(proxy.Get(), L"marshalledword"));
        // The array goes out, is replaced on the object's thread, and comes back.
        Bstr teh(L"teh");
        SafeArray array(MakeStringArray({L"old"}));
        LONG ranked = 0;
        EXPECT_EQ(proxy->GetSuggestions(teh.get(), array.out(), VARIANT_TRUE, &ranked), S_OK);
        EXPECT_THAT(StringsOf(array.get()), testing::Contains(L"the"));
        // Across apartments every by-reference argument must point somewhere: the marshaller
        // refuses NULL before the object sees the call (docs/component.md).
        Variant result;
        EXPECT_EQ(proxy->Init(nullptr, nullptr, nullptr, &result),
                  HRESULT_FROM_WIN32(RPC_X_NULL_REF_POINTER));
        EXPECT_EQ(proxy->ShowSuggestionDialog(teh.get(), nullptr, nullptr, &result),
                  HRESULT_FROM_WIN32(RPC_X_NULL_REF_POINTER));
        VARIANT_BOOL for_asp = VARIANT_FALSE;
        EXPECT_EQ(proxy->Init(nullptr, nullptr, &for_asp, &result), S_OK);
      }
    }
    CoUninitialize();
    done.Set();
  });
  // Pumps this apartment's messages meanwhile, so that the marshalled calls get through.
  DWORD index = 0;
  CoWaitForMultipleHandles(0, INFINITE, 1, &done.handle, &index);
  client.join();
  // The word went into this thread's dictionary.
  EXPECT_TRUE(CheckWord(object.Get(), L"marshalledword"));
}

// Lets COM free the DLLs that may unload, and tells whether the component is still loaded.
bool LoadedAfterFreeingUnused() {
  CoFreeUnusedLibraries();
  CoFreeUnusedLibrariesEx(0, 0);
  return GetModuleHandleW(kComponentFile) != nullptr;
}

void LockServer(BOOL lock) {
  ComPtr<IClassFactory> factory;
  REQUIRE_HR(
      CoGetClassObject(CLSID_SpellCheck, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&factory)));
  EXPECT_EQ(factory->LockServer(lock), S_OK);
}

// The DLL goes when the last object and the last server lock go, while a thread that used it
// lives on; loaded again, it starts with fresh dictionaries; the thread then ends cleanly.
TEST(Unload, UnloadsAndLoadsAgain) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  AddToCustom(object.Get(), L"Beforeunloadword");
  EXPECT_TRUE(CheckWord(object.Get(), L"beforeunloadword"));

  Event used;
  std::jthread worker([&](std::stop_token stop) {
    InNewApartment([](_SpellCheck* object) { EXPECT_TRUE(CheckWord(object, L"house")); });
    used.Set();
    while (!stop.stop_requested()) Sleep(10);  // lives on while the DLL goes
  });
  used.Wait();

  // A server lock keeps the DLL without any object.
  LockServer(TRUE);
  object.Reset();
  EXPECT_TRUE(LoadedAfterFreeingUnused());
  LockServer(FALSE);
  EXPECT_FALSE(LoadedAfterFreeingUnused());
  worker.request_stop();
  worker.join();  // the worker ends with the DLL gone

  ComPtr<_SpellCheck> again = CreateSpellCheck();
  EXPECT_TRUE(GetModuleHandleW(kComponentFile));
  EXPECT_FALSE(CheckWord(again.Get(), L"beforeunloadword"));
  EXPECT_FALSE(CheckWord(again.Get(), L"house"));
  EXPECT_EQ(LoadWordList(again.Get()), S_OK);
  EXPECT_TRUE(CheckWord(again.Get(), L"house"));
  again.Reset();
  EXPECT_FALSE(LoadedAfterFreeingUnused());
}

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
    REQUIRE_HR(get_class_object(CLSID_SpellCheck, IID_PPV_ARGS(&factory)));
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
  EXPECT_EQ(dll.get_class_object(IID_IDispatch, IID_PPV_ARGS(&other)), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(dll.can_unload_now(), S_OK);
  ComPtr<IClassFactory> factory = dll.Factory();
  EXPECT_EQ(dll.can_unload_now(), S_FALSE);
  ComPtr<IUnknown> object, aggregated;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)), S_OK);
  DispatchBase outer;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_PPV_ARGS(&aggregated)), CLASS_E_NOAGGREGATION);
  factory.Reset();
  EXPECT_EQ(dll.can_unload_now(), S_FALSE);
  object.Reset();
  EXPECT_EQ(dll.can_unload_now(), S_OK);
}

// Init("", ""), late-bound, on a new object of the DLL at the path: what the call returned, and
// the error and the description it carried.
std::tuple<HRESULT, SCODE, std::wstring> CallInit(const std::wstring& path) {
  LoadedDll dll(path);
  ComPtr<IDispatch> object;
  REQUIRE_HR(dll.Factory()->CreateInstance(nullptr, IID_PPV_ARGS(&object)));
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
  EXPECT_EQ(std::get<0>(CallInit(dll)), S_OK);

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
  const auto [hr, error, description] = CallInit(copy);
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
  EXPECT_EQ(hr, DISP_E_EXCEPTION);
  EXPECT_EQ(error, HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_THAT(description, testing::HasSubstr(L"word list"));
}

}  // namespace
}  // namespace lexivane::component_tests
