// Apartments and the DLL's lifetime as a host process sees them: each apartment thread has its
// own dictionaries, a call from another apartment is marshalled to the object's thread, the DLL
// unloads when nothing holds it and loads again fresh, and a thread that used it may end after.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "component/tests/client_checks.h"

#include <algorithm>
#include <thread>

namespace lexivane::component_tests {
namespace {

class Event {
 public:
  Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Event() { CloseHandle(handle_); }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  HANDLE get() const { return handle_; }
  void Set() { SetEvent(handle_); }

 private:
  HANDLE handle_;
};

// What one apartment thread did with its own object, noted step by step for the test to check
// after the thread ends.
struct ApartmentSteps {
  HRESULT created = E_FAIL;
  VARIANT_BOOL own_word = 0;    // a word this thread added to its custom dictionary
  VARIANT_BOOL other_word = 0;  // the word the other thread added
  VARIANT_BOOL house = 0;       // a main-list word, after this thread's Init
};

// Runs `steps` on an apartment-threaded object of a fresh STA thread.
template <typename Steps>
struct ApartmentThread {
  ApartmentSteps& record;
  Steps steps;
  void operator()() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
      ComPtr<_SpellCheck> object;
      record.created =
          CoCreateInstance(CLSID_SpellCheck, nullptr, CLSCTX_INPROC_SERVER, IID__SpellCheck,
                           reinterpret_cast<void**>(object.GetAddressOf()));
      if (SUCCEEDED(record.created)) {
        Bstr empty(L"");
        Variant result;
        object->Init(empty.get(), empty.get(), nullptr, &result);
        steps(object.Get());
      }
    }
    CoUninitialize();
  }
};

TEST(Apartments, ApartmentsShareNothing) {
  Event added, checked;
  ApartmentSteps first, second;
  ApartmentThread adding{first, [&](_SpellCheck* object) {
                           AddToCustom(object, L"Firstapartmentword");
                           first.own_word = CheckWord(object, L"firstapartmentword");
                           added.Set();
                           WaitForSingleObject(checked.get(), INFINITE);
                           first.other_word = CheckWord(object, L"secondapartmentword");
                           first.house = CheckWord(object, L"house");
                         }};
  ApartmentThread checking{second, [&](_SpellCheck* object) {
                             WaitForSingleObject(added.get(), INFINITE);
                             AddToCustom(object, L"Secondapartmentword");
                             second.own_word = CheckWord(object, L"secondapartmentword");
                             second.other_word = CheckWord(object, L"firstapartmentword");
                             second.house = CheckWord(object, L"house");
                             checked.Set();
                           }};
  std::jthread one(std::ref(adding)), two(std::ref(checking));
  one.join();
  two.join();
  for (const ApartmentSteps* steps : {&first, &second}) {
    EXPECT_EQ(steps->created, S_OK);
    EXPECT_EQ(steps->own_word, VARIANT_TRUE);
    EXPECT_EQ(steps->other_word, VARIANT_FALSE);
    EXPECT_EQ(steps->house, VARIANT_TRUE);
  }
  // This thread never called Init: its word list is still empty while the others have theirs.
  EXPECT_EQ(CheckWord(CreateSpellCheck().Get(), L"house"), VARIANT_FALSE);
}

// A multithreaded client calls an object of this apartment: the call runs here, on the thread
// that owns the object's dictionaries, through the registered type library's marshaller.
TEST(Apartments, CallsFromAnotherApartmentRunOnTheObjectsThread) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  IStream* stream = nullptr;
  ASSERT_HRESULT_SUCCEEDED(
      CoMarshalInterThreadInterfaceInStream(IID__SpellCheck, object.Get(), &stream));
  Event done;
  HRESULT unmarshalled = E_FAIL, added = E_FAIL, suggested = E_FAIL;
  VARIANT_BOOL known = 0;
  std::vector<std::wstring> suggestions;
  DWORD caller_thread = 0;
  auto client = [&] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    caller_thread = GetCurrentThreadId();
    {
      ComPtr<_SpellCheck> proxy;
      unmarshalled = CoGetInterfaceAndReleaseStream(stream, IID__SpellCheck,
                                                    reinterpret_cast<void**>(proxy.GetAddressOf()));
      if (SUCCEEDED(unmarshalled)) {
        Bstr word(L"Marshalledword");
        Variant result;
        added = proxy->AddToCustom(word.get(), &result);
        known = CheckWord(proxy.Get(), L"marshalledword");
        // The array goes out, is replaced on the object's thread, and comes back.
        Bstr teh(L"teh");
        SafeArray array(MakeStringArray({L"old"}));
        LONG ranked = 0;
        suggested = proxy->GetSuggestions(teh.get(), array.out(), VARIANT_TRUE, &ranked);
        if (SUCCEEDED(suggested)) suggestions = StringsOf(array.get());
      }
    }
    CoUninitialize();
    done.Set();
  };
  std::jthread thread(std::ref(client));
  // Pumps this apartment's messages meanwhile, so that the marshalled calls get through.
  HANDLE done_handle = done.get();
  DWORD index = 0;
  CoWaitForMultipleHandles(0, INFINITE, 1, &done_handle, &index);
  thread.join();
  EXPECT_EQ(unmarshalled, S_OK);
  EXPECT_EQ(added, S_OK);
  EXPECT_EQ(known, VARIANT_TRUE);
  EXPECT_EQ(suggested, S_OK);
  EXPECT_TRUE(std::find(suggestions.begin(), suggestions.end(), L"the") != suggestions.end());
  EXPECT_TRUE(caller_thread != GetCurrentThreadId());
  // The word went into this thread's dictionary.
  EXPECT_EQ(CheckWord(object.Get(), L"marshalledword"), VARIANT_TRUE);
}

bool ComponentLoaded() {
  return GetModuleHandleW(kComponentFile) != nullptr;
}

void FreeUnusedLibraries() {
  CoFreeUnusedLibraries();
  CoFreeUnusedLibrariesEx(0, 0);
}

// The DLL goes when the last object and the last server lock go, while a thread that used it
// lives on; loaded again, it starts with fresh dictionaries; the thread then ends cleanly.
TEST(Unload, UnloadsAndLoadsAgain) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  AddToCustom(object.Get(), L"Beforeunloadword");
  EXPECT_EQ(CheckWord(object.Get(), L"beforeunloadword"), VARIANT_TRUE);

  Event used, may_end;
  ApartmentSteps worker_steps;
  ApartmentThread worker{
      worker_steps, [&](_SpellCheck* object) { worker_steps.house = CheckWord(object, L"house"); }};
  auto worker_then_wait = [&] {
    worker();  // uses the component and leaves its apartment
    used.Set();
    WaitForSingleObject(may_end.get(), INFINITE);
  };
  std::jthread thread(std::ref(worker_then_wait));
  struct EndWorkerOnExit {  // also when an ASSERT ends the test
    Event& may_end;
    ~EndWorkerOnExit() { may_end.Set(); }
  } end_worker{may_end};
  WaitForSingleObject(used.get(), INFINITE);
  EXPECT_EQ(worker_steps.house, VARIANT_TRUE);

  // A server lock keeps the DLL without any object.
  ComPtr<IClassFactory> factory;
  ASSERT_HRESULT_SUCCEEDED(CoGetClassObject(CLSID_SpellCheck, CLSCTX_INPROC_SERVER, nullptr,
                                            IID_IClassFactory,
                                            reinterpret_cast<void**>(factory.GetAddressOf())));
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  object.Reset();
  FreeUnusedLibraries();
  EXPECT_TRUE(ComponentLoaded());
  ASSERT_HRESULT_SUCCEEDED(CoGetClassObject(CLSID_SpellCheck, CLSCTX_INPROC_SERVER, nullptr,
                                            IID_IClassFactory,
                                            reinterpret_cast<void**>(factory.GetAddressOf())));
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Reset();
  FreeUnusedLibraries();
  EXPECT_FALSE(ComponentLoaded());

  may_end.Set();
  thread.join();  // the worker ends with the DLL gone

  ComPtr<_SpellCheck> again = CreateSpellCheck();
  EXPECT_TRUE(ComponentLoaded());
  EXPECT_EQ(CheckWord(again.Get(), L"beforeunloadword"), VARIANT_FALSE);
  EXPECT_EQ(CheckWord(again.Get(), L"house"), VARIANT_FALSE);
  Bstr empty(L"");
  Variant result;
  EXPECT_EQ(again->Init(empty.get(), empty.get(), nullptr, &result), S_OK);
  EXPECT_EQ(CheckWord(again.Get(), L"house"), VARIANT_TRUE);
  again.Reset();
  FreeUnusedLibraries();
  EXPECT_FALSE(ComponentLoaded());
}

}  // namespace
}  // namespace lexivane::component_tests
