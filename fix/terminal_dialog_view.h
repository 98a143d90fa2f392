// TerminalDialogView: the suggestions dialog on a text terminal, for `lexivane fix` without a
// display (or with --terminal).
//
// It is a view like any window: it draws the dialog from the model and forwards key presses to
// the model's operations, so the model alone decides what a key does (a disabled or hidden
// button's key does nothing). Each showing draws the word in its line, the "Change to" text,
// the numbered suggestions and the buttons with their access keys:
//
//   c Change   l Change All   i Ignore   g Ignore All   a Add Word   s Suggest   n Cancel
//   1-9 pick a suggestion   t or = type a replacement   Enter Change   Esc Ignore
//
// The model's 100 ms timer is kept while the view waits for a key, and the view also ticks right
// after each key that changes the "Change to" text, so that keys typed ahead act on the buttons
// as the new text leaves them. A disabled button is drawn dimmed in parentheses, a hidden one not
// at all. Main thread only; the Terminal must outlive the view.
#pragma once

#include <optional>
#include <string>

#include "fix/answer_front_end.h"
#include "fix/terminal.h"
#include "lexivane/dialog.h"

namespace lexivane::frontend::fix {

class TerminalDialogView : public FrontEnd, public DialogView, private DialogObserver {
 public:
  explicit TerminalDialogView(Terminal& terminal) : terminal_(terminal) {}

  DialogView& view() override { return *this; }
  void ShowWord(const WordInLine& word) override { word_ = word; }
  bool KeepChangesAfterCancel(std::size_t words_changed) override;

  void ShowModal(SuggestionsDialog& dialog) override;

 private:
  void DialogChanged() override { changed_ = true; }
  void Draw(const SuggestionsDialog& dialog);
  void HandleKey(SuggestionsDialog& dialog, const Key& key);
  void DrawTyping();

  Terminal& terminal_;
  WordInLine word_;
  bool changed_ = false;
  std::optional<std::string> typing_;  // the replacement being typed, after t or =
};

}  // namespace lexivane::frontend::fix
