// Apartments and the DLL's lifetime as a host process sees them: each apartment thread has its
// own dictionaries, a call from another apartment is marshalled to the object's thread, the DLL
// unloads when nothing holds it and loads again fresh, and a thread that used it may end after.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "component/tests/client_checks.h"

#include <functional>
#include <thread>

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
    EXPECT_EQ(CoCreateInstance(CLSID_SpellCheck, nullptr, CLSCTX_INPROC_SERVER, IID__SpellCheck,
                               reinterpret_cast<void**>(object.GetAddressOf())),
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
      EXPECT_EQ(CoGetInterfaceAndReleaseStream(stream, IID__SpellCheck,
                                               reinterpret_cast<void**>(proxy.GetAddressOf())),
                S_OK);
      if (proxy) {
        AddToCustom(proxy.Get(), L"Marshalledword");
        EXPECT_TRUE(CheckWord(proxy.Get(), L"marshalledword"));
        // The array goes out, is replaced on the object's thread, and comes back.
        Bstr teh(L"teh");
        SafeArray array(MakeStringArray({L"old"}));
        LONG ranked = 0;
        EXPECT_EQ(proxy->GetSuggestions(teh.get(), array.out(), VARIANT_TRUE, &ranked), S_OK);
        EXPECT_THAT(StringsOf(array.get()), testing::Contains(L"the"));
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

bool ComponentLoaded() {
  return GetModuleHandleW(kComponentFile) != nullptr;
}

void FreeUnusedLibraries() {
  CoFreeUnusedLibraries();
  CoFreeUnusedLibrariesEx(0, 0);
}

void LockServer(BOOL lock) {
  ComPtr<IClassFactory> factory;
  REQUIRE_HR(CoGetClassObject(CLSID_SpellCheck, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                              reinterpret_cast<void**>(factory.GetAddressOf())));
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
  FreeUnusedLibraries();
  EXPECT_TRUE(ComponentLoaded());
  LockServer(FALSE);
  FreeUnusedLibraries();
  EXPECT_FALSE(ComponentLoaded());
  worker.request_stop();
  worker.join();  // the worker ends with the DLL gone

  ComPtr<_SpellCheck> again = CreateSpellCheck();
  EXPECT_TRUE(ComponentLoaded());
  EXPECT_FALSE(CheckWord(again.Get(), L"beforeunloadword"));
  EXPECT_FALSE(CheckWord(again.Get(), L"house"));
  EXPECT_EQ(LoadWordList(again.Get()), S_OK);
  EXPECT_TRUE(CheckWord(again.Get(), L"house"));
  again.Reset();
  FreeUnusedLibraries();
  EXPECT_FALSE(ComponentLoaded());
}

}  // namespace
}  // namespace lexivane::component_tests
