// The text check run behind SpellCheck::CheckText: walks a text token by token, checks each
// token, reports to the host through the events, shows the suggestions dialog for unknown
// words when asked to, and keeps its own working copy of the text in step with every
// Change All.
//
// Everything the run uses belongs to the call: nested runs (from an event handler, or from the
// host's message loop during the per-token yield) are independent of each other. An exception
// from a sink, the dialog or its view ends the run where it is and propagates.
#pragma once

#include <string_view>
#include <vector>

namespace lexivane {

class SpellCheckEvents;

// `sinks` is read afresh for every event, so a sink connected or disconnected during the run
// takes effect from the next event on.
void RunTextCheck(std::u16string_view text, bool show_dialog,
                  const std::vector<SpellCheckEvents*>& sinks);

}  // namespace lexivane
