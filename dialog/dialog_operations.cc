#include "dialog/dialog_operations.h"

#include "dialog/default_dialog_view.h"
#include "dialog/suggestions_dialog.h"
#include "lexivane/error.h"

namespace lexivane {

void DialogOperations::ShowModally(DialogView& view) {
  // Whatever the view does, the dialog is hidden afterwards: one left marked as shown would
  // refuse every later showing on the thread.
  dialog_.Show();
  try {
    view.ShowModal(dialog_);
  } catch (...) {
    dialog_.Hide();
    throw;
  }
  if (dialog_.IsShown()) {
    dialog_.Hide();
    throw Error(kErrorDialogLeftShown,
                "the dialog view returned while the suggestions dialog was still shown");
  }
}

std::optional<std::u16string> DialogOperations::ShowSuggestionDialog(std::u16string_view word,
                                                                     bool* change_all,
                                                                     bool* ignore_all) {
  // `word` may view text that changes while the dialog is up (the host's own, or the box's).
  const std::u16string sWord(word);
  if (change_all != nullptr) *change_all = false;
  if (ignore_all != nullptr) *ignore_all = false;

  // Refused before the dialog is touched, so that a nested showing leaves the one that is up
  // exactly as it was.
  DialogView* view = view_ != nullptr ? view_ : DefaultDialogView();
  if (view == nullptr) {
    throw Error(kErrorNoDialogView,
                "cannot show the suggestions dialog: no dialog view is installed on this thread "
                "and the platform has none of its own (call lexivane::SetDialogView first)");
  }
  if (dialog_.IsShown()) {
    throw Error(kErrorDialogAlreadyShown,
                "cannot show the suggestions dialog: it is already shown on this thread");
  }

  dialog_.PutChangeToText(sWord);
  dialog_.StartUp();
  ShowModally(*view);

  const SuggestionsDialogModel::ResultFlags& result = dialog_.Result();
  if (result.bCancelClicked) return std::nullopt;
  if (result.bIgnoreClicked) return sWord;
  if (change_all != nullptr) *change_all = result.bChangeAllClicked;
  if (ignore_all != nullptr) *ignore_all = result.bIgnoreAllClicked;
  if (result.bIgnoreAllClicked) return sWord;
  return std::u16string(dialog_.ChangeToText());
}

void DialogOperations::DisableButtons(std::int32_t buttons, std::int32_t mode) {
  dialog_.DisableButtons(buttons, mode);
}

}  // namespace lexivane
