// Shows the suggestions dialog on Windows for one word (default "Teh") through the system's own
// window, the view a host gets when it installs none, and prints the answer as UTF-8:
// the replacement, or "(cancelled)".
//
// With --on-screen it also serves scripts/screenshot-dialog.sh: once the dialog is on the screen
// it prints "on-screen X Y WIDTH HEIGHT" (the window's rectangle, frame included, in screen
// pixels) and then closes the dialog through its frame as soon as a line arrives on standard
// input, so that a script can take its picture between the two.
#include <windows.h>

#include <lexivane/lexivane.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr UINT_PTR kLookIntervalMs = 100;
HWND g_dialog = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM) {
  wchar_t caption[64] = {};
  ::GetWindowTextW(window, caption, 64);
  if (!::IsWindowVisible(window) || std::wstring_view(caption).rfind(L"Spell Check", 0) != 0) {
    return TRUE;
  }
  g_dialog = window;
  return FALSE;
}

DWORD WINAPI CloseOnInput(void*) {
  char line[16];
  DWORD read = 0;
  ::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &read, nullptr);
  ::PostMessageW(g_dialog, WM_CLOSE, 0, 0);
  return 0;
}

// Runs from the dialog's own message loop until the window is found.
void CALLBACK LookForDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, 0);
  if (g_dialog == nullptr) return;
  ::KillTimer(nullptr, timer);
  RECT frame;
  ::GetWindowRect(g_dialog, &frame);
  std::printf("on-screen %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
              frame.bottom - frame.top);
  std::fflush(stdout);
  ::CloseHandle(::CreateThread(nullptr, 0, &CloseOnInput, nullptr, 0, nullptr));
}

}  // namespace

int main(int argc, char** argv) {
  std::u16string word = u"Teh";
  bool on_screen = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--on-screen") {
      on_screen = true;
    } else {
      word = lexivane::FromUtf8(argv[i]);
    }
  }
  try {
    lexivane::SpellCheck engine;
    engine.Init();
    if (on_screen) ::SetTimer(nullptr, 0, kLookIntervalMs, &LookForDialog);
    const auto answer = engine.ShowSuggestionDialog(word);
    std::printf("%s\n", answer ? lexivane::ToUtf8(*answer).c_str() : "(cancelled)");
  } catch (const lexivane::Error& error) {
    std::fprintf(stderr, "show_dialog: %s\n", error.what());
    return 1;
  }
  return 0;
}
