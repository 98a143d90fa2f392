// SinkConnection connects an event sink to an engine for as long as it lives, so that the engine
// never keeps a pointer to a sink that is gone, however a run ends. On the engine's thread.
#pragma once

#include "lexivane/spell_check.h"

namespace lexivane::frontend {

class SinkConnection {
 public:
  SinkConnection(SpellCheck& engine, SpellCheckEvents& sink) : engine_(engine), sink_(sink) {
    engine_.Advise(&sink_);
  }
  SinkConnection(const SinkConnection&) = delete;
  SinkConnection& operator=(const SinkConnection&) = delete;
  ~SinkConnection() { engine_.Unadvise(&sink_); }

 private:
  SpellCheck& engine_;
  SpellCheckEvents& sink_;
};

}  // namespace lexivane::frontend
