#include "dialog/win32_dialog_view.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lexivane/dialog.h"
#include "lexivane/error.h"
#include "lexivane/events.h"
#include "lexivane/spell_check.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

// Each showing runs on a fresh thread: a fresh dialog, with every button as it starts and
// nothing added to the thread's custom dictionary.
using testing::OnFreshThread;

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

// The user at the keyboard and the mouse: a thread of its own that finds each window the
// test's thread shows and plays on it. Whatever the play leaves open is cancelled, so that a
// failing test cannot leave the test's thread waiting for ever.
class User {
 public:
  using Play = std::function<void(User&)>;

  explicit User(Play play) : play_(std::move(play)), shower_(::GetCurrentThreadId()) {
    thread_ = ::CreateThread(nullptr, 0, &User::Run, this, 0, nullptr);
  }
  ~User() {
    ::WaitForSingleObject(thread_, 20000);
    ::CloseHandle(thread_);
  }
  User(const User&) = delete;
  User& operator=(const User&) = delete;

  // Waits for the next showing's window and makes it the one played on.
  HWND NextDialog() {
    const HWND previous = dialog_;
    WaitFor([&] { return previous == nullptr || !::IsWindow(previous); });
    dialog_ = nullptr;
    WaitFor([&] {
      ::EnumThreadWindows(shower_, &User::Consider, reinterpret_cast<LPARAM>(this));
      return dialog_ != nullptr;
    });
    return dialog_;
  }
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
  bool WaitEnabled(const wchar_t* caption) {
    return WaitFor([&] { return ::IsWindowEnabled(Button(caption)) != FALSE; });
  }

 private:
  static BOOL CALLBACK Consider(HWND window, LPARAM self) {
    wchar_t caption[64] = {};
    ::GetWindowTextW(window, caption, 64);
    if (!::IsWindowVisible(window) || std::wstring_view(caption).rfind(L"Spell Check (", 0) != 0) {
      return TRUE;
    }
    reinterpret_cast<User*>(self)->dialog_ = window;
    return FALSE;
  }

  static DWORD WINAPI Run(void* self) {
    User& user = *static_cast<User*>(self);
    user.play_(user);
    if (user.dialog_ != nullptr && !WaitFor([&] { return !user.StillShown(); })) {
      ADD_FAILURE() << "the play left the dialog open";
      ::PostMessageW(user.Button(L"Ca&ncel"), BM_CLICK, 0, 0);
    }
    return 0;
  }

  Play play_;
  DWORD shower_;
  HANDLE thread_ = nullptr;
  HWND dialog_ = nullptr;
};

struct Showing {
  std::optional<std::u16string> answer;
  bool change_all = false;
  bool ignore_all = false;
  int error = 0;
};

// Shows the system's window for `word` on this thread while `play` plays the user.
Showing ShowFor(SpellCheck& engine, std::u16string_view word, User::Play play) {
  SetDialogView(nullptr);  // the default: the Win32 window
  Showing showing;
  User user(std::move(play));
  try {
    showing.answer = engine.ShowSuggestionDialog(word, &showing.change_all, &showing.ignore_all);
  } catch (const Error& error) {
    showing.error = error.number();
  }
  return showing;
}

TEST(Win32DialogView, EveryWayToAnswerThroughTheWindow) {
  struct Row {
    const char* what;
    std::int32_t hidden;  // buttons that DisableButtons hides before the showing
    User::Play play;
    std::optional<std::u16string> answer;
    bool change_all = false, ignore_all = false;
    int error = 0;
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
         EXPECT_TRUE(WaitFor([&] { return !::IsWindowEnabled(u.Button(L"&Change")); }));
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
         u.Key(VK_ESCAPE);
         ::Sleep(300);
         EXPECT_TRUE(u.StillShown()) << "Esc clicks only a visible Ignore";
         u.CloseFrame();
       },
       std::nullopt},
      {"WM_QUIT: the showing fails and the quit is posted again", 0,
       [](User& u) { ::PostThreadMessageW(u.shower(), WM_QUIT, 7, 0); }, u"", false, false,
       kErrorDialogLeftShown},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    OnFreshThread([&] {
      SpellCheck engine;
      engine.Init();
      engine.DisableButtons(row.hidden, lvHideButtons);
      const Showing showing = ShowFor(engine, u"teh", [&](User& u) {
        ASSERT_NE(u.NextDialog(), nullptr);
        row.play(u);
      });
      EXPECT_EQ(showing.error, row.error);
      if (row.error != 0) {
        MSG quit;
        EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(quit.wParam, 7u);
        return;
      }
      EXPECT_EQ(showing.answer, row.answer);
      EXPECT_EQ(showing.change_all, row.change_all);
      EXPECT_EQ(showing.ignore_all, row.ignore_all);
    });
  }
}

// The window is the table: every control where its twips say at the screen's resolution, in
// the table's tab order, the box focused with its text selected, and no owner.
TEST(Win32DialogView, TheWindowIsBuiltFromTheControlTable) {
  OnFreshThread([] {
    SpellCheck engine;
    engine.Init();
    ShowFor(engine, u"teh", [](User& u) {
      const HWND dialog = u.NextDialog();
      ASSERT_NE(dialog, nullptr);
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
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, x(control.left));
        EXPECT_EQ(r.top, y(control.top));
        EXPECT_EQ(r.right - r.left, x(control.width));
        EXPECT_EQ(r.bottom - r.top, y(control.height));
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        tab_order[child] = control.tab_order;
        EXPECT_EQ((style & WS_TABSTOP) != 0, control.kind != DialogControl::Kind::Label);
        if (control.kind == DialogControl::Kind::ListBox) {
          EXPECT_EQ(style & LBS_SORT, 0) << "items stay in the order of the suggestions";
          EXPECT_NE(style & LBS_NOTIFY, 0);
          EXPECT_EQ(style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0);
        }
        if (control.kind == DialogControl::Kind::Button) {
          const bool is_default = (style & 0x0F) == BS_DEFPUSHBUTTON;
          EXPECT_EQ(is_default, control.name == u"cmdChange");
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

// A whole text check run through the public API, with the system's window for each unknown
// word: Change for the first, Ignore for the second.
TEST(Win32DialogView, CheckTextShowsTheWindowForEachUnknownWord) {
  struct Events : SpellCheckEvents {
    void SpellReplace(std::u16string_view original, std::u16string_view replacement,
                      std::int32_t position, std::vector<std::u16string>&) override {
      replaced.emplace_back(std::u16string(original) + u">" + std::u16string(replacement) + u"@" +
                            static_cast<char16_t>(u'0' + position));
    }
    void SpellCheckComplete(std::int32_t) override { complete = true; }
    std::vector<std::u16string> replaced;
    bool complete = false;
  } events;
  std::vector<std::wstring> captions;
  OnFreshThread([&] {
    SpellCheck engine;
    engine.Init();
    engine.Advise(&events);
    User user([&](User& u) {
      ASSERT_NE(u.NextDialog(), nullptr);
      captions.push_back(TextOf(u.dialog()));
      u.DoubleClick(0);
      ASSERT_NE(u.NextDialog(), nullptr);
      captions.push_back(TextOf(u.dialog()));
      u.Key(VK_ESCAPE);
    });
    SetDialogView(nullptr);
    engine.CheckText(u"teh cat thier");
    engine.Unadvise(&events);
  });
  EXPECT_EQ(captions, (std::vector<std::wstring>{L"Spell Check (not in dictionary: teh)",
                                                 L"Spell Check (not in dictionary: thier)"}));
  EXPECT_EQ(events.replaced, std::vector<std::u16string>{u"teh>the@0"});
  EXPECT_TRUE(events.complete);
}

}  // namespace
}  // namespace lexivane
