#include "textcheck/host_yield.h"

#include <functional>
#include <utility>

#include "lexivane/yield.h"
#include "platform/message_loop.h"

namespace lexivane {

namespace {

std::function<void()>& InstalledYield() {
  thread_local std::function<void()> yield;
  return yield;
}

}  // namespace

void SetYieldFunction(std::function<void()> yield) {
  InstalledYield() = std::move(yield);
}

void YieldToHost() {
  // A copy, so that a yield that installs another one keeps running to its end.
  if (std::function<void()> yield = InstalledYield()) {
    yield();
  } else {
    platform::ProcessPendingMessages();
  }
}

}  // namespace lexivane
