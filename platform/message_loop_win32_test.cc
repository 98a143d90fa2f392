#include "platform/message_loop.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace lexivane::platform {
namespace {

int g_dispatched = 0;

LRESULT CALLBACK Count(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_APP) ++g_dispatched;
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// The yield dispatches what is waiting when code of the host ran, after a pass that dispatched
// something, and once a millisecond otherwise; it leaves a quit request where the host's loop
// finds it.
TEST(ProcessPendingMessagesTest, DispatchesWhatIsWaitingAndKeepsAQuitForTheHost) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = &Count;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"LexivaneYieldTest";
  ::RegisterClassW(&window_class);
  const HWND window = ::CreateWindowW(L"LexivaneYieldTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, window_class.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  ::PostMessageW(window, WM_APP, 0, 0);
  ::PostMessageW(window, WM_APP, 0, 0);
  ProcessPendingMessages(true);
  EXPECT_EQ(g_dispatched, 2);
  ::PostMessageW(window, WM_APP, 0, 0);
  ProcessPendingMessages(false);  // the last pass ran a window procedure
  EXPECT_EQ(g_dispatched, 3);
  ProcessPendingMessages(false);  // nothing was waiting
  ::PostMessageW(window, WM_APP, 0, 0);
  ::Sleep(5);
  ProcessPendingMessages(false);
  EXPECT_EQ(g_dispatched, 4);

  ::PostQuitMessage(3);
  ProcessPendingMessages(true);
  MSG quit;
  EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 3u);
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace lexivane::platform
