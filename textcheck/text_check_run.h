// The text check run behind SpellCheck::CheckText: walks a text token by token, checks each
// token, reports to the host through the events, asks the user about unknown words when asked
// to, and keeps its own working copy of the text in step with every Change All.
//
// The run reaches the rest of the component only through a TextCheckHost: the word check, the
// question to the user (the suggestions dialog, in the component) and the yield to the host's
// message loop. Everything else the run uses belongs to the call, so nested runs (from an event
// handler, or from the host's message loop during the yield) are independent of each other. An
// exception from a sink or from the host ends the run where it is and propagates.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lexivane {

class EventSinks;

class TextCheckHost {
 public:
  // True when the token is acceptable (the word check, custom dictionary included).
  virtual bool CheckWord(std::u16string_view token) = 0;

  // What the user chose for an unknown token: the replacement text for Change, Change All and
  // Add Word, the token itself for Ignore and Ignore All, nullopt for Cancel. `change_all` and
  // `ignore_all` are set for Change All and Ignore All.
  struct Answer {
    std::optional<std::u16string> text;
    bool change_all = false;
    bool ignore_all = false;
  };
  virtual Answer AskUser(std::u16string_view token) = 0;

  // Once per token, after the answer, so that the host's windows stay responsive.
  // `host_code_ran`: code of the host may have run on this thread since the last yield of the
  // run (the run has just begun, a sink was called, or the user was asked), so that what it
  // posted to the thread's queue is waiting there now.
  virtual void Yield(bool host_code_ran) = 0;

 protected:
  ~TextCheckHost() = default;
};

// `sinks` is read afresh for every event (see EventSinks for the rule).
void RunTextCheck(std::u16string_view text, bool show_dialog, const EventSinks& sinks,
                  TextCheckHost& host);

}  // namespace lexivane
