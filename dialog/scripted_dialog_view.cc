#include <utility>

#include "lexivane/error.h"
#include "lexivane/suggestions_dialog.h"

namespace lexivane {

struct ScriptedDialogView::Script {
  std::function<void(SuggestionsDialog&)> play;
  int showings = 0;
};

ScriptedDialogView::ScriptedDialogView(std::function<void(SuggestionsDialog&)> play)
    : script_(std::make_unique<Script>(Script{std::move(play)})) {}

ScriptedDialogView::~ScriptedDialogView() = default;

int ScriptedDialogView::showings() const {
  return script_->showings;
}

void ScriptedDialogView::ShowModal(SuggestionsDialog& dialog) {
  const int showing = ++script_->showings;
  if (script_->play) script_->play(dialog);
  // A real view would wait for the user; a script that did not close the dialog never will.
  if (dialog.IsShown()) {
    throw Error(kErrorDialogLeftShown,
                "the scripted dialog view's script ended without closing the suggestions dialog "
                "(showing " +
                    std::to_string(showing) + ")");
  }
}

}  // namespace lexivane
