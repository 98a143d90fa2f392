// The component's client test program: `component_client_test --gtest_filter=<Suite>.*
// [arguments]` runs GoogleTest's tests on an apartment-threaded main thread. CTest runs one
// suite per process; the arguments left after GoogleTest's own are the tests' (ProgramArguments).
#include <gtest/gtest.h>

#include "component/tests/client_checks.h"

namespace lexivane::component_tests {
namespace {

std::vector<std::wstring> program_arguments;

}  // namespace

const std::vector<std::wstring>& ProgramArguments() {
  return program_arguments;
}

}  // namespace lexivane::component_tests

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    std::string argument(argv[i]);
    std::wstring wide(MultiByteToWideChar(CP_ACP, 0, argument.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, argument.c_str(), -1, wide.data(), wide.size());
    wide.pop_back();  // the terminating null
    lexivane::component_tests::program_arguments.push_back(wide);
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exit_code = RUN_ALL_TESTS();
  CoUninitialize();
  return exit_code;
}
