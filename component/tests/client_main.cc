// The component's client test program: `component_client_test <group> [arguments]` runs the
// checks of one group on an apartment-threaded main thread, prints one line per check and every
// failure, and exits with 1 when any check failed.
#include "component/tests/client_checks.h"

#include <shellapi.h>

#include <cstdio>

namespace lexivane::component_tests {
namespace {

std::vector<std::wstring> group_arguments;

std::vector<CheckGroup> AllGroups() {
  std::vector<CheckGroup> groups;
  for (auto part : {RegistrationGroups, MemberGroups, EventGroups, LifetimeGroups})
    for (auto& group : part()) groups.push_back(std::move(group));
  return groups;
}

int RunGroup(const CheckGroup& group) {
  int failed = 0;
  for (const Check& check : group.checks) {
    std::printf("[ RUN      ] %s.%s\n", group.name, check.name);
    std::fflush(stdout);
    int before = FailuresSoFar();
    const char* verdict = "[       OK ]";
    try {
      check.run();
    } catch (const CheckAborted&) {
    } catch (const CheckSkipped& skipped) {
      std::printf("  skipped: %s\n", skipped.reason.c_str());
      verdict = "[  SKIPPED ]";
    }
    if (FailuresSoFar() != before) {
      verdict = "[  FAILED  ]";
      ++failed;
    }
    std::printf("%s %s.%s\n", verdict, group.name, check.name);
    std::fflush(stdout);
  }
  std::printf("%d of %zu checks failed\n", failed, group.checks.size());
  return failed == 0 ? 0 : 1;
}

}  // namespace

const std::vector<std::wstring>& GroupArguments() {
  return group_arguments;
}

}  // namespace lexivane::component_tests

int main() {
  using namespace lexivane::component_tests;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<CheckGroup> groups = AllGroups();
  const CheckGroup* chosen = nullptr;
  for (const CheckGroup& group : groups)
    if (argc >= 2 && Narrow(argv[1]) == group.name) chosen = &group;
  if (!chosen) {
    std::printf("usage: component_client_test <group> [arguments]; groups:");
    for (const CheckGroup& group : groups) std::printf(" %s", group.name);
    std::printf("\n");
    return 2;
  }
  for (int i = 2; i < argc; ++i) group_arguments.emplace_back(argv[i]);
  LocalFree(argv);

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exit_code = RunGroup(*chosen);
  CoUninitialize();
  return exit_code;
}
