// The event sinks connected to one engine object, and the rule by which a text check run raises
// an event on them.
//
// An event goes to every sink connected when it is raised, in the order of connection. A
// handler may connect and disconnect sinks, its own included, and may destroy a sink once it has
// disconnected it: no sink is called after its Unadvise has returned, and a sink connected during
// an event receives the next event, not the current one. Connecting the same sink twice makes it
// receive every event twice; each Unadvise removes its earliest connection. Used on the owning
// thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "lexivane/events.h"

namespace lexivane {

class EventSinks {
 public:
  void Advise(SpellCheckEvents* sink);
  void Unadvise(SpellCheckEvents* sink);

  // False when no sink was connected, so that no code of the host ran.
  template <typename Event>
  bool Raise(Event&& event) const {
    if (connections_.empty()) return false;
    // A host usually connects one sink; calling it needs no snapshot of the list.
    if (connections_.size() == 1) {
      event(*connections_.front().sink);
      return true;
    }
    const std::vector<Connection> snapshot = connections_;
    for (const Connection& connection : snapshot) {
      if (IsConnected(connection.cookie)) event(*connection.sink);
    }
    return true;
  }

 private:
  struct Connection {
    std::uint64_t cookie;  // unique for the life of the list, so a reconnection is a new one
    SpellCheckEvents* sink;
  };
  bool IsConnected(std::uint64_t cookie) const;

  std::vector<Connection> connections_;
  std::uint64_t next_cookie_ = 1;
};

}  // namespace lexivane
