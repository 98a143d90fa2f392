// The automation object through its vtable and its connection point, as an early-bound host
// uses it. (Late binding goes through the type library embedded in the DLL; the clients' tests
// cover it.)
#include "component/spell_check_object.h"

#include <gtest/gtest.h>
#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "lexivane/dialog.h"
#include "lexivane_idl.h"

namespace lexivane::component {
namespace {

using Microsoft::WRL::ComPtr;

constexpr DISPID kSpellWordNotInDic = 2;
constexpr DISPID kSpellCheckCancel = 4;
constexpr DISPID kSpellCheckComplete = 5;
constexpr DISPID kSpellCheckProgress = 6;

// An event sink that records each event as "id(arg,arg,...)", first parameter first, and runs
// a handler the test chooses.
class RecordingSink final : public IDispatch {
 public:
  std::vector<std::wstring> events;
  VARIANT_BOOL set_cancel_to = VARIANT_FALSE;
  HRESULT answer = S_OK;
  std::function<void(DISPID)> on_event;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *out = this;
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID event, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT*,
                      EXCEPINFO*, UINT*) override {
    std::wstring text = std::to_wstring(event) + (flags == DISPATCH_METHOD ? L"(" : L"(?");
    for (UINT i = parameters->cArgs; i-- > 0;) {
      VARIANT& argument = parameters->rgvarg[i];
      if (V_VT(&argument) == VT_BSTR) text += V_BSTR(&argument);
      if (V_VT(&argument) == VT_I4) text += std::to_wstring(V_I4(&argument));
      if (V_VT(&argument) == (VT_BYREF | VT_ARRAY | VT_VARIANT)) {
        SAFEARRAY*& array = *V_ARRAYREF(&argument);
        text +=
            L"[" + std::to_wstring(array == nullptr ? -1 : array->rgsabound[0].cElements) + L"]";
        // Whatever a handler leaves in it is the component's to discard.
        ::SafeArrayDestroy(array);
        SAFEARRAYBOUND bound{2, 0};
        array = ::SafeArrayCreate(VT_VARIANT, 1, &bound);
      }
      if (V_VT(&argument) == (VT_BYREF | VT_BOOL)) {
        text += std::to_wstring(*V_BOOLREF(&argument));
        *V_BOOLREF(&argument) = set_cancel_to;
      }
      text += i == 0 ? L"" : L",";
    }
    events.push_back(text + L")");
    if (on_event) on_event(event);
    return answer;
  }

  ULONG references = 1;
};

class SpellCheckObjectTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateSpellCheckObject(nullptr, IID__SpellCheck, &object_), S_OK);
    VARIANT result;
    ASSERT_EQ(object_->Init(nullptr, nullptr, nullptr, &result), S_OK);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(object_.As(&container), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(DIID___SpellCheck, &point_), S_OK);
  }

  DWORD Connect(RecordingSink& sink) {
    DWORD cookie = 0;
    EXPECT_EQ(point_->Advise(&sink, &cookie), S_OK);
    return cookie;
  }

  void CheckText(const wchar_t* text) {
    BSTR string = ::SysAllocString(text);
    VARIANT result;
    EXPECT_EQ(object_->CheckText(string, VARIANT_FALSE, &result), S_OK);
    EXPECT_EQ(V_VT(&result), VT_EMPTY);
    ::SysFreeString(string);
  }

  // Declared first, so that they outlive the object, which may still hold them at the end.
  RecordingSink sinks_[3];
  ComPtr<_SpellCheck> object_;
  ComPtr<IConnectionPoint> point_;
};

TEST_F(SpellCheckObjectTest, EventsReachEverySinkInOrderWithTheirArguments) {
  sinks_[1].answer = E_FAIL;  // passed over: the run and the other sinks go on
  for (RecordingSink& sink : sinks_) Connect(sink);
  CheckText(L"Teh cat");
  const std::vector<std::wstring> expected = {L"6(0,7,1)", L"2(Teh,0,0)", L"6(4,7,2)", L"5(2)"};
  for (const RecordingSink& sink : sinks_) EXPECT_EQ(sink.events, expected);
}

TEST_F(SpellCheckObjectTest, OnlyTrueItselfCancels) {
  const struct {
    VARIANT_BOOL value;
    DISPID last_event;
  } cases[] = {
      {VARIANT_TRUE, kSpellCheckCancel}, {1, kSpellCheckComplete}, {0x7FFF, kSpellCheckComplete}};
  for (const auto& c : cases) {
    RecordingSink sink;
    sink.set_cancel_to = c.value;
    const DWORD cookie = Connect(sink);
    CheckText(L"Teh cat");
    ASSERT_FALSE(sink.events.empty());
    EXPECT_EQ(sink.events.back().substr(0, 2), std::to_wstring(c.last_event) + L"(") << c.value;
    point_->Unadvise(cookie);
  }
}

// Installs a dialog view that answers every showing with the given clicks.
class AnsweringView {
 public:
  AnsweringView(std::function<void(SuggestionsDialog&)> answer) : view_(std::move(answer)) {
    SetDialogView(&view_);
  }
  ~AnsweringView() { SetDialogView(nullptr); }

 private:
  ScriptedDialogView view_;
};

void TypeAndClick(SuggestionsDialog& dialog, DialogButton button) {
  dialog.SetChangeToText(u"the");
  dialog.Tick();
  dialog.Click(button);
}

TEST_F(SpellCheckObjectTest, DialogAnswersCrossTheBoundary) {
  const struct {
    DialogButton button;
    const wchar_t* answer;  // nullptr: the boolean False
    VARIANT_BOOL change_all, ignore_all;
    const wchar_t* run_event;  // the event the run's answer adds, before Complete
  } cases[] = {
      {DialogButton::Change, L"the", 0, 0, L"1(teh,the,0,[0])"},
      {DialogButton::ChangeAll, L"the", VARIANT_TRUE, 0, L"3(teh,the,0)"},
      {DialogButton::IgnoreAll, L"teh", 0, VARIANT_TRUE, L"5(1)"},
      {DialogButton::Cancel, nullptr, 0, 0, L"4()"},
  };
  Connect(sinks_[0]);
  BSTR word = ::SysAllocString(L"teh");
  for (const auto& c : cases) {
    AnsweringView view([&](SuggestionsDialog& dialog) { TypeAndClick(dialog, c.button); });
    VARIANT_BOOL change_all = VARIANT_TRUE;
    VARIANT_BOOL ignore_all = VARIANT_TRUE;
    VARIANT answer;
    ASSERT_EQ(object_->ShowSuggestionDialog(word, &change_all, &ignore_all, &answer), S_OK);
    if (c.answer == nullptr) {
      EXPECT_EQ(V_VT(&answer), VT_BOOL);
      EXPECT_EQ(V_BOOL(&answer), VARIANT_FALSE);
    } else {
      ASSERT_EQ(V_VT(&answer), VT_BSTR);
      EXPECT_STREQ(V_BSTR(&answer), c.answer);
    }
    EXPECT_EQ(change_all, c.change_all);
    EXPECT_EQ(ignore_all, c.ignore_all);
    ::VariantClear(&answer);
    EXPECT_EQ(object_->ShowSuggestionDialog(word, nullptr, nullptr, &answer), S_OK);
    ::VariantClear(&answer);

    sinks_[0].events.clear();
    VARIANT result;
    EXPECT_EQ(object_->CheckText(word, VARIANT_TRUE, &result), S_OK);
    ASSERT_GE(sinks_[0].events.size(), 3u);
    EXPECT_EQ(sinks_[0].events[2], c.run_event);
  }

  // A view that fails makes the whole run fail, with error information.
  AnsweringView failing([](SuggestionsDialog&) { throw std::runtime_error("no display"); });
  VARIANT result;
  EXPECT_EQ(object_->CheckText(word, VARIANT_TRUE, &result), E_UNEXPECTED);
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(::GetErrorInfo(0, &info), S_OK);
  BSTR description = nullptr;
  info->GetDescription(&description);
  EXPECT_STREQ(description, L"no display");
  ::SysFreeString(description);
  ::SysFreeString(word);
}

TEST_F(SpellCheckObjectTest, SinksMayDisconnectAndReleaseDuringAnEvent) {
  RecordingSink disconnecting;
  RecordingSink disconnected;
  const DWORD disconnecting_cookie = Connect(disconnecting);
  const DWORD disconnected_cookie = Connect(disconnected);
  disconnecting.on_event = [&](DISPID event) {
    if (event != kSpellCheckProgress) return;
    point_->Unadvise(disconnected_cookie);  // a later sink: not called for this event either
    point_->Unadvise(disconnecting_cookie);
  };
  CheckText(L"one two");
  EXPECT_EQ(disconnecting.events.size(), 1u);
  EXPECT_TRUE(disconnected.events.empty());
  EXPECT_EQ(point_->Unadvise(disconnected_cookie), CONNECT_E_NOCONNECTION);

  // The host lets go of the object from inside the last event of the run.
  RecordingSink releasing;
  Connect(releasing);
  _SpellCheck* object = object_.Detach();
  point_.Reset();
  releasing.on_event = [&](DISPID event) {
    if (event == kSpellCheckComplete) object->Release();
  };
  BSTR text = ::SysAllocString(L"one two");
  VARIANT result;
  EXPECT_EQ(object->CheckText(text, VARIANT_FALSE, &result), S_OK);
  ::SysFreeString(text);
  EXPECT_EQ(releasing.references, 1u);  // the object is gone and has let go of its sinks
  EXPECT_EQ(disconnecting.references, 1u);
}

TEST_F(SpellCheckObjectTest, ConnectionPointProtocol) {
  RecordingSink sink;
  std::vector<DWORD> cookies;
  for (int i = 0; i < 3; ++i) cookies.push_back(Connect(sink));
  point_->Unadvise(cookies[2]);
  cookies.push_back(Connect(sink));
  EXPECT_NE(cookies[0], 0u);
  EXPECT_NE(cookies[3], cookies[2]);  // never reused
  EXPECT_EQ(point_->Unadvise(cookies[2]), CONNECT_E_NOCONNECTION);

  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(point_->EnumConnections(&connections), S_OK);
  CONNECTDATA data[4] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(4, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 3u);
  EXPECT_EQ(data[2].dwCookie, cookies[3]);
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
  connections.Reset();

  struct NotDispatch : IUnknown {
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
      *out = riid == IID_IUnknown ? this : nullptr;
      return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
  } not_dispatch;
  DWORD cookie = 7;
  EXPECT_EQ(point_->Advise(&not_dispatch, &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);

  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> other;
  object_.As(&container);
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &other), CONNECT_E_NOCONNECTION);
  ComPtr<IProvideClassInfo2> class_info;
  ASSERT_EQ(object_.As(&class_info), S_OK);
  GUID source{};
  EXPECT_EQ(class_info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
  EXPECT_EQ(source, DIID___SpellCheck);
  for (auto& connection : cookies) point_->Unadvise(connection);
  EXPECT_EQ(sink.references, 1u);
}

TEST_F(SpellCheckObjectTest, SuggestionArrayIsReplacedOnlyForASuggestibleWord) {
  SAFEARRAYBOUND bound{1, 0};
  const struct {
    const wchar_t* word;
    bool keeps_array;
    bool gives_null;
  } cases[] = {
      {L"a", true, false},
      {L"12345", true, false},
      {L"teh", false, false},
      {L"qqqqxxxxzzzzqqqq", false, true},  // nothing similar: no array at all
  };
  for (const auto& c : cases) {
    SAFEARRAY* array = ::SafeArrayCreate(VT_VARIANT, 1, &bound);
    SAFEARRAY* const before = array;
    BSTR word = ::SysAllocString(c.word);
    LONG count = -1;
    EXPECT_EQ(object_->GetSuggestions(word, &array, VARIANT_TRUE, &count), S_OK);
    EXPECT_EQ(array == before, c.keeps_array) << c.word;
    EXPECT_EQ(array == nullptr, c.gives_null) << c.word;
    if (c.keeps_array) {
      EXPECT_EQ(count, 0);
    }
    ::SafeArrayDestroy(array);
    ::SysFreeString(word);
  }

  // A fixed-size array (a script's Dim a(0)) may stay as it is, but not be replaced.
  SAFEARRAY* fixed = ::SafeArrayCreate(VT_VARIANT, 1, &bound);
  fixed->fFeatures |= FADF_STATIC | FADF_FIXEDSIZE;
  SAFEARRAY* const before = fixed;
  for (const auto& [text, expected] : {std::pair{L"123", S_OK}, {L"teh", DISP_E_ARRAYISLOCKED}}) {
    BSTR word = ::SysAllocString(text);
    LONG count = -1;
    EXPECT_EQ(object_->GetSuggestions(word, &fixed, VARIANT_TRUE, &count), expected) << text;
    EXPECT_EQ(fixed, before);
    ::SysFreeString(word);
  }
  fixed->fFeatures &= ~(FADF_STATIC | FADF_FIXEDSIZE);
  ::SafeArrayDestroy(fixed);
}

TEST_F(SpellCheckObjectTest, ResultsAndFailuresAtTheBoundary) {
  BSTR word = ::SysAllocString(L"teh");
  VARIANT_BOOL answer = 5;
  EXPECT_EQ(object_->CheckWord(word, VARIANT_TRUE, &answer), S_OK);
  EXPECT_EQ(answer, VARIANT_FALSE);
  EXPECT_EQ(object_->CheckWord(nullptr, 255, &answer), S_OK);  // NULL is the empty string
  EXPECT_EQ(answer, VARIANT_TRUE);

  VARIANT result;
  EXPECT_EQ(object_->put_SuggestionSimilarity(nullptr), E_POINTER);
  EXPECT_EQ(object_->DisableButtons(nullptr, nullptr), E_POINTER);
  float high = 2.0f;
  EXPECT_EQ(object_->put_SuggestionSimilarity(&high), S_OK);
  EXPECT_EQ(high, 2.0f);  // in/out, but handed back as given
  float stored = 0;
  object_->get_SuggestionSimilarity(&stored);
  EXPECT_EQ(stored, 1.0f);

  BSTR text = ::SysAllocString(L"teh cat, Teh dog");
  BSTR find = ::SysAllocString(L"TEH");
  BSTR replacement = ::SysAllocString(L"the");
  BSTR* const strings[] = {&text, &find, &replacement};
  const BSTR before[] = {text, find, replacement};
  BSTR replaced = nullptr;
  EXPECT_EQ(object_->ReplaceWord(&text, &find, &replacement, &replaced), S_OK);
  EXPECT_STREQ(replaced, L"the cat, the dog");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(*strings[i], before[i]);

  wchar_t temporary[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temporary);
  const std::wstring missing_folder = std::wstring(temporary) + L"lexivane-no-such-folder\\";
  BSTR unwritable = ::SysAllocString((missing_folder + L"custom.dic").c_str());
  EXPECT_EQ(object_->SaveCustom(unwritable, &result), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(object_->LoadCustom(unwritable, &answer), S_OK);
  EXPECT_EQ(answer, VARIANT_FALSE);
  for (BSTR string : {word, text, find, replacement, replaced, unwritable}) {
    ::SysFreeString(string);
  }
  void* aggregated = nullptr;
  EXPECT_EQ(CreateSpellCheckObject(object_.Get(), IID_IUnknown, &aggregated),
            CLASS_E_NOAGGREGATION);
}

}  // namespace
}  // namespace lexivane::component
