// The system's window for the suggestions dialog, played by a user on a thread of its own: every
// way to answer through the keyboard, the mouse and the frame, the window built from the control
// table, and an exception inside the window coming out of ShowModal. What the model does with
// each input is proven in suggestions_dialog_test.cc; here the window has to follow the model. A
// whole text check run through the window is the component's client test's (events_test.cc).
#include "dialog/win32_dialog_view.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "lexivane/dialog.h"
#include "lexivane/error.h"
#include "lexivane/spell_check.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  ::SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return text;
}

template <typename Condition>
bool WaitFor(Condition condition) {
  for (int waited = 0; waited < 3000; waited += 20) {
    if (condition()) return true;
    ::Sleep(20);
  }
  return condition();
}

// The user at the keyboard and the mouse: a thread of its own that waits for the window that
// the test's thread shows for "teh" and plays on it. Whatever the play leaves open is cancelled, so
// that a failing test cannot leave the test's thread waiting for ever.
class User {
 public:
  using Play = std::function<void(User&)>;

  explicit User(Play play)
      : shower_(::GetCurrentThreadId()), thread_([this, play = std::move(play)] { Run(play); }) {}

  HWND dialog() const { return dialog_; }
  DWORD shower() const { return shower_; }
  bool StillShown() const { return ::IsWindow(dialog_) && ::IsWindowVisible(dialog_); }

  HWND Box() const { return ::FindWindowExW(dialog_, nullptr, L"Edit", nullptr); }
  HWND List() const { return ::FindWindowExW(dialog_, nullptr, L"ListBox", nullptr); }
  HWND Button(const wchar_t* caption) const {
    return ::FindWindowExW(dialog_, nullptr, L"Button", caption);
  }

  void Type(const wchar_t* text) {
    ::SendMessageW(Box(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  void Key(WPARAM key) { ::PostMessageW(Box(), WM_KEYDOWN, key, 1); }
  void AltKey(wchar_t letter) { ::PostMessageW(Box(), WM_SYSCHAR, letter, 1 << 29); }
  void Click(const wchar_t* caption) { ::PostMessageW(Button(caption), BM_CLICK, 0, 0); }
  void Pick(int item, WORD notification = LBN_SELCHANGE) {
    ::SendMessageW(List(), LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(List()), notification),
                   reinterpret_cast<LPARAM>(List()));
  }
  void DoubleClick(int item) {
    Pick(item);
    Pick(item, LBN_DBLCLK);
  }
  void CloseFrame() { ::PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0); }
  bool WaitEnabled(const wchar_t* caption, bool enabled = true) {
    return WaitFor([&] { return (::IsWindowEnabled(Button(caption)) != FALSE) == enabled; });
  }

 private:
  // Only the shower's windows: the component's tests may show theirs meanwhile.
  static BOOL CALLBACK Consider(HWND window, LPARAM self) {
    if (!::IsWindowVisible(window) || TextOf(window) != L"Spell Check (not in dictionary: teh)") {
      return TRUE;
    }
    reinterpret_cast<User*>(self)->dialog_ = window;
    return FALSE;
  }

  void Run(const Play& play) {
    if (!WaitFor([&] {
          ::EnumThreadWindows(shower_, &User::Consider, reinterpret_cast<LPARAM>(this));
          return dialog_ != nullptr;
        })) {
      ADD_FAILURE() << "no window was shown";
      return;
    }
    play(*this);
    if (!WaitFor([&] { return !StillShown(); })) {
      ADD_FAILURE() << "the play left the dialog open";
      Click(L"Ca&ncel");
    }
  }

  DWORD shower_;
  HWND dialog_ = nullptr;
  std::jthread thread_;  // last: it plays on the members above
};

struct Showing {
  std::optional<std::u16string> answer;
  bool change_all = false;
  bool ignore_all = false;
  int error = 0;
  WPARAM quit = 0;  // the exit code of a WM_QUIT left in the thread's queue afterwards
};

// Shows the system's window for "teh" on a fresh thread (a fresh dialog, with every button as it
// starts and nothing added to the thread's custom dictionary) while `play` plays the user;
// `hidden` selects the buttons that DisableButtons hides first.
Showing ShowTeh(User::Play play, std::int32_t hidden = 0) {
  Showing showing;
  testing::OnFreshThread([&] {
    SpellCheck engine;
    engine.Init();
    engine.DisableButtons(hidden, lvHideButtons);
    User user(std::move(play));
    try {
      showing.answer =
          engine.ShowSuggestionDialog(u"teh", &showing.change_all, &showing.ignore_all);
    } catch (const Error& error) {
      showing.error = error.number();
    }
    MSG quit;
    if (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) showing.quit = quit.wParam;
  });
  return showing;
}

// Each input reaches the model (which decides what it does: suggestions_dialog_test.cc), and the
// window follows what the model then shows.
TEST(Win32DialogView, EveryWayToAnswerThroughTheWindow) {
  struct Row {
    const char* what;
    std::int32_t hidden;  // buttons that DisableButtons hides before the showing
    User::Play play;
    std::optional<std::u16string> answer;
    bool change_all = false, ignore_all = false;
    int error = 0;
    WPARAM quit = 0;
  };
  const Row rows[] = {
      {"typing and Enter", 0,
       [](User& u) {
         u.Type(L"the");
         EXPECT_TRUE(u.WaitEnabled(L"&Change"));
         u.Key(VK_RETURN);
       },
       u"the"},
      {"Enter while Change is disabled, then Esc", 0,
       [](User& u) {
         EXPECT_TRUE(u.WaitEnabled(L"&Change", false));
         u.Key(VK_RETURN);
         ::Sleep(300);
         EXPECT_TRUE(u.StillShown());
         u.Key(VK_ESCAPE);
       },
       u"teh"},
      {"Alt+L: Change All", 0,
       [](User& u) {
         u.Type(L"the");
         EXPECT_TRUE(u.WaitEnabled(L"Change A&ll"));
         u.AltKey(L'l');
       },
       u"the", true},
      {"Alt+G: Ignore All", 0, [](User& u) { u.AltKey(L'g'); }, u"teh", false, true},
      {"Cancel", 0, [](User& u) { u.Click(L"Ca&ncel"); }, std::nullopt},
      {"N alone, with a button focused: Cancel", 0,
       [](User& u) { ::PostMessageW(u.Button(L"&Ignore"), WM_CHAR, L'n', 1); }, std::nullopt},
      {"an item picked from the list, then Change", 0,
       [](User& u) {
         u.Pick(1);
         EXPECT_EQ(TextOf(u.Box()), L"tee") << "the item, copied into the box";
         EXPECT_TRUE(u.WaitEnabled(L"&Change"));
         u.Click(L"&Change");
       },
       u"tee"},
      {"a double-click on an item", 0, [](User& u) { u.DoubleClick(0); }, u"the"},
      {"Alt+S: Suggest for the typed text, then Esc", 0,
       [](User& u) {
         u.Type(L"hosue");
         u.AltKey(L's');
         EXPECT_TRUE(WaitFor([&] {
           wchar_t first[32] = {};
           ::SendMessageW(u.List(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
           return std::wstring(first) == L"house";
         }));
         EXPECT_TRUE(u.StillShown());
         u.Key(VK_ESCAPE);
       },
       u"teh"},
      {"Alt+A: Add Word", 0,
       [](User& u) {
         u.Type(L"zqxwibble");
         EXPECT_TRUE(u.WaitEnabled(L"&Add Word"));
         u.AltKey(L'a');
       },
       u"zqxwibble"},
      {"the frame's close button", 0, [](User& u) { u.CloseFrame(); }, u"teh"},
      {"the frame's close button with Ignore hidden", lvIgnore,
       [](User& u) {
         EXPECT_FALSE(::IsWindowVisible(u.Button(L"&Ignore")));
         u.CloseFrame();
       },
       std::nullopt},
      {"WM_QUIT: the showing fails and the quit is posted again", 0,
       [](User& u) { ::PostThreadMessageW(u.shower(), WM_QUIT, 7, 0); }, std::nullopt, false, false,
       kErrorDialogLeftShown, 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const Showing showing = ShowTeh(row.play, row.hidden);
    EXPECT_EQ(showing.answer, row.answer);
    EXPECT_EQ(showing.change_all, row.change_all);
    EXPECT_EQ(showing.ignore_all, row.ignore_all);
    EXPECT_EQ(showing.error, row.error);
    EXPECT_EQ(showing.quit, row.quit);
  }
}

// The window is the table: every control where its twips say at the screen's resolution, in
// the table's tab order, the box focused with its text selected, and no owner.
TEST(Win32DialogView, TheWindowIsBuiltFromTheControlTable) {
  ShowTeh([](User& u) {
    const HWND dialog = u.dialog();
    const HDC screen = ::GetDC(nullptr);
    const int dpi_x = ::GetDeviceCaps(screen, LOGPIXELSX);
    const int dpi_y = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    const auto x = [&](int twips) { return ::MulDiv(twips, dpi_x, 1440); };
    const auto y = [&](int twips) { return ::MulDiv(twips, dpi_y, 1440); };

    RECT client;
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, x(SuggestionsDialog::kClientWidth));
    EXPECT_EQ(client.bottom, y(SuggestionsDialog::kClientHeight));
    EXPECT_EQ(TextOf(dialog), L"Spell Check (not in dictionary: teh)");
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);

    std::map<HWND, int> tab_order;
    for (const DialogControl& control : SuggestionsDialog::Controls()) {
      SCOPED_TRACE(std::string(control.name.begin(), control.name.end()));
      const wchar_t* classes[] = {L"Static", L"Edit", L"ListBox", L"Button"};  // by Kind
      const std::wstring caption(control.caption.begin(), control.caption.end());
      const HWND child = ::FindWindowExW(dialog, nullptr, classes[static_cast<int>(control.kind)],
                                         caption.empty() ? nullptr : caption.c_str());
      ASSERT_NE(child, nullptr);
      tab_order[child] = control.tab_order;
      RECT r;
      ::GetWindowRect(child, &r);
      ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ((std::array<LONG, 4>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                (std::array<LONG, 4>{x(control.left), y(control.top), x(control.width),
                                     y(control.height)}));
      const LONG style = ::GetWindowLongW(child, GWL_STYLE);
      EXPECT_EQ((style & WS_TABSTOP) != 0, control.kind != DialogControl::Kind::Label);
      if (control.kind == DialogControl::Kind::ListBox) {
        EXPECT_EQ(style & (LBS_SORT | LBS_NOTIFY | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), LBS_NOTIFY)
            << "one item at a time, in the order of the suggestions";
      }
      if (control.kind == DialogControl::Kind::Button) {
        EXPECT_EQ((style & 0x0F) == BS_DEFPUSHBUTTON, control.name == u"cmdChange");
      }
    }
    // The dialog manager tabs through the children in their order in the window list.
    std::vector<int> order;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
      order.push_back(tab_order.at(c));
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(::GetNextDlgTabItem(dialog, u.Box(), FALSE), u.List());

    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    ::GetGUIThreadInfo(u.shower(), &focus);
    EXPECT_EQ(focus.hwndFocus, u.Box());
    DWORD start = 0, end = 0;
    ::SendMessageW(u.Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, 3u) << "the word selected, so that typing replaces it";
    u.Key(VK_ESCAPE);
  });
}

// An exception while the window handles a message (here the timer's) stops at the window
// procedure, closes the window and comes out of ShowModal.
TEST(Win32DialogView, AnExceptionInsideTheWindowComesOutOfShowModal) {
  struct FailingTimer : SuggestionsDialog {
    std::u16string_view Caption() const override { return u"Spell Check (failing)"; }
    std::u16string_view ChangeToText() const override { return u""; }
    const std::vector<std::u16string>& Suggestions() const override { return items; }
    int SelectedIndex() const override { return -1; }
    bool IsEnabled(DialogButton) const override { return true; }
    bool IsVisible(DialogButton) const override { return true; }
    bool IsShown() const override { return true; }
    void SetObserver(DialogObserver*) override {}
    void SetChangeToText(std::u16string_view) override {}
    void Select(int) override {}
    void DoubleClick(int) override {}
    void Click(DialogButton) override {}
    void PressEnter() override {}
    void PressEscape() override {}
    void Close() override {}
    void Tick() override { throw std::runtime_error("the timer failed"); }
    std::vector<std::u16string> items;
  } dialog;
  Win32DialogView view;
  EXPECT_THROW(view.ShowModal(dialog), std::runtime_error);
  EXPECT_EQ(::FindWindowW(nullptr, L"Spell Check (failing)"), nullptr);
}

}  // namespace
}  // namespace lexivane
