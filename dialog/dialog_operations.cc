#include "dialog/dialog_operations.h"

#include "lexivane/dialog.h"
#include "lexivane/error.h"

namespace lexivane {

namespace {

thread_local DialogView* installed_view = nullptr;

}  // namespace

void DialogOperations::ShowModally(SuggestionsDialog& dialog, DialogView& view) {
  // Whatever the view does, the dialog is hidden afterwards: one left marked as shown would
  // refuse every later showing on the thread.
  dialog.Show();
  try {
    view.ShowModal(dialog);
  } catch (...) {
    dialog.Hide();
    throw;
  }
  if (dialog.IsShown()) {
    dialog.Hide();
    throw Error(0, "the dialog view returned while the suggestions dialog was still shown");
  }
}

void SetDialogView(DialogView* view) {
  installed_view = view;
}

std::optional<std::u16string> DialogOperations::ShowSuggestionDialog(std::u16string_view word,
                                                                     bool* change_all,
                                                                     bool* ignore_all) {
  // `word` may view text that changes while the dialog is up (the host's own, or the box's).
  const std::u16string sWord(word);
  if (change_all != nullptr) *change_all = false;
  if (ignore_all != nullptr) *ignore_all = false;
  SuggestionsDialog& dialog = SuggestionsDialog::ForThisThread();

  // Refused before the dialog is touched, so that a nested showing leaves the one that is up
  // exactly as it was.
  DialogView* view = installed_view;
  if (view == nullptr) {
    throw Error(0,
                "cannot show the suggestions dialog: no dialog view is installed on this thread "
                "(call lexivane::SetDialogView first)");
  }
  if (dialog.IsShown()) {
    throw Error(0, "cannot show the suggestions dialog: it is already shown on this thread");
  }

  dialog.PutChangeToText(sWord);
  dialog.StartUp();
  ShowModally(dialog, *view);

  const SuggestionsDialog::ResultFlags& result = dialog.Result();
  if (result.bCancelClicked) return std::nullopt;
  if (result.bIgnoreClicked) return sWord;
  if (change_all != nullptr) *change_all = result.bChangeAllClicked;
  if (ignore_all != nullptr) *ignore_all = result.bIgnoreAllClicked;
  if (result.bIgnoreAllClicked) return sWord;
  return std::u16string(dialog.ChangeToText());
}

void DialogOperations::DisableButtons(std::int32_t buttons, std::int32_t mode) {
  SuggestionsDialog::ForThisThread().DisableButtons(buttons, mode);
}

}  // namespace lexivane
