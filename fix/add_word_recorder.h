// AddWordRecorder: a dialog view that shows the dialog through another view and notes the words
// the person added with Add Word, so that `lexivane fix` adds them to the custom dictionary
// file, whatever the view (a window or the terminal).
//
// It also keeps `fix` to the verdicts of the other commands: a token whose every word in
// running text the session accepts (the session of the document checker, spelling_session.h:
// "wouldn’t", read with U+0027 as `check` reads it; "GPLv3", which a word rule accepts) is
// answered with Ignore without being shown. The run's own tokens and events stay as they are.
//
// The inner view is handed a SuggestionsDialog that forwards every member to the real dialog
// and records a click on Add Word that the model will act on (the button enabled and visible
// and the dialog shown): the word added is the "Change to" text at that moment. Main thread only;
// the inner view and the session must outlive the recorder.
#pragma once

#include <string>
#include <vector>

#include "frontend/session/spelling_session.h"
#include "lexivane/dialog.h"

namespace lexivane::frontend::fix {

class AddWordRecorder : public DialogView {
 public:
  AddWordRecorder(DialogView& inner, SpellingSession& session) : inner_(inner), session_(session) {}

  void ShowModal(SuggestionsDialog& dialog) override;
  const std::vector<std::u16string>& added_words() const { return added_words_; }

 private:
  DialogView& inner_;
  SpellingSession& session_;
  std::vector<std::u16string> added_words_;
};

}  // namespace lexivane::frontend::fix
