// The component's client test program: `component_client_test --gtest_filter=<Suite>.* [DLL]`
// runs GoogleTest's tests on an apartment-threaded main thread. CTest runs one suite per
// process; the suites that look at the DLL itself take its path.
#include <gtest/gtest.h>

#include "component/tests/client_checks.h"

namespace lexivane::component_tests {
namespace {

std::string dll_argument;  // the argument left after GoogleTest's own

}  // namespace

std::wstring DllPath() {
  wchar_t given[MAX_PATH], full[MAX_PATH];
  if (dll_argument.empty() ||
      !MultiByteToWideChar(CP_ACP, 0, dll_argument.c_str(), -1, given, MAX_PATH) ||
      !GetFullPathNameW(given, MAX_PATH, full, nullptr))
    throw std::runtime_error("the DLL's path is not given");
  return full;
}

}  // namespace lexivane::component_tests

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc > 1) lexivane::component_tests::dll_argument = argv[1];
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exit_code = RUN_ALL_TESTS();
  CoUninitialize();
  return exit_code;
}
