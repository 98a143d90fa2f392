// The engine's two ways into the thread's suggestions dialog: showing it for one word and
// turning the button that closed it into an answer, and configuring its buttons. Both act on
// the thread's one dialog, whichever engine object receives the call, and keep nothing of their
// own apart from the view that shows the dialog on this thread. They are the only code that
// reaches the dialog's engine side: StartUp, the result record and the showing itself.
//
// One DialogOperations per thread, owned by the thread's state beside the dialog it serves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexivane {

class DialogView;
class SuggestionsDialogModel;

class DialogOperations {
 public:
  explicit DialogOperations(SuggestionsDialogModel& dialog) : dialog_(dialog) {}

  // The view that shows the dialog; nullptr restores the platform's default view (see
  // default_dialog_view.h). Not owned.
  void set_view(DialogView* view) { view_ = view; }

  // Shows the dialog modally through the view for `word` and returns what the user chose: the
  // "Change to" text for Change, Change All and Add Word; `word` itself for Ignore and Ignore
  // All; std::nullopt for Cancel. Both flags are written (false first) when non-null:
  // change_all for Change All, ignore_all for Ignore All. Throws lexivane::Error when there is
  // no view (none installed and none on the platform) or the dialog is already shown (a nested
  // showing; both refused before the dialog is touched), and when the view returns with the
  // dialog still shown. An exception from the view propagates; a dialog once shown is hidden
  // again in every case.
  std::optional<std::u16string> ShowSuggestionDialog(std::u16string_view word, bool* change_all,
                                                     bool* ignore_all);

  // Disables, enables, hides or shows the buttons that `buttons` selects (a mask of lvButtons),
  // as `mode` (a mask of lvDisableMode) says. Other bits are ignored.
  void DisableButtons(std::int32_t buttons, std::int32_t mode);

 private:
  void ShowModally(DialogView& view);

  SuggestionsDialogModel& dialog_;
  DialogView* view_ = nullptr;
};

}  // namespace lexivane
