// AddWordRecorder: a dialog view that shows the dialog through another view and notes the words
// the person added with Add Word, so that `lexivane fix` adds them to the custom dictionary
// file, whatever the view (a window or the terminal).
//
// The inner view is handed a SuggestionsDialog that forwards every member to the real dialog
// and records a click on Add Word that the model will act on (the button enabled and visible
// and the dialog shown): the word added is the "Change to" text at that moment. Main thread only;
// the inner view must outlive the recorder.
#pragma once

#include <string>
#include <vector>

#include "lexivane/dialog.h"

namespace lexivane::frontend::fix {

class AddWordRecorder : public DialogView {
 public:
  explicit AddWordRecorder(DialogView& inner) : inner_(inner) {}

  void ShowModal(SuggestionsDialog& dialog) override;
  const std::vector<std::u16string>& added_words() const { return added_words_; }

 private:
  DialogView& inner_;
  std::vector<std::u16string> added_words_;
};

}  // namespace lexivane::frontend::fix
