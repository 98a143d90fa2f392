#include <utility>

#include "lexivane/dialog.h"
#include "lexivane/error.h"

namespace lexivane {

ScriptedDialogView::ScriptedDialogView(std::function<void(SuggestionsDialog&)> play)
    : play_(std::move(play)) {}

void ScriptedDialogView::ShowModal(SuggestionsDialog& dialog) {
  ++showings_;
  if (play_) play_(dialog);
  // A real view would wait for the user; a script that did not close the dialog never will.
  if (dialog.IsShown()) {
    throw Error(0,
                "the scripted dialog view's script ended without closing the suggestions dialog "
                "(showing " +
                    std::to_string(showings_) + ")");
  }
}

}  // namespace lexivane
