// AddWordRecorder: a dialog view that shows the dialog through another view and notes whether
// the person used Add Word, so that `lexivane fix` saves the custom dictionary only then,
// whatever the view (a window or the terminal).
//
// The inner view is handed a SuggestionsDialog that forwards every member to the real dialog
// and records a click on Add Word that the model will act on: the button enabled and visible
// and the dialog shown. Main thread only; the inner view must outlive the recorder.
#pragma once

#include "lexivane/dialog.h"

namespace lexivane::frontend::fix {

class AddWordRecorder : public DialogView {
 public:
  explicit AddWordRecorder(DialogView& inner) : inner_(inner) {}

  void ShowModal(SuggestionsDialog& dialog) override;
  bool added_words() const { return added_words_; }

 private:
  DialogView& inner_;
  bool added_words_ = false;
};

}  // namespace lexivane::frontend::fix
