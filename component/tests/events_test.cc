// The events of __SpellCheck as a host's sink receives them through the connection point, sinks
// that misbehave, and the suggestions dialog driven from a second thread as a user would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "component/tests/client_checks.h"

#include <olectl.h>

#include <functional>
#include <thread>
#include <utility>

namespace lexivane::component_tests {
namespace {

// A sink that records each event as one line ("SpellWordNotInDic 'Teh' 0 False"), which shows
// the argument types a host's handler is declared with. It lives on the test's stack: the
// reference count tells whether the component still holds it.
class RecordingSink : public DispatchBase {
 public:
  RecordingSink() : DispatchBase(DIID___SpellCheck) {}
  std::vector<std::wstring> events;
  std::function<void(DISPID, DISPPARAMS&)> handler;  // runs after the event is recorded
  HRESULT answer = S_OK;

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT*, EXCEPINFO*, UINT*) override {
    std::wstring line = Describe(id, *parameters);
    if (iid != IID_NULL || flags != DISPATCH_METHOD || parameters->cNamedArgs != 0)
      line += L" (called as other than a plain method)";
    events.push_back(line);
    if (handler) handler(id, *parameters);
    return answer;
  }

 private:
  // "Name argument ...": strings in quotes, numbers as they are, Cancel as True or False,
  // SpellReplace's array as its length in brackets, anything else (another type, a null array)
  // as <type N>.
  static std::wstring Describe(DISPID id, const DISPPARAMS& parameters) {
    const wchar_t* names[] = {L"SpellReplace",     L"SpellWordNotInDic",  L"SpellChangeAll",
                              L"SpellCheckCancel", L"SpellCheckComplete", L"SpellCheckProgress"};
    std::wstring line = id >= 1 && id <= 6 ? names[id - 1] : L"event " + std::to_wstring(id);
    for (UINT i = parameters.cArgs; i-- > 0;) {  // arguments arrive last first
      const VARIANT& value = parameters.rgvarg[i];
      if (value.vt == VT_BSTR)
        line += L" '" + std::wstring(value.bstrVal ? value.bstrVal : L"") + L"'";
      else if (value.vt == VT_I4)
        line += L" " + std::to_wstring(value.lVal);
      else if (value.vt == (VT_BYREF | VT_BOOL))
        line += *value.pboolVal ? L" True" : L" False";
      else if (value.vt == (VT_BYREF | VT_ARRAY | VT_VARIANT) && *value.pparray)
        line += L" [" + std::to_wstring((*value.pparray)->rgsabound[0].cElements) + L"]";
      else
        line += L" <type " + std::to_wstring(value.vt) + L">";
    }
    return line;
  }
};

ComPtr<IConnectionPoint> EventsConnectionPoint(_SpellCheck* object) {
  ComPtr<IConnectionPointContainer> container;
  REQUIRE_HR(object->QueryInterface(IID_PPV_ARGS(&container)));
  ComPtr<IConnectionPoint> point;
  REQUIRE_HR(container->FindConnectionPoint(DIID___SpellCheck, point.GetAddressOf()));
  return point;
}

DWORD Connect(_SpellCheck* object, RecordingSink& sink) {
  DWORD cookie = 0;
  REQUIRE_HR(EventsConnectionPoint(object)->Advise(&sink, &cookie));
  return cookie;
}

HRESULT CheckText(_SpellCheck* object, const wchar_t* text, bool show_dialog) {
  Bstr value(text);
  Variant result;
  return object->CheckText(value.get(), show_dialog ? VARIANT_TRUE : VARIANT_FALSE, &result);
}

using Lines = std::vector<std::wstring>;
using testing::ElementsAre;

const Lines kTehCatEvents = {L"SpellCheckProgress 0 7 1", L"SpellWordNotInDic 'Teh' 0 False",
                             L"SpellCheckProgress 4 7 2", L"SpellCheckComplete 2"};

// One connection point, for the event interface, also named by the class's information.
// Cookies are never reused and an unknown one is refused; a sink that is not a dispatch
// interface cannot connect; the point holds its sinks until they disconnect.
TEST(Events, ConnectionPointProtocol) {
  ComPtr<_SpellCheck> object = CreateSpellCheck();
  ComPtr<IConnectionPointContainer> container;
  ASSERT_HRESULT_SUCCEEDED(object.As(&container));
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_HRESULT_SUCCEEDED(container->EnumConnectionPoints(points.GetAddressOf()));
  ComPtr<IConnectionPoint> first, second;
  ASSERT_EQ(points->Next(1, &first, nullptr), S_OK);
  EXPECT_EQ(points->Next(1, &second, nullptr), S_FALSE);
  IID iid{};
  EXPECT_EQ(first->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, DIID___SpellCheck));
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &second), CONNECT_E_NOCONNECTION);
  ComPtr<IProvideClassInfo2> class_info;
  ASSERT_HRESULT_SUCCEEDED(object.As(&class_info));
  GUID source{};
  EXPECT_EQ(class_info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
  EXPECT_TRUE(IsEqualGUID(source, DIID___SpellCheck));

  ComPtr<IConnectionPoint> point = EventsConnectionPoint(object.Get());
  RecordingSink sink;
  DWORD cookies[4] = {};
  for (int i = 0; i < 3; ++i) cookies[i] = Connect(object.Get(), sink);
  EXPECT_EQ(point->Unadvise(cookies[2]), S_OK);
  cookies[3] = Connect(object.Get(), sink);
  EXPECT_TRUE(cookies[0] != 0 && cookies[3] != cookies[2]);
  for (DWORD unknown : {cookies[2], DWORD(12345)})
    EXPECT_EQ(point->Unadvise(unknown), CONNECT_E_NOCONNECTION);
  ComPtr<IEnumConnections> connections;
  ASSERT_HRESULT_SUCCEEDED(point->EnumConnections(connections.GetAddressOf()));
  CONNECTDATA data[4] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(4, data, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 3ul);
  EXPECT_EQ(data[2].dwCookie, cookies[3]);
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
  connections.Reset();
  EXPECT_TRUE(sink.references > 0);
  for (DWORD cookie : {cookies[0], cookies[1], cookies[3]})
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(sink.references, 0L);

  // A stream is a COM object but no dispatch interface.
  ComPtr<IStream> not_dispatch;
  ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, not_dispatch.GetAddressOf()));
  DWORD cookie = 7;
  EXPECT_EQ(point->Advise(not_dispatch.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0ul);
}

// Cancel set to True (-1) by the handler ends the run: SpellCheckCancel follows, nothing else.
// Any other non-zero value lets the run go on.
TEST(Events, CancelEndsTheRun) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  const Lines whole_run = {L"SpellCheckProgress 0 11 1",       L"SpellWordNotInDic 'Teh' 0 False",
                           L"SpellCheckProgress 4 11 2",       L"SpellCheckProgress 8 11 3",
                           L"SpellWordNotInDic 'teh' 8 False", L"SpellCheckComplete 3"};
  const struct {
    VARIANT_BOOL cancel;
    Lines events;
  } runs[] = {
      {VARIANT_TRUE,
       {L"SpellCheckProgress 0 11 1", L"SpellWordNotInDic 'Teh' 0 False", L"SpellCheckCancel"}},
      {1, whole_run},
      {0x7FFF, whole_run},
  };
  for (const auto& run : runs) {
    RecordingSink sink;
    sink.handler = [&](DISPID id, DISPPARAMS& parameters) {
      if (id == 2) *parameters.rgvarg[0].pboolVal = run.cancel;  // Cancel, the last argument
    };
    DWORD cookie = Connect(object.Get(), sink);
    EXPECT_EQ(CheckText(object.Get(), L"Teh cat teh", false), S_OK);
    EXPECT_EQ(sink.events, run.events);
    EventsConnectionPoint(object.Get())->Unadvise(cookie);
  }
}

// The window messages of the object's thread are processed during a run, at the yield after each
// token: one a handler posts at a token's progress event before the next token's (the pass
// then also takes what that message's own handler posts); with no sink connected, one posted
// before the run at its first yield, and one posted from another thread during the run before
// the run ends.
std::vector<std::wstring>* g_message_log = nullptr;
HANDLE g_first_message_seen = nullptr;

LRESULT CALLBACK RecordMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_APP) return DefWindowProcW(window, message, wparam, lparam);
  g_message_log->push_back(L"message " + std::to_wstring(wparam));
  if (wparam < 100) PostMessageW(window, WM_APP, wparam + 100, 0);  // a reply of the host's
  if (g_first_message_seen != nullptr) SetEvent(g_first_message_seen);
  return 0;
}

TEST(Events, WindowMessagesAreProcessedAtEachTokensYield) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = &RecordMessage;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"LexivaneRunMessages";
  RegisterClassW(&window_class);
  const HWND window = CreateWindowW(L"LexivaneRunMessages", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, window_class.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  Lines log;
  g_message_log = &log;
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();

  RecordingSink sink;
  sink.handler = [&](DISPID id, DISPPARAMS& parameters) {
    if (id != 6) return;  // SpellCheckProgress: its last argument counts the words
    log.push_back(L"progress " + std::to_wstring(parameters.rgvarg[0].lVal));
    PostMessageW(window, WM_APP, parameters.rgvarg[0].lVal, 0);
  };
  DWORD cookie = Connect(object.Get(), sink);
  EXPECT_EQ(CheckText(object.Get(), L"one two three", false), S_OK);
  EXPECT_THAT(log,
              ElementsAre(L"progress 1", L"message 1", L"message 101", L"progress 2", L"message 2",
                          L"message 102", L"progress 3", L"message 3", L"message 103"));
  EventsConnectionPoint(object.Get())->Unadvise(cookie);

  // No sink. The message posted before the run, handled at its first yield, starts the other
  // thread, which posts while the run goes on (a fifth of a second or more under Wine).
  log.clear();
  g_first_message_seen = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread poster([window] {
    WaitForSingleObject(g_first_message_seen, INFINITE);
    PostMessageW(window, WM_APP, 8, 0);
  });
  PostMessageW(window, WM_APP, 7, 0);
  std::wstring text;
  for (int i = 0; i < 200000; ++i) text += L"the cat sat on the mat ";
  EXPECT_EQ(CheckText(object.Get(), text.c_str(), false), S_OK);
  poster.join();
  EXPECT_THAT(log, ElementsAre(L"message 7", L"message 107", L"message 8", L"message 108"));
  CloseHandle(std::exchange(g_first_message_seen, nullptr));
  g_message_log = nullptr;
  DestroyWindow(window);
}

// Every sink gets the events of "Teh cat" in order, with the arguments a handler is declared
// with, and a handler may call the object back; sinks that fail, disconnect themselves or a
// later sink, or drop the last reference to the object inside an event do not stop the run for
// the sinks still connected, and a sink disconnected during an event does not get that event.
TEST(Events, SinksGetEveryEventOfTheRun) {
  {
    ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
    RecordingSink failing, quitting, dropped, steady;
    failing.answer = E_FAIL;
    VARIANT_BOOL cat_known = 0;
    steady.handler = [&](DISPID id, DISPPARAMS&) {
      if (id != 2) return;
      Bstr cat(L"cat");
      object->CheckWord(cat.get(), VARIANT_TRUE, &cat_known);
    };
    DWORD quitting_cookie = 0, dropped_cookie = 0;
    quitting.handler = [&](DISPID, DISPPARAMS&) {
      EventsConnectionPoint(object.Get())->Unadvise(dropped_cookie);
      EventsConnectionPoint(object.Get())->Unadvise(quitting_cookie);
    };
    DWORD failing_cookie = Connect(object.Get(), failing);
    quitting_cookie = Connect(object.Get(), quitting);
    dropped_cookie = Connect(object.Get(), dropped);
    DWORD steady_cookie = Connect(object.Get(), steady);
    EXPECT_EQ(CheckText(object.Get(), L"Teh cat", false), S_OK);
    EXPECT_EQ(failing.events, kTehCatEvents);
    EXPECT_THAT(quitting.events, ElementsAre(L"SpellCheckProgress 0 7 1"));
    EXPECT_THAT(dropped.events, testing::IsEmpty());
    EXPECT_EQ(quitting.references + dropped.references, 0L);
    EXPECT_EQ(steady.events, kTehCatEvents);
    EXPECT_EQ(cat_known, VARIANT_TRUE);
    EventsConnectionPoint(object.Get())->Unadvise(failing_cookie);
    EventsConnectionPoint(object.Get())->Unadvise(steady_cookie);
    EXPECT_EQ(failing.references + steady.references, 0L);
  }
  {
    RecordingSink owner;
    ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
    _SpellCheck* running = object.Get();
    Connect(running, owner);
    ComPtr<_SpellCheck> last_reference = std::move(object);
    owner.handler = [&](DISPID id, DISPPARAMS&) {
      if (id == 2) last_reference.Reset();
    };
    EXPECT_EQ(CheckText(running, L"Teh cat", false), S_OK);
    EXPECT_EQ(owner.events, kTehCatEvents);
    EXPECT_EQ(owner.references, 0L);  // the object is gone and let go of its sink
  }
}

// Finds the suggestions dialog of this process from another thread and answers it as a user
// would, at each showing: types `change_to` into the "Change to" box, then clicks the next of
// the buttons (captions without their "&"). Records what it saw. Runs in a std::jthread until
// every button is clicked or the thread is asked to stop.
class DialogUser {
 public:
  DialogUser(const wchar_t* change_to, std::vector<const wchar_t*> buttons)
      : change_to_(change_to), buttons_(std::move(buttons)) {}

  int shown = 0;
  std::vector<std::wstring> disabled_buttons;  // seen at the first showing

  void operator()(std::stop_token stop) {
    // Polls until `done` holds; false when asked to stop first.
    auto wait = [&](auto done) {
      for (; !done(); Sleep(20))
        if (stop.stop_requested()) return false;
      return true;
    };
    for (const wchar_t* caption : buttons_) {
      HWND dialog = nullptr;
      if (!wait([&] { return (dialog = FindDialog()) != nullptr; })) return;
      SendMessageW(FindChild(dialog, L"Edit", nullptr), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(change_to_));
      // The dialog enables its buttons on its timer, after it shows; a click on a disabled
      // button does nothing.
      HWND button = FindChild(dialog, L"Button", caption);
      if (!wait([&] { return IsWindowEnabled(button); })) return;
      if (shown++ == 0) {
        for (const wchar_t* name : {L"Change", L"Ignore", L"Change All", L"Ignore All", L"Add Word",
                                    L"Suggest", L"Cancel"}) {
          HWND other = FindChild(dialog, L"Button", name);
          if (other && !IsWindowEnabled(other)) disabled_buttons.push_back(name);
        }
      }
      PostMessageW(button, BM_CLICK, 0, 0);
      if (!wait([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); })) return;
    }
  }

 private:
  // The controls are the dialog's own children.
  static HWND FindChild(HWND dialog, const wchar_t* window_class, const wchar_t* caption) {
    for (HWND child = nullptr; (child = FindWindowExW(dialog, child, window_class, nullptr));) {
      wchar_t text[256] = L"";
      GetWindowTextW(child, text, 256);
      std::wstring shown_caption(text);
      std::erase(shown_caption, L'&');
      if (!caption || shown_caption == caption) return child;
    }
    return nullptr;
  }
  static HWND FindDialog() {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, nullptr));) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
          FindChild(window, L"Button", L"Change All"))
        return window;
    }
    return nullptr;
  }

  const wchar_t* change_to_;
  std::vector<const wchar_t*> buttons_;
};

// Runs `call` on this thread while `user` answers the dialog from another.
template <typename Call>
HRESULT WithDialogUser(DialogUser& user, Call call) {
  std::jthread driver(std::ref(user));
  return call();  // the driver is stopped and joined on the way out
}

// Each button of the dialog, shown by ShowSuggestionDialog and then by a run: the answer with
// both flags (which go in True), and the event the run raises for it. Change's SpellReplace
// carries an empty array for the host's own suggestions, which the handler may fill (the
// component discards them). Buttons disabled through DisableButtons with lvAddWord Or lvIgnore
// are disabled in the dialog.
TEST(Dialog, EveryAnswerOfTheDialog) {
  ComPtr<_SpellCheck> object = CreateLoadedSpellCheck();
  lvButtons buttons = lvButtons(lvAddWord | lvIgnore);
  lvDisableMode mode = lvDisableButtons;
  ASSERT_HRESULT_SUCCEEDED(object->DisableButtons(&buttons, &mode));
  Bstr word(L"Teh");
  const struct {
    const wchar_t* button;
    const wchar_t* answer;                // nullptr: the boolean False
    VARIANT_BOOL change_all, ignore_all;  // -1: True
    Lines run;  // after the word's SpellCheckProgress and SpellWordNotInDic
  } rows[] = {
      {L"Change", L"the", 0, 0, {L"SpellReplace 'Teh' 'the' 0 [0]", L"SpellCheckComplete 1"}},
      {L"Change All", L"the", -1, 0, {L"SpellChangeAll 'Teh' 'the' 0", L"SpellCheckComplete 1"}},
      {L"Ignore All", L"Teh", 0, -1, {L"SpellCheckComplete 1"}},
      {L"Cancel", nullptr, 0, 0, {L"SpellCheckCancel"}},
  };
  for (const auto& row : rows) {
    RecordingSink sink;
    sink.handler = [](DISPID id, DISPPARAMS& parameters) {
      if (id != 1 || parameters.rgvarg[0].vt != (VT_BYREF | VT_ARRAY | VT_VARIANT)) return;
      SafeArrayDestroy(*parameters.rgvarg[0].pparray);
      *parameters.rgvarg[0].pparray = MakeStringArray({L"the", L"then"});
    };
    DWORD cookie = Connect(object.Get(), sink);
    VARIANT_BOOL change_all = VARIANT_TRUE, ignore_all = VARIANT_TRUE;
    Variant answer;
    DialogUser user(L"the", {row.button, row.button});
    HRESULT hr = WithDialogUser(user, [&] {
      HRESULT hr = object->ShowSuggestionDialog(word.get(), &change_all, &ignore_all, &answer);
      return FAILED(hr) ? hr : CheckText(object.Get(), L"Teh", true);
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(user.shown, 2);
    EXPECT_THAT(user.disabled_buttons, ElementsAre(L"Ignore", L"Add Word"));
    EXPECT_EQ(answer.vt, VARTYPE(row.answer ? VT_BSTR : VT_BOOL));
    EXPECT_STREQ(answer.vt == VT_BSTR ? answer.bstrVal : nullptr, row.answer);
    EXPECT_EQ(answer.vt == VT_BOOL ? answer.boolVal : VARIANT_FALSE, VARIANT_FALSE);
    EXPECT_EQ(change_all, row.change_all);
    EXPECT_EQ(ignore_all, row.ignore_all);
    Lines expected = {L"SpellCheckProgress 0 3 1", L"SpellWordNotInDic 'Teh' 0 False"};
    expected.insert(expected.end(), row.run.begin(), row.run.end());
    EXPECT_EQ(sink.events, expected);
    EventsConnectionPoint(object.Get())->Unadvise(cookie);
  }

  // A dispatch caller that leaves both flags out gets the same answer.
  DialogUser late_user(L"the", {L"Change All"});
  HRESULT late = WithDialogUser(late_user, [&] {
    DispatchCall call(DispatchOf(object.Get()).Get(), L"ShowSuggestionDialog", {StringArg(word)});
    EXPECT_EQ(call.value.vt, VARTYPE(VT_BSTR));
    return call.hr;
  });
  EXPECT_EQ(late, S_OK);
}

}  // namespace
}  // namespace lexivane::component_tests
