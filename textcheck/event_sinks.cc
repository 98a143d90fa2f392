#include "textcheck/event_sinks.h"

#include <algorithm>

namespace lexivane {

void EventSinks::Advise(SpellCheckEvents* sink) {
  if (sink != nullptr) connections_.push_back({next_cookie_++, sink});
}

void EventSinks::Unadvise(SpellCheckEvents* sink) {
  const auto found = std::find_if(connections_.begin(), connections_.end(),
                                  [&](const Connection& c) { return c.sink == sink; });
  if (found != connections_.end()) connections_.erase(found);
}

bool EventSinks::IsConnected(std::uint64_t cookie) const {
  return std::any_of(connections_.begin(), connections_.end(),
                     [&](const Connection& c) { return c.cookie == cookie; });
}

}  // namespace lexivane
